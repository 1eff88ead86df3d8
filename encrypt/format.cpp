#include "encrypt/format.h"

#include "cipher/constants.h"
#include "cipher/keyed.h"

namespace tazu {

void AppendToEntryChain(Str255& chain, const Str255& salt, const Str255& record_signature_key) {
    // The first byte may only fill the chain to 254 bytes, the second to 255.
    if (chain.size() < 254 && salt.size() >= 1) {
        chain.push_back(salt[0]);
    }
    if (salt.size() >= 2) {
        chain.push_back(salt[1]);
    }
    if (chain.size() >= kEntryChainLimit) {
        chain = KeyedDigest(chain, 2, record_signature_key);
    }
}

Str255 ArchiveTrailer(const Str255& chain) {
    Str255 trailer;
    trailer.push_back(kTrailerMarker);
    trailer.append(KeyedDigest(chain, 2, BuiltInKey()));
    return trailer;
}

}  // namespace tazu
