// Writing a key store: one copy built under a fresh salt, written twice to a
// temporary file that replaces the old store only once it is on disk.
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "cipher/constants.h"
#include "cipher/envelope.h"
#include "cipher/keyed.h"
#include "cipher/salt_keys.h"
#include "cipher/wipe.h"
#include "io/file_io.h"
#include "io/native.h"
#include "io/temporary_file.h"
#include "keystore/keystore_file.h"
#include "keystore/keystore_layout.h"

namespace tazu {
namespace {

using namespace keystore_layout;

void AppendRecord(std::vector<std::uint8_t>& out, const Str255& record, const Str255& sig_key) {
    out.insert(out.end(), record.data(), record.data() + record.size());
    const Str255 sig = KeyedDigest(record, kSignatureSize, sig_key);
    out.insert(out.end(), sig.data(), sig.data() + sig.size());
}

// One copy of the store under a fresh salt; empty when a value does not fit.
// Out of line, so that the stack it used lies below the caller's wipe.
[[gnu::noinline]] std::vector<std::uint8_t> BuildCopy(const Str255& password,
                                                      const KeyStoreValues& values,
                                                      Random& random) {
    Str255 salt;
    WipeOnExit wipe_salt(salt);
    salt.resize(kSaltMinSize + random.Below(kSaltExtraRange));
    random.Bytes(salt.data(), salt.size());
    std::vector<std::uint8_t> out(kMarker.begin(), kMarker.end());
    out.reserve(kCopySize);
    out.push_back(values.settings);
    AppendRecord(out, DoubleEnvelope(salt, password, random), BuiltInKey());

    const Str255 signature_key = RecordSignatureKey(salt);
    Str255 record_key = SaltRecordKey(salt);
    WipeOnExit wipe_record_key(record_key);
    Str255 head = values.personal_code.substr(0, kRecordAData);
    Str255 tail = values.personal_code.substr(kRecordAData);
    WipeOnExit wipe_head(head);
    WipeOnExit wipe_tail(tail);
    AppendRecord(out, Envelope(head, password, random), signature_key);
    AppendRecord(out, Envelope(tail, password, random), signature_key);
    AppendRecord(out, Envelope(values.key_mark, record_key, random), signature_key);
    if (out.size() != kCopySize) {
        std::fill(out.begin(), out.end(), 0);
        out.clear();
    }
    return out;
}

bool ValuesFit(const KeyStoreValues& values) {
    return values.personal_code.size() >= kPersonalCodeMin && !values.key_mark.empty() &&
           values.key_mark.size() <= kKeyMarkMax;
}

KeyStoreSaveCode WriteBuffer(const Path& store, const std::vector<std::uint8_t>& copy,
                             const KeyStoreOutputWrapper& wrap, int& error_number) {
    // A store that is a symbolic link is written where the link points, so
    // that the link stays and the store it names is the one protected; a
    // link that the kernel's rule for shared folders would not follow is
    // refused (ELOOP), never replaced by a new file.
    Path path;
    if (FollowOwnLinks(store, path) != LinkFollowing::kFollowed) {
        error_number = ELOOP;
        return KeyStoreSaveCode::kCannotCreate;
    }
    // A store that exists but may not be written is not replaced behind the
    // owner's back, as a direct overwrite would not be either.
    if (LookAt(path) == PathState::kPresent && !MayWriteExisting(path)) {
        error_number = errno;
        return KeyStoreSaveCode::kCannotCreate;
    }
    TemporaryFile temporary(2 * kFileSize);
    FileWriter& file = temporary.file();
    // A new store is owner-only: it holds the personal code.
    if (!temporary.Create(path, 0600)) {
        error_number = errno;
        return KeyStoreSaveCode::kCannotCreate;
    }
    temporary.MakeDurable();
    auto fail = [&](KeyStoreSaveCode code) {
        const int saved = errno;
        temporary.Discard();
        error_number = saved;
        return code;
    };
    std::unique_ptr<OutputStream> wrapped;
    OutputStream* out = &file;
    if (wrap) {
        wrapped = wrap(file);
        if (!wrapped) {
            return fail(KeyStoreSaveCode::kCannotCreate);
        }
        out = wrapped.get();
    }
    // A write on the worker thread leaves no reason here; none is better
    // than a stale one.
    errno = 0;
    for (int i = 0; i < 2; ++i) {
        if (!out->Write(copy.data(), copy.size())) {
            return fail(KeyStoreSaveCode::kShortWrite);
        }
    }
    if (!out->Flush() || !temporary.Finish()) {
        return fail(KeyStoreSaveCode::kShortWrite);
    }
    if (!temporary.Commit()) {
        return fail(KeyStoreSaveCode::kCannotCreate);
    }
    error_number = 0;
    return KeyStoreSaveCode::kOk;
}

}  // namespace

KeyStoreSaveCode WriteKeyStoreFile(const Path& path, const Str255& password,
                                   const KeyStoreValues& values, Random& random,
                                   const KeyStoreOutputWrapper& wrap, int* error_number) {
    int ignored = 0;
    int& reason = error_number != nullptr ? *error_number : ignored;
    reason = 0;
    if (!ValuesFit(values)) {
        return KeyStoreSaveCode::kCannotCreate;
    }
    random.Reseed();
    const Str255& used = password.empty() ? DefaultPassword() : password;
    std::vector<std::uint8_t> copy = BuildCopy(used, values, random);
    WipeStackBelow();  // the salt and the password's copies of the build
    if (copy.empty()) {
        return KeyStoreSaveCode::kCannotCreate;
    }
    const KeyStoreSaveCode code = WriteBuffer(path, copy, wrap, reason);
    std::fill(copy.begin(), copy.end(), 0);
    return code;
}

KeyStoreSaveCode WriteKeyStoreFile(const Path& path, const Str255& password,
                                   const KeyStoreValues& values, Random& random) {
    return WriteKeyStoreFile(path, password, values, random, nullptr);
}

KeyStoreSaveCode WriteKeyStoreFile(const Path& path, const Str255& password,
                                   const KeyStoreValues& values, Random& random,
                                   int& error_number) {
    return WriteKeyStoreFile(path, password, values, random, nullptr, &error_number);
}

KeyStoreValues MakeFirstKeyStoreValues(std::uint8_t settings, Random& random) {
    static constexpr std::string_view kMarkCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    KeyStoreValues values;
    values.settings = settings;
    values.personal_code.resize(kPersonalCodeMin + random.Below(128));
    random.Bytes(values.personal_code.data(), values.personal_code.size());
    do {
        values.key_mark.resize(0);
        for (std::size_t i = 0; i < NoKeyMark().size(); ++i) {
            values.key_mark.push_back(
                static_cast<std::uint8_t>(kMarkCharacters[random.Below(kMarkCharacters.size())]));
        }
    } while (values.key_mark == NoKeyMark());
    return values;
}

KeyStoreSaveCode CreateKeyStoreFile(const Path& path, const Str255& password, std::uint8_t settings,
                                    Random& random, int* error_number) {
    random.Reseed();
    KeyStoreValues values = MakeFirstKeyStoreValues(settings, random);
    const KeyStoreSaveCode code =
        WriteKeyStoreFile(path, password, values, random, nullptr, error_number);
    values.personal_code.Wipe();
    return code;
}

}  // namespace tazu
