// The AVX2 kernels: the byte loops compiled for AVX2, and hand-written sums
// in 16-bit lanes. Built only for x86-64; chosen at run time.
#if defined(__x86_64__)

#include <immintrin.h>

#include "cipher/kernel_tables.h"
#include "cipher/kernels.h"

#define TAZU_AVX2 __attribute__((target("avx2")))

namespace tazu::internal {

namespace {

// For each key length below 16, the key position of every output byte.
struct RepeatIndex {
    alignas(32) std::uint8_t index[16][256];
};
constexpr RepeatIndex kRepeatIndex = [] {
    RepeatIndex r{};
    for (std::size_t k = 1; k < 16; ++k) {
        for (std::size_t i = 0; i < 256; ++i) {
            r.index[k][i] = static_cast<std::uint8_t>(i % k);
        }
    }
    return r;
}();

// The digest weights as 16-bit multiply-adds: the position weights fit 16
// bits, and each bucket weight is split as high * 32768 + low with both
// parts below 32768. No partial sum comes near 2^31.
struct DigestWeights16 {
    alignas(32) std::int16_t position[256];
    alignas(32) std::int16_t bucket_low[256];
    alignas(32) std::int16_t bucket_high[256];
};
constexpr DigestWeights16 kDigestWeights16 = [] {
    DigestWeights16 w{};
    for (std::size_t i = 0; i < 255; ++i) {
        w.position[i] = static_cast<std::int16_t>(kDigestWeights.position[i]);
        w.bucket_low[i] = static_cast<std::int16_t>(kDigestWeights.bucket[i] % 32768);
        w.bucket_high[i] = static_cast<std::int16_t>(kDigestWeights.bucket[i] / 32768);
    }
    return w;
}();

// The sum of the eight 32-bit lanes.
TAZU_AVX2 std::uint32_t HorizontalSum(__m256i v) {
    const __m128i four = _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    const __m128i two = _mm_add_epi32(four, _mm_shuffle_epi32(four, 0x4E));
    const __m128i one = _mm_add_epi32(two, _mm_shuffle_epi32(two, 0xB1));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(one));
}

// The sum of the sixteen 16-bit lanes.
TAZU_AVX2 std::uint32_t SumOfWords(__m256i v) {
    return HorizontalSum(_mm256_madd_epi16(v, _mm256_set1_epi16(1)));
}

// 9x + 7 (mod 256) of bytes held in 16-bit lanes.
TAZU_AVX2 __m256i StepWords(__m256i x) {
    return _mm256_and_si256(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_slli_epi16(x, 3), x), _mm256_set1_epi16(7)),
        _mm256_set1_epi16(0xFF));
}

TAZU_AVX2 void AffineBytesAvx2(std::uint8_t* z, const std::uint8_t* key, std::size_t n,
                               std::uint8_t a, std::uint8_t b) {
    body::AffineBytes(z, key, n, a, b);
}

TAZU_AVX2 void TableBytesAvx2(std::uint8_t* z, const std::uint8_t* repeated, const std::uint8_t* a,
                              const std::uint8_t* b, std::size_t n, std::uint8_t delta) {
    body::TableBytes(z, repeated, a, b, n, delta);
}

TAZU_AVX2 void AddTwoKeysAvx2(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                              const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    body::AddTwoKeys(out, x, k1, k2, n, delta);
}

TAZU_AVX2 void SubTwoKeysAvx2(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                              const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    body::SubTwoKeys(out, x, k1, k2, n, delta);
}

TAZU_AVX2 void AddStreamAvx2(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z,
                             std::size_t n) {
    body::AddStream(out, x, z, n);
}

TAZU_AVX2 void SubStreamAvx2(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z,
                             std::size_t n) {
    body::SubStream(out, x, z, n);
}

}  // namespace

