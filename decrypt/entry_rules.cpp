#include "decrypt/entry_rules.h"

#include <algorithm>
#include <iterator>

#include "cipher/keyed.h"
#include "decrypt/decrypt_messages.h"
#include "format/format.h"

namespace tazu {

namespace {

constexpr const char* kPrefixNew = kFileLinePrefix.data();
constexpr const char* kPrefixOld = kOldFileLinePrefix.data();

// Each version's rules; a switch not named is off.
constexpr EntryRules kRules[] = {
    {.version = 0, .pair = kPair00, .plain_signatures = true, .line_prefix = kPrefixOld},
    {.version = 1, .pair = kPair00, .plain_signatures = true, .line_prefix = kPrefixOld},
    {.version = 2, .pair = kPair02, .plain_signatures = true, .line_prefix = kPrefixOld},
    {.version = 3,
     .pair = kCurrentPair,
     .short_builtin_key = true,
     .check_blocks = true,
     .note_no_code = true,
     .flag_when_done = true,
     .line_prefix = kPrefixOld},
    {.version = 4,
     .pair = kCurrentPair,
     .short_builtin_key = true,
     .check_blocks = true,
     .note_no_code = true,
     .flag_when_done = true,
     .line_prefix = kPrefixOld},
    {.version = 5,
     .pair = kCurrentPair,
     .split_salt = true,
     .check_blocks = true,
     .note_no_code = true,
     .skip_line = true,
     .flag_when_done = true,
     .line_prefix = kPrefixNew},
    {.version = 6,
     .pair = kCurrentPair,
     .split_salt = true,
     .check_blocks = true,
     .note_no_code = true,
     .skip_line = true,
     .flag_when_done = true,
     .line_prefix = kPrefixNew},
    {.version = 7,
     .pair = kCurrentPair,
     .split_salt = true,
     .check_blocks = true,
     .personal_code = true,
     .skip_line = true,
     .flag_when_done = true,
     .line_prefix = kPrefixNew},
};
static_assert(std::size(kRules) == kNewestVersion + 1);

}  // namespace

const EntryRules& RulesFor(int version) {
    return kRules[std::clamp(version, 0, kNewestVersion)];
}

bool SignatureMatches(const EntryRules& rules, const Str255& data, const Str255& sig,
                      const Str255& key) {
    if (sig.size() != kSignatureSize) {
        return false;
    }
    return rules.plain_signatures ? VerifyPlainDigest(data, sig) : VerifyDigest(data, sig, key);
}

bool HeaderSignatureMatches(const EntryRules& rules, const Str255& data, const Str255& sig,
                            const Str255& key) {
#ifdef TAZU_FUZZ_SKIP_HEADER_SIGNATURES
    (void)rules;
    (void)data;
    (void)key;
    return sig.size() == kSignatureSize;
#else
    return SignatureMatches(rules, data, sig, key);
#endif
}

}  // namespace tazu
