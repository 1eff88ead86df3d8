// What tells the entry formats 00 to 07 apart on the reading side: the
// cipher pair, how signatures are checked, which keys sign the first record,
// and how an entry is reported. Everything else is shared.
#pragma once

#include <cstddef>

#include "cipher/envelope.h"
#include "cipher/str255.h"
#include "format/format.h"

namespace tazu {

struct EntryRules {
    int version = 0;
    CipherPair pair = kCurrentPair;     // the transforms of the envelopes and the blocks
    bool plain_signatures = false;      // 00 to 02: unkeyed PlainDigest everywhere
    bool short_builtin_key = false;     // 03 and 04: the short key signs the first record
    bool split_salt = false;            // 05 to 07: salt[1..7] gives the record signature key
    bool check_blocks = false;          // 03 to 07: block signatures are checked and counted
    bool personal_code = false;         // 07: key mark of this key store allowed, two block keys
    bool note_no_code = false;          // 03 to 06: the indicator is set to "Нет"
    bool skip_line = false;             // 05 to 07: a skipped existing file gets a report line
    bool flag_when_done = false;        // 03 to 07: a completed entry returns true
    const char* line_prefix = nullptr;  // "-) Файл: " or "Файл: "
};

// The rules of format version 0 to kNewestVersion.
const EntryRules& RulesFor(int version);

// A record signature matches only when exactly two bytes were read and they
// equal the digest; a signature cut to one byte never passes by chance.
bool SignatureMatches(const EntryRules& rules, const Str255& data, const Str255& sig,
                      const Str255& key);

// The same for header records. The fuzzing build lets these pass so that
// the fuzzer reaches the code behind the header.
bool HeaderSignatureMatches(const EntryRules& rules, const Str255& data, const Str255& sig,
                            const Str255& key);

}  // namespace tazu
