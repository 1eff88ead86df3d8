#include "decrypt/entry_rules.h"

#include "cipher/envelope.h"
#include "cipher/keyed.h"
#include "format/format.h"

namespace tazu {

namespace {

constexpr const char* kPrefixNew = "-) Файл: ";
constexpr const char* kPrefixOld = "Файл: ";

//                          ver pair                 plain  short  split  check  pcode  note   skip
//                          flag   prefix
constexpr EntryRules kRules[] = {
    {0, CipherPair::k00, true, false, false, false, false, false, false, false, kPrefixOld},
    {1, CipherPair::k00, true, false, false, false, false, false, false, false, kPrefixOld},
    {2, CipherPair::k02, true, false, false, false, false, false, false, false, kPrefixOld},
    {3, CipherPair::kCurrent, false, true, false, true, false, true, false, true, kPrefixOld},
    {4, CipherPair::kCurrent, false, true, false, true, false, true, false, true, kPrefixOld},
    {5, CipherPair::kCurrent, false, false, true, true, false, true, true, true, kPrefixNew},
    {6, CipherPair::kCurrent, false, false, true, true, false, true, true, true, kPrefixNew},
    {7, CipherPair::kCurrent, false, false, true, true, true, false, true, true, kPrefixNew},
};

}  // namespace

const EntryRules& RulesFor(int version) {
    return kRules[version < 0 ? 0 : version > 7 ? 7 : version];
}

Str255 CipherSub(CipherPair pair, const Str255& data, const Str255& key) {
    switch (pair) {
        case CipherPair::k00:
            return KeyedSub00(data, key);
        case CipherPair::k02:
            return KeyedSub02(data, key);
        case CipherPair::kCurrent:
            break;
    }
    return KeyedSub(data, key);
}

Str255 CipherAdd(CipherPair pair, const Str255& data, const Str255& key) {
    switch (pair) {
        case CipherPair::k00:
            return KeyedAdd00(data, key);
        case CipherPair::k02:
            return KeyedAdd02(data, key);
        case CipherPair::kCurrent:
            break;
    }
    return KeyedAdd(data, key);
}

Str255 CipherOpenEnvelope(CipherPair pair, const Str255& record, const Str255& key) {
    switch (pair) {
        case CipherPair::k00:
            return OpenEnvelope00(record, key);
        case CipherPair::k02:
            return OpenEnvelope02(record, key);
        case CipherPair::kCurrent:
            break;
    }
    return OpenEnvelope(record, key);
}

Str255 CipherOpenDoubleEnvelope(CipherPair pair, const Str255& record, const Str255& key) {
    switch (pair) {
        case CipherPair::k00:
            return OpenDoubleEnvelope00(record, key);
        case CipherPair::k02:
            return OpenDoubleEnvelope02(record, key);
        case CipherPair::kCurrent:
            break;
    }
    return OpenDoubleEnvelope(record, key);
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
