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
                const Str255& sig_key, Str255& record, Str255& data, DecryptCode& result_code) {
    if (!ReadChunk(file, size, record)) {
        result_code = DecryptCode::kReadError;
        return false;
    }
    data = record.substr(0, data_size);
    const Str255 sig = record.substr(data_size, kSignatureSize);
    if (!HeaderSignatureMatches(rules, data, sig, sig_key)) {
        result_code = DecryptCode::kDamaged;
        return false;
    }
    return true;
}

// Salt record: signed with a built-in key, opened with the password. Sets
// the salt and the record signature key, and file_key.
bool ReadSaltRecord(InputStream& file, const EntryRules& rules, const Str255& password,
                    EntryKeys& keys, Str255& file_key, DecryptCode& result_code) {
    Str255 record;
    Str255 data;
    const Str255& first_key = rules.short_builtin_key ? ShortBuiltInKey() : BuiltInKey();
    if (!ReadRecord(file, kSaltRecordSize, kDoubleEnvelopeSize, rules, first_key, record, data,
                    result_code)) {
        return false;
    }
    keys.salt = OpenDoubleEnvelope(data, password, rules.pair);
    if (keys.salt.empty()) {
        result_code = DecryptCode::kWrongPassword;
        return false;
    }
    file_key = keys.salt;
    if (rules.split_salt) {
        keys.record_signature_key = RecordSignatureKey(keys.salt);
        file_key = SaltRecordKey(keys.salt);
    } else if (rules.short_builtin_key) {
        keys.record_signature_key = KeyedAdd(ShortBuiltInKey(), file_key);
    }
    return true;
}

// Key mark: the row of zeros, or (version 07) this key store's mark.
bool ReadKeyMarkRecord(InputStream& file, const EntryRules& rules, const Str255& file_key,
                       const Str255& key_mark, DecryptHost& host, EntryKeys& keys,
                       DecryptCode& result_code) {
    Str255 record;
    Str255 data;
    if (!ReadRecord(file, kEnvelopeRecordSize, kEnvelopeSize, rules, keys.record_signature_key,
                    record, data, result_code)) {
        return false;
    }
    const Str255 file_mark = OpenEnvelope(data, file_key, rules.pair);
    keys.personal_code_used = rules.personal_code && file_mark == key_mark;
    if (!keys.personal_code_used && !(file_mark == NoKeyMark())) {
        result_code = DecryptCode::kOtherKeyStore;
        return false;
    }
    if (rules.personal_code || rules.note_no_code) {
        host.NotePersonalCodeUse(keys.personal_code_used);
    }
    return true;
}

// Name record, its length byte L and, when L is not 0, L more bytes.
bool ReadNameRecords(InputStream& file, const EntryRules& rules, const Str255& file_key,
                     EntryKeys& keys, DecryptCode& result_code) {
    Str255 record;
    Str255 data;
    const Str255& sig_key = keys.record_signature_key;
    if (!ReadRecord(file, kNameRecordSize, kEnvelopeSize, rules, sig_key, record, data,
                    result_code)) {
        return false;
    }
    keys.stored_name = OpenEnvelope(data, file_key, rules.pair);
    const std::uint8_t continuation = record[kNameRecordSize - 1];
    if (continuation != 0) {
        if (!ReadRecord(file, continuation, kEnvelopeSize, rules, sig_key, record, data,
                        result_code)) {
            return false;
        }
        keys.stored_name.append(OpenEnvelope(data, file_key, rules.pair));
    }
    return true;
}

// Block keys: two records each, opened with the password.
bool ReadBlockKeyRecords(InputStream& file, const EntryRules& rules, const Str255& password,
                         const Str255& personal_code, EntryKeys& keys, DecryptCode& result_code) {
    Str255 record;
    Str255 data;
    const int key_count = rules.personal_code ? 2 : 1;
    for (int k = 0; k < key_count; ++k) {
        Str255 key;
        WipeOnExit wipe_key(key);
        for (int part = 0; part < 2; ++part) {
            if (!ReadRecord(file, kEnvelopeRecordSize, kEnvelopeSize, rules,
                            keys.record_signature_key, record, data, result_code)) {
                return false;
            }
            key.append(OpenEnvelope(data, password, rules.pair));
        }
        if (keys.personal_code_used) {
            key = KeyedSub(key, personal_code);
        }
        (k == 0 ? keys.block_key : keys.second_block_key) = key;
    }
    return true;
}

}  // namespace

bool ReadHeaderRecords(InputStream& file, const EntryRules& rules, const Str255& password,
                       const Str255& personal_code, const Str255& key_mark, DecryptHost& host,
                       EntryKeys& keys, DecryptCode& result_code) {
    Str255 file_key;
    WipeOnExit wipe_file_key(file_key);
    return ReadSaltRecord(file, rules, password, keys, file_key, result_code) &&
           ReadKeyMarkRecord(file, rules, file_key, key_mark, host, keys, result_code) &&
           ReadNameRecords(file, rules, file_key, keys, result_code) &&
           ReadBlockKeyRecords(file, rules, password, personal_code, keys, result_code);
}

}  // namespace tazu
