// Reading a key store: the main copy at the start of the file, the backup
// copy found by its marker, and a record-by-record fallback between them.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "cipher/constants.h"
#include "cipher/envelope.h"
#include "cipher/keyed.h"
#include "cipher/salt_keys.h"
#include "cipher/wipe.h"
#include "io/file_io.h"
#include "io/native.h"
#include "keystore/keystore_file.h"
#include "keystore/keystore_layout.h"

namespace tazu {
namespace {

using namespace keystore_layout;

// Bytes of one copy; a record that reaches past its end reads as missing.
struct CopyView {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    // The record of the given size at offset with the signature behind it;
    // false when any of it lies past the end.
    bool Record(std::size_t offset, std::size_t record_size, Str255& record, Str255& sig) const {
        if (offset + record_size + kSignatureSize > size) {
            return false;
        }
        record = Str255::FromBytes(data + offset, record_size);
        sig = Str255::FromBytes(data + offset + record_size, kSignatureSize);
        return true;
    }

    // The record at offset when it is there and its signature holds.
    bool Verified(std::size_t offset, std::size_t record_size, const Str255& key,
                  Str255& record) const {
        Str255 sig;
        return Record(offset, record_size, record, sig) && !record.empty() &&
               VerifyDigest(record, sig, key);
    }
};

// The record from the main copy when it verifies, else from the backup.
bool PickRecord(const CopyView& main, const CopyView& backup, std::size_t offset,
                std::size_t record_size, const Str255& key, Str255& record) {
    return main.Verified(offset, record_size, key, record) ||
           backup.Verified(offset, record_size, key, record);
}

bool MarkerAt(const std::vector<std::uint8_t>& data, std::size_t pos) {
    return pos + kMarkerCompareSize <= data.size() &&
           std::memcmp(data.data() + pos, kMarker.data(), kMarkerCompareSize) == 0;
}

// Reads at most kReadLimit bytes. False when the file cannot be opened,
// with the reason in error_number.
bool ReadHead(const Path& path, std::vector<std::uint8_t>& data, int& error_number) {
    // A folder, FIFO or device is no store.
    const int fd = OpenRegularFile(path);
    if (fd < 0) {
        error_number = errno;
        return false;
    }
    data.assign(kReadLimit, 0);
    // A read error ends the data like the end of the file.
    const std::size_t got = ReadFully(fd, data.data(), kReadLimit).count;
    CloseFile(fd);
    data.resize(got);
    return true;
}

// Out of line, so that the stack it used lies below the caller's wipe.
[[gnu::noinline]] KeyStoreLoadCode ParseStore(const std::vector<std::uint8_t>& data,
                                              const Str255& password, KeyStoreValues& values) {
    if (!MarkerAt(data, 0)) {
        return KeyStoreLoadCode::kBadVersion;
    }
    const std::uint8_t settings = data.size() > kSettingsOffset ? data[kSettingsOffset] : 0;

    // The backup copy starts at the last marker from the settings byte on.
    // The scan stops 13 bytes before the end, as it always has.
    CopyView main{data.data(), data.size()};
    CopyView backup;
    for (std::size_t p = kBackupScanStart; p + kMarkerCompareSize < data.size(); ++p) {
        if (MarkerAt(data, p)) {
            backup = {data.data() + p, std::min(kBackupLimit, data.size() - p)};
        }
    }

    Str255 check;
    if (!PickRecord(main, backup, kCheckOffset, kDoubleEnvelopeSize, BuiltInKey(), check)) {
        return KeyStoreLoadCode::kDamaged;
    }
    Str255 salt = OpenDoubleEnvelope(check, password);
    WipeOnExit wipe_salt(salt);
    if (salt.empty()) {
        return KeyStoreLoadCode::kWrongPassword;
    }
    const Str255 signature_key = RecordSignatureKey(salt);
    Str255 record_key = SaltRecordKey(salt);
    WipeOnExit wipe_record_key(record_key);

    Str255 a, b, mark;
    if (!PickRecord(main, backup, kRecordAOffset, kEnvelopeSize, signature_key, a) ||
        !PickRecord(main, backup, kRecordBOffset, kEnvelopeSize, signature_key, b) ||
        !PickRecord(main, backup, kKeyMarkOffset, kEnvelopeSize, signature_key, mark)) {
        return KeyStoreLoadCode::kDamaged;
    }
    Str255 code = OpenEnvelope(a, password);
    Str255 code_rest = OpenEnvelope(b, password);
    WipeOnExit wipe_rest(code_rest);
    Str255 key_mark = OpenEnvelope(mark, record_key);
    // Signed records that open to nothing cannot come from a sound store:
    // an empty personal code or key mark would be handed to the engines.
    if (code.empty() || code_rest.empty() || key_mark.empty()) {
        code.Wipe();
        key_mark.Wipe();
        return KeyStoreLoadCode::kDamaged;
    }
    code.append(code_rest);  // cut at 255 bytes
    values.settings = settings;
    values.personal_code = code;
    values.key_mark = key_mark;
    code.Wipe();
    key_mark.Wipe();
    return KeyStoreLoadCode::kOk;
}

}  // namespace

KeyStoreLoadCode ReadKeyStoreFile(const Path& path, const Str255& password,
                                  KeyStoreValues& values) {
    int error_number = 0;
    return ReadKeyStoreFile(path, password, values, error_number);
}

KeyStoreLoadCode ReadKeyStoreFile(const Path& path, const Str255& password, KeyStoreValues& values,
                                  int& error_number) {
    error_number = 0;
    std::vector<std::uint8_t> data;
    if (!ReadHead(path, data, error_number)) {
        return KeyStoreLoadCode::kCannotOpen;
    }
    const KeyStoreLoadCode code = ReadKeyStoreBytes(data, password, values);
    std::fill(data.begin(), data.end(), 0);
    return code;
}

KeyStoreLoadCode ReadKeyStoreBytes(const std::vector<std::uint8_t>& data, const Str255& password,
                                   KeyStoreValues& values) {
    const Str255& used = password.empty() ? DefaultPassword() : password;
    const KeyStoreLoadCode code = ParseStore(data, used, values);
    WipeStackBelow();  // the salt and the password's copies of the parse
    return code;
}

}  // namespace tazu
