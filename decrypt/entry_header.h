// Reading the header of one entry, right after its version marker: the
// salt record (the password check), the key mark, the stored name and the
// block keys, each record checked against its signature.
#pragma once

#include "cipher/str255.h"
#include "decrypt/decrypt_host.h"
#include "decrypt/entry_rules.h"
#include "decrypt/result_code.h"
#include "io/file_io.h"

namespace tazu {

struct EntryKeys {
    Str255 salt;                  // as opened; versions 05 to 07 feed it to the EntryChain
    Str255 record_signature_key;  // empty for versions 00 to 02 (unkeyed signatures)
    Str255 stored_name;
    Str255 block_key;
    Str255 second_block_key;  // version 07 only
    bool personal_code_used = false;

    EntryKeys() = default;
    EntryKeys(const EntryKeys&) = delete;
    EntryKeys& operator=(const EntryKeys&) = delete;
    // The keys of an entry last as long as the entry.
    ~EntryKeys() {
        salt.Wipe();
        record_signature_key.Wipe();
        stored_name.Wipe();  // its unused bytes may hold an envelope's noise
        block_key.Wipe();
        second_block_key.Wipe();
    }
};

// Reads the header of an entry of the given rules' version. On failure sets
// result_code to kReadError (short record), kDamaged (signature),
// kOtherKeyStore (foreign key mark) or kWrongPassword and returns false.
// The personal code and key mark are used by version 07 only.
bool ReadHeaderRecords(InputStream& file, const EntryRules& rules, const Str255& password,
                       const Str255& personal_code, const Str255& key_mark, DecryptHost& host,
                       EntryKeys& keys, DecryptCode& result_code);

// The version-07 header.
inline bool ReadEntryHeader(InputStream& file, const Str255& password, const Str255& personal_code,
                            const Str255& key_mark, DecryptHost& host, EntryKeys& keys,
                            DecryptCode& result_code) {
    return ReadHeaderRecords(file, RulesFor(kNewestVersion), password, personal_code, key_mark,
                             host, keys, result_code);
}

}  // namespace tazu
