#include "tests/encrypt/support.h"

#include <fstream>

#include "cipher/constants.h"
#include "cipher/envelope.h"
#include "cipher/keyed.h"
#include "cipher/salt_keys.h"
#include "format/format.h"

namespace tazu::test {

std::vector<std::string> FolderNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.push_back(e.path().filename().string());
    }
    return names;
}

namespace {

class Cursor {
  public:
    Cursor(const std::string& bytes, std::size_t pos) : bytes_(bytes), pos_(pos) {}
    bool Take(std::size_t n, Str255& out) {
        if (n > 255 || bytes_.size() - pos_ < n) {
            return false;
        }
        out = Str255::FromBytes(bytes_.data() + pos_, n);
        pos_ += n;
        return true;
    }
    std::size_t pos() const { return pos_; }
    std::size_t left() const { return bytes_.size() - pos_; }

  private:
    const std::string& bytes_;
    std::size_t pos_;
};

// Reads record + 2-byte signature and checks it.
bool SignedRecord(Cursor& c, std::size_t size, const Str255& key, Str255& record) {
    Str255 sig;
    return c.Take(size, record) && c.Take(2, sig) && VerifyDigest(record, sig, key);
}

std::string ReadEntryAt(Cursor& c, const Str255& password, const Str255& personal_code,
                        std::string& chain, ReadEntry& e) {
    e.offset = c.pos();
    Str255 marker, record, tmp;
    if (!c.Take(kMarkerSize, marker) || marker.view() != kMarker07) {
        return "bad marker";
    }
    if (!SignedRecord(c, kDoubleEnvelopeSize, BuiltInKey(), record)) {
        return "salt signature";
    }
    e.salt = OpenDoubleEnvelope(record, password);
    if (e.salt.empty()) {
        return "salt does not open";
    }
    const Str255 rsk = RecordSignatureKey(e.salt);
    // The chain rebuilt independently of the writer's helper.
    chain.push_back(static_cast<char>(e.salt[0]));
    chain.push_back(static_cast<char>(e.salt[1]));
    if (chain.size() >= 254) {
        chain = KeyedDigest(Str255(chain), 2, rsk).str();
    }
    const Str255 file_key = e.salt.substr(7);
    if (!SignedRecord(c, kEnvelopeSize, rsk, record)) {
        return "key mark signature";
    }
    e.key_mark = OpenEnvelope(record, file_key).str();
    if (!SignedRecord(c, kEnvelopeSize, rsk, record) || !c.Take(1, tmp)) {
        return "name signature";
    }
    e.name = OpenEnvelope(record, file_key).str();
    if (tmp[0] == 0xFE) {
        e.long_name = true;
        if (!SignedRecord(c, kEnvelopeSize, rsk, record)) {
            return "name continuation signature";
        }
        e.name += OpenEnvelope(record, file_key).str();
    } else if (tmp[0] != 0) {
        return "bad continuation byte";
    }
    Str255 keys[4];
    for (Str255& k : keys) {
        if (!SignedRecord(c, kEnvelopeSize, rsk, record)) {
            return "block key signature";
        }
        k = OpenEnvelope(record, password);
    }
    Str255 b1 = keys[0], b2 = keys[2];
    b1.append(keys[1]);
    b2.append(keys[3]);
    if (e.key_mark != NoKeyMark().str()) {
        b1 = KeyedSub(b1, personal_code);
        b2 = KeyedSub(b2, personal_code);
    }
    std::uint32_t sum = 0;
    for (;;) {
        if (!c.Take(1, tmp)) {
            return "truncated data";
        }
        const std::size_t n = tmp[0];
        if (n == 0) {
            Str255 sig;
            if (!c.Take(2, sig) || !VerifyDigest(ByteSumText(sum), sig, rsk)) {
                return "end record signature";
            }
            break;
        }
        if (!SignedRecord(c, n, rsk, record) || n < 8) {
            return "block signature";
        }
        const Str255 x = KeyedSub(KeyedSub(record, b2), b1);
        const Str255 chunk = x.substr(0, n - 7);
        AddToByteSum(sum, chunk);
        e.data += chunk.str();
        b1 = KeyedAdd(b1, x.substr(n - 7));
        e.block_sizes.push_back(n + 3);
    }
    e.size = c.pos() - e.offset;
    return "";
}

}  // namespace

std::string ReadWholeArchive(const std::string& bytes, std::size_t start, const Str255& password,
                             const Str255& personal_code, ReadArchive& out) {
    Cursor c(bytes, start);
    std::string chain;
    while (c.left() >= kMarkerSize) {
        ReadEntry e;
        const std::string error = ReadEntryAt(c, password, personal_code, chain, e);
        if (!error.empty()) {
            return error + " in entry " + std::to_string(out.entries.size() + 1);
        }
        out.entries.push_back(std::move(e));
    }
    Str255 trailer;
    out.trailer_size = c.left();
    if (!c.Take(c.left(), trailer) || trailer.empty() || trailer[0] != 0xFF) {
        return "bad trailer";
    }
    if (trailer.substr(1) != KeyedDigest(Str255(chain), 2, BuiltInKey())) {
        return "trailer signature";
    }
    return "";
}

}  // namespace tazu::test