// The key repeated along len bytes by byte shuffles, 32 bytes at a time.
TAZU_AVX2 void RepeatKeyAvx2(const std::uint8_t* key, std::size_t key_len, std::size_t len,
                             std::uint8_t* out) {
    if (key_len >= 16) {
        RepeatKeyPlain(key, key_len, len, out);
        return;
    }
    std::uint8_t padded[16] = {};
    std::memcpy(padded, key, key_len);
    const __m256i k =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(padded)));
    for (std::size_t i = 0; i < len; i += 32) {
        const __m256i idx =
            _mm256_load_si256(reinterpret_cast<const __m256i*>(kRepeatIndex.index[key_len] + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_shuffle_epi8(k, idx));
    }
}

// Sixteen bytes at a time in 16-bit lanes; a lane's running sum stays below
// 16 * 255 per 256 bytes, far from overflowing.
TAZU_AVX2 std::uint32_t SteppedSumAvx2(const std::uint8_t* key, std::size_t count, std::size_t m) {
    const __m256i a = _mm256_set1_epi16(kStepPowersTable.a[m]);
    const __m256i b = _mm256_set1_epi16(kStepPowersTable.b[m]);
    const __m256i low = _mm256_set1_epi16(0xFF);
    __m256i acc = _mm256_setzero_si256();
    std::size_t j = 0;
    for (; j + 16 <= count; j += 16) {
        const __m256i k =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(key + j)));
        acc = _mm256_add_epi16(
            acc, _mm256_and_si256(_mm256_add_epi16(_mm256_mullo_epi16(k, a), b), low));
    }
    return SumOfWords(acc) + SteppedSumPlain(key + j, count - j, m);
}

// Sixteen bytes at a time in 16-bit lanes; the bytes before split are
// stepped before they are summed.
TAZU_AVX2 std::uint32_t AddStreamWalkedSumAvx2(std::uint8_t* b, const std::uint8_t* z,
                                               std::size_t len, std::size_t split) {
    __m256i acc = _mm256_setzero_si256();
    std::size_t i = 0;
    for (; i + 16 <= split; i += 16) {
        const __m128i sum8 = _mm_add_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(z + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(b + i), sum8);
        acc = _mm256_add_epi16(acc, StepWords(_mm256_cvtepu8_epi16(sum8)));
    }
    return SumOfWords(acc) + AddStreamWalkedSumPlain(b + i, z + i, len - i, split - i);
}

TAZU_AVX2 std::uint32_t DigestSumAvx2(const std::uint8_t* d, std::uint32_t len) {
    __m256i acc = _mm256_setzero_si256();
    __m256i acc_high = _mm256_setzero_si256();
    std::uint32_t i = 0;
    for (; i + 16 <= len; i += 16) {
        const __m256i x =
            _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i)));
        const auto* pos = reinterpret_cast<const __m256i*>(kDigestWeights16.position + i);
        const auto* blo = reinterpret_cast<const __m256i*>(kDigestWeights16.bucket_low + i);
        const auto* bhi = reinterpret_cast<const __m256i*>(kDigestWeights16.bucket_high + i);
        acc = _mm256_add_epi32(acc, _mm256_madd_epi16(StepWords(x), _mm256_load_si256(pos)));
        acc = _mm256_add_epi32(acc, _mm256_madd_epi16(x, _mm256_load_si256(blo)));
        acc_high = _mm256_add_epi32(acc_high, _mm256_madd_epi16(x, _mm256_load_si256(bhi)));
    }
    return len * (len + 1) / 2 + HorizontalSum(acc) + 32768u * HorizontalSum(acc_high) +
           DigestSumTail(d, i, len);
}

const KernelTable kAvx2Kernels = {
    AffineBytesAvx2, TableBytesAvx2, RepeatKeyAvx2, SteppedSumAvx2, AddStreamWalkedSumAvx2,
    AddTwoKeysAvx2,  SubTwoKeysAvx2, DigestSumAvx2, AddStreamAvx2,  SubStreamAvx2,
};

}  // namespace tazu::internal

#endif  // __x86_64__
