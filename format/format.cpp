#include "format/format.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

void AddToByteSum(std::uint32_t& sum, const std::uint8_t* bytes, std::size_t count) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: each sum of absolute differences against zero
    // adds eight bytes into a 64-bit lane.
    __m128i acc = _mm_setzero_si128();
    for (; i + 16 <= count; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        acc = _mm_add_epi64(acc, _mm_sad_epu8(v, _mm_setzero_si128()));
    }
    sum += static_cast<std::uint32_t>(_mm_cvtsi128_si32(acc)) +
           static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(acc, acc)));
#endif
    for (; i < count; ++i) {
        sum += bytes[i];
    }
}

Str255 ArchiveTrailer(const Str255& chain) {
    Str255 trailer;
    trailer.push_back(kTrailerMarker);
    trailer.append(KeyedDigest(chain, 2, BuiltInKey()));
    return trailer;
}

}  // namespace tazu
