#include "tests/support/archive_writers.h"

#include <algorithm>
#include <stdexcept>

#include "cipher/constants.h"
#include "cipher/envelope.h"
#include "cipher/keyed.h"
#include "cipher/salt_keys.h"
#include "decrypt/entry_rules.h"
#include "encrypt/encrypt_entry.h"
#include "format/format.h"
#include "tests/support/quiet_encrypt_host.h"
#include "tests/support/random_string.h"
#include "tests/support/test_files.h"

namespace tazu::test {

namespace {

std::string Bytes(const Str255& s) {
    return s.str();
}

// What tells the older versions apart, written out from the format's own
// description rather than taken from the reader's table, so that a wrong
// row there is caught by the round trips and the golden archives.
struct OlderRules {
    CipherPair pair;
    bool plain_signatures;   // 00 to 02: unkeyed PlainDigest everywhere
    bool short_builtin_key;  // 03 and 04: the short key signs the first record
    bool split_salt;         // 05 and 06: salt[1..7] gives the signature key
};

OlderRules OlderRulesFor(int version) {
    const CipherPair pair = version <= 1 ? kPair00 : version == 2 ? kPair02 : kCurrentPair;
    return {pair, version <= 2, version == 3 || version == 4, version >= 5};
}

// The envelopes and signatures of one older version.
struct OlderFormat {
    OlderRules rules;

    Str255 Seal(const Str255& data, const Str255& key, Random& random) const {
        return Envelope(data, key, random, rules.pair);
    }
    Str255 SealDouble(const Str255& data, const Str255& key, Random& random) const {
        return DoubleEnvelope(data, key, random, rules.pair);
    }
    Str255 Sign(const Str255& data, const Str255& key) const {
        return rules.plain_signatures ? PlainDigest(data, 2) : KeyedDigest(data, 2, key);
    }
    std::string Record(const Str255& record, const Str255& key) const {
        return Bytes(record) + Bytes(Sign(record, key));
    }
};

}  // namespace

const TestKeyStore& StoreA() {
    static const TestKeyStore store{Str255(std::string(160, 'p') + "code-A"),
                                    Str255("mark-A-1234")};
    return store;
}

const TestKeyStore& StoreB() {
    static const TestKeyStore store{Str255(std::string(150, 'q') + "code-B"),
                                    Str255("mark-B-5678")};
    return store;
}

std::string Marker(int version) {
    return "Tazu16x32.0" + std::to_string(version) + ".0";
}

std::string WriteOlderEntry(int version, const Str255& password, const StoredFile& file,
                            Random& random, const std::vector<std::size_t>& block_lengths) {
    const OlderFormat f{OlderRulesFor(version)};
    std::string out = Marker(version);

    const Str255 salt = RandomString(random, kSaltMinSize + random.Below(kSaltExtraRange));
    Str255 file_key = salt;
    Str255 sig_key;
    if (f.rules.split_salt) {
        sig_key = RecordSignatureKey(salt);
        file_key = SaltRecordKey(salt);
    } else if (f.rules.short_builtin_key) {
        sig_key = KeyedAdd(ShortBuiltInKey(), file_key);
    }
    const Str255& first_key = f.rules.short_builtin_key ? ShortBuiltInKey() : BuiltInKey();
    out += f.Record(f.SealDouble(salt, password, random), first_key);
    out += f.Record(f.Seal(NoKeyMark(), file_key, random), sig_key);

    const Str255 name(file.name);
    out += f.Record(f.Seal(name.substr(0, kShortNameMax), file_key, random), sig_key);
    if (name.size() > kShortNameMax) {
        out.push_back(static_cast<char>(kContinuationSize));
        out += f.Record(f.Seal(name.substr(kShortNameMax), file_key, random), sig_key);
    } else {
        out.push_back(static_cast<char>(kNoContinuation));
    }

    Str255 block_key = RandomString(random, kBlockKeyMinSize + random.Below(2));
    out += f.Record(f.Seal(block_key.substr(0, kShortNameMax), password, random), sig_key);
    out += f.Record(f.Seal(block_key.substr(kShortNameMax), password, random), sig_key);

    std::uint32_t sum = 0;
    std::size_t pos = 0;
    for (std::size_t i = 0;
         block_lengths.empty() ? pos < file.content.size() : i < block_lengths.size(); ++i) {
        const std::size_t length =
            block_lengths.empty() ? kChunkSize + kBlockRandomBytes : block_lengths[i];
        const std::size_t data = length > kBlockRandomBytes ? length - kBlockRandomBytes : 0;
        Str255 block(std::string_view(file.content).substr(pos, data));
        pos += block.size();
        for (std::size_t j = 0; j < block.size(); ++j) {
            sum += block[j];
        }
        const Str255 noise = RandomString(random, std::min(length, kBlockRandomBytes));
        block.append(noise);
        const Str255 cipher = f.rules.pair.add(block, block_key);
        block_key = f.rules.pair.add(block_key, noise);
        out.push_back(static_cast<char>(cipher.size()));
        out += f.Record(cipher, sig_key);
    }
    out.push_back(static_cast<char>(kEndRecordMarker));
    out += Bytes(f.Sign(DecimalText(static_cast<std::int32_t>(sum)), sig_key));
    return out;
}

std::string WriteEntries07(const Str255& password, const std::vector<StoredFile>& files,
                           Random& random, const TestKeyStore& store, Str255& entry_chain) {
    TempDir dir;
    EncryptRunState state;
    QuietEncryptHost host;
    const EncryptContext ctx{state, host, random};
    StringOutput archive;
    for (const StoredFile& file : files) {
        const auto source = dir / "source";
        WriteFile(source, file.content);
        EncryptCode code = EncryptCode::kOk;
        const Str255 mark = file.personal_code ? store.key_mark : NoKeyMark();
        if (!EncryptEntry(password, store.personal_code, mark, source, Str255(file.name),
                          file.personal_code, entry_chain, archive, code, ctx)) {
            throw std::runtime_error("the entry writer refused " + file.name);
        }
    }
    return archive.bytes;
}

std::string WriteArchive(int version, const Str255& password, const std::vector<StoredFile>& files,
                         Random& random, const TestKeyStore& store) {
    if (version == 7) {
        Str255 chain;
        std::string out = WriteEntries07(password, files, random, store, chain);
        return out + Bytes(ArchiveTrailer(chain));
    }
    std::string out;
    for (const StoredFile& file : files) {
        out += WriteOlderEntry(version, password, file, random);
    }
    return out + std::string(1, static_cast<char>(kTrailerMarker));
}

}  // namespace tazu::test
