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

// The rules of the versions that differ from the one before them; a switch
// not named is off.
constexpr EntryRules kVersion00{
    .version = 0, .pair = kPair00, .plain_signatures = true, .line_prefix = kPrefixOld};
constexpr EntryRules kVersion02{
    .version = 2, .pair = kPair02, .plain_signatures = true, .line_prefix = kPrefixOld};
constexpr EntryRules kVersion03{.version = 3,
                                .pair = kCurrentPair,
                                .short_builtin_key = true,
                                .check_blocks = true,
                                .note_no_code = true,
                                .flag_when_done = true,
                                .line_prefix = kPrefixOld};
constexpr EntryRules kVersion05{.version = 5,
                                .pair = kCurrentPair,
                                .split_salt = true,
                                .check_blocks = true,
                                .note_no_code = true,
                                .skip_line = true,
                                .flag_when_done = true,
                                .line_prefix = kPrefixNew};
constexpr EntryRules kVersion07{.version = 7,
                                .pair = kCurrentPair,
                                .split_salt = true,
                                .check_blocks = true,
                                .personal_code = true,
                                .skip_line = true,
                                .flag_when_done = true,
                                .line_prefix = kPrefixNew};

// A version read exactly as an earlier one.
constexpr EntryRules SameAs(const EntryRules& earlier, int version) {
    EntryRules rules = earlier;
    rules.version = version;
    return rules;
}

constexpr EntryRules kRules[] = {
    kVersion00, SameAs(kVersion00, 1), kVersion02, kVersion03, SameAs(kVersion03, 4),
    kVersion05, SameAs(kVersion05, 6), kVersion07,
};
static_assert(std::size(kRules) == kNewestVersion + 1);

constexpr bool EachRowIsItsVersion() {
    for (int v = 0; v <= kNewestVersion; ++v) {
        if (kRules[v].version != v) {
            return false;
        }
    }
    return true;
}
static_assert(EachRowIsItsVersion());

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
