// What tells the entry formats 00 to 07 apart on the reading side: the
// cipher pair, how signatures are checked, which keys sign the first record,
// and how an entry is reported. Everything else is shared.
#pragma once

#include <cstddef>

#include "cipher/str255.h"

namespace tazu {

enum class CipherPair : std::uint8_t { k00, k02, kCurrent };

struct EntryRules {
    int version;
    CipherPair pair;
    bool plain_signatures;    // 00 to 02: unkeyed PlainDigest everywhere
    bool short_builtin_key;   // 03 and 04: the first record and the keys use the short key
    bool split_salt;          // 05 to 07: salt[1..7] gives the record signature key
    bool check_blocks;        // 03 to 07: block signatures are checked and counted
    bool personal_code;       // 07: key mark of this key store allowed, two block keys
    bool note_no_code;        // 03 to 06: the indicator is set to "Нет"
    bool skip_line;           // 05 to 07: a skipped existing file gets a report line
    bool flag_when_done;      // 03 to 07: a completed entry returns true
    const char* line_prefix;  // "-) Файл: " or "Файл: "
};

// The rules of format version 0 to 7.
const EntryRules& RulesFor(int version);

Str255 CipherSub(CipherPair pair, const Str255& data, const Str255& key);
Str255 CipherAdd(CipherPair pair, const Str255& data, const Str255& key);
Str255 CipherOpenEnvelope(CipherPair pair, const Str255& record, const Str255& key);
Str255 CipherOpenDoubleEnvelope(CipherPair pair, const Str255& record, const Str255& key);

// A record signature matches only when exactly two bytes were read and they
// equal the digest; a signature cut to one byte never passes by chance.
bool SignatureMatches(const EntryRules& rules, const Str255& data, const Str255& sig,
                      const Str255& key);

// The same for header records. The fuzzing build lets these pass so that
// the fuzzer reaches the code behind the header.
bool HeaderSignatureMatches(const EntryRules& rules, const Str255& data, const Str255& sig,
                            const Str255& key);

}  // namespace tazu
