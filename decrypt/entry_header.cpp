#include "decrypt/entry_header.h"

#include "cipher/constants.h"
#include "cipher/keyed.h"
#include "cipher/salt_keys.h"
#include "format/format.h"

namespace tazu {

namespace {

// Reads one record of size bytes whose data part is its first data_size
// bytes, followed by the two signature bytes, and checks the signature.
bool ReadRecord(InputStream& file, std::size_t size, std::size_t data_size, const EntryRules& rules,
                const Str255& sig_key, Str255& record, Str255& data, DecryptCode& resultCode) {
    if (!ReadChunk(file, size, record)) {
        resultCode = DecryptCode::kReadError;
        return false;
    }
    data = record.substr(0, data_size);
    const Str255 sig = record.substr(data_size, kSignatureSize);
    if (!HeaderSignatureMatches(rules, data, sig, sig_key)) {
        resultCode = DecryptCode::kDamaged;
        return false;
    }
    return true;
}

}  // namespace

bool ReadHeaderRecords(InputStream& file, const EntryRules& rules, const Str255& password,
                       const Str255& personalCode, const Str255& keyMark, DecryptHost& host,
                       EntryKeys& keys, DecryptCode& resultCode) {
    const CipherPair pair = rules.pair;
    Str255 record;
    Str255 data;

    // Salt record: signed with a built-in key, opened with the password.
    const Str255& first_key = rules.short_builtin_key ? ShortBuiltInKey() : BuiltInKey();
    if (!ReadRecord(file, kSaltRecordSize, kDoubleEnvelopeSize, rules, first_key, record, data,
                    resultCode)) {
        return false;
    }
    keys.salt = CipherOpenDoubleEnvelope(pair, data, password);
    if (keys.salt.empty()) {
        resultCode = DecryptCode::kWrongPassword;
        return false;
    }
    Str255 file_key = keys.salt;
    WipeOnExit wipe_file_key(file_key);
    if (rules.split_salt) {
        keys.record_signature_key = RecordSignatureKey(keys.salt);
        file_key = SaltRecordKey(keys.salt);
    } else if (rules.short_builtin_key) {
        keys.record_signature_key = KeyedAdd(ShortBuiltInKey(), file_key);
    }
    const Str255& sig_key = keys.record_signature_key;

    // Key mark: the row of zeros, or (version 07) this key store's mark.
    if (!ReadRecord(file, kEnvelopeRecordSize, kEnvelopeSize, rules, sig_key, record, data,
                    resultCode)) {
        return false;
    }
    const Str255 file_mark = CipherOpenEnvelope(pair, data, file_key);
    keys.personal_code_used = rules.personal_code && file_mark == keyMark;
    if (!keys.personal_code_used && !(file_mark == NoKeyMark())) {
        resultCode = DecryptCode::kOtherKeyStore;
        return false;
    }
    if (rules.personal_code || rules.note_no_code) {
        host.notePersonalCodeUse(keys.personal_code_used);
    }

    // Name record, its length byte L and, when L is not 0, L more bytes.
    if (!ReadRecord(file, kNameRecordSize, kEnvelopeSize, rules, sig_key, record, data,
                    resultCode)) {
        return false;
    }
    keys.stored_name = CipherOpenEnvelope(pair, data, file_key);
    const std::uint8_t continuation = record[kNameRecordSize - 1];
    if (continuation != 0) {
        if (!ReadRecord(file, continuation, kEnvelopeSize, rules, sig_key, record, data,
                        resultCode)) {
            return false;
        }
        keys.stored_name.append(CipherOpenEnvelope(pair, data, file_key));
    }

    // Block keys: two records each, opened with the password.
    const int key_count = rules.personal_code ? 2 : 1;
    for (int k = 0; k < key_count; ++k) {
        Str255 key;
        WipeOnExit wipe_key(key);
        for (int part = 0; part < 2; ++part) {
            if (!ReadRecord(file, kEnvelopeRecordSize, kEnvelopeSize, rules, sig_key, record, data,
                            resultCode)) {
                return false;
            }
            key.append(CipherOpenEnvelope(pair, data, password));
        }
        if (keys.personal_code_used) {
            key = KeyedSub(key, personalCode);
        }
        (k == 0 ? keys.block_key : keys.second_block_key) = key;
    }
    return true;
}

}  // namespace tazu
