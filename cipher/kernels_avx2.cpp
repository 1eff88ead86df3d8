// The AVX2 kernels: the byte loops compiled for AVX2, and hand-written sums
// in 16-bit lanes. Built only for x86-64; chosen at run time.
#if defined(__x86_64__)

#include <immintrin.h>

#include "cipher/kernel_tables.h"
#include "cipher/kernels.h"

#define TAZU_AVX2 __attribute__((target("avx2")))

namespace tazu::internal {

namespace {

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

// a * x (mod 256) for each byte: the low byte of a 16-bit product depends
// only on the low bytes of its factors, so even and odd bytes are
// multiplied in two 16-bit passes.
TAZU_AVX2 __m256i MulBytes(__m256i a, __m256i x) {
    const __m256i even = _mm256_mullo_epi16(a, x);
    const __m256i odd = _mm256_mullo_epi16(_mm256_srli_epi16(a, 8), _mm256_srli_epi16(x, 8));
    return _mm256_or_si256(_mm256_and_si256(even, _mm256_set1_epi16(0xFF)),
                           _mm256_slli_epi16(odd, 8));
}

TAZU_AVX2 __m256i Load(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

TAZU_AVX2 void Store(std::uint8_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// The vector loops below end with one vector over the last 32 bytes, which
// may cover bytes already done: they get the same values again, which is
// sound because z or out never overlaps the inputs.
TAZU_AVX2 void TableBytesAvx2(std::uint8_t* z, const std::uint8_t* repeated, const std::uint8_t* a,
                              const std::uint8_t* b, std::size_t n, std::uint8_t delta) {
    if (n < 32) {
        body::TableBytes(z, repeated, a, b, n, delta);
        return;
    }
    const __m256i d = _mm256_set1_epi8(static_cast<char>(delta));
    for (std::size_t i = 0;; i += 32) {
        if (i + 32 > n) {
            i = n - 32;
        }
        const __m256i product = MulBytes(Load(a + i), Load(repeated + i));
        Store(z + i, _mm256_add_epi8(_mm256_add_epi8(product, Load(b + i)), d));
        if (i + 32 == n) {
            return;
        }
    }
}

TAZU_AVX2 void AddTwoKeysAvx2(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                              const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    if (n < 32) {
        body::AddTwoKeys(out, x, k1, k2, n, delta);
        return;
    }
    const __m256i d = _mm256_set1_epi8(static_cast<char>(delta));
    for (std::size_t i = 0;; i += 32) {
        if (i + 32 > n) {
            i = n - 32;
        }
        const __m256i keys = _mm256_add_epi8(_mm256_add_epi8(Load(k1 + i), Load(k2 + i)), d);
        Store(out + i, _mm256_add_epi8(Load(x + i), keys));
        if (i + 32 == n) {
            return;
        }
    }
}

TAZU_AVX2 void SubTwoKeysAvx2(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                              const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    if (n < 32) {
        body::SubTwoKeys(out, x, k1, k2, n, delta);
        return;
    }
    const __m256i d = _mm256_set1_epi8(static_cast<char>(delta));
    for (std::size_t i = 0;; i += 32) {
        if (i + 32 > n) {
            i = n - 32;
        }
        const __m256i keys = _mm256_add_epi8(_mm256_add_epi8(Load(k1 + i), Load(k2 + i)), d);
        Store(out + i, _mm256_sub_epi8(Load(x + i), keys));
        if (i + 32 == n) {
            return;
        }
    }
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

// 9x + 7 (mod 256) of each byte, by byte additions.
TAZU_AVX2 __m256i StepBytes(__m256i x) {
    const __m256i x2 = _mm256_add_epi8(x, x);
    const __m256i x4 = _mm256_add_epi8(x2, x2);
    const __m256i x8 = _mm256_add_epi8(x4, x4);
    return _mm256_add_epi8(_mm256_add_epi8(x8, x), _mm256_set1_epi8(7));
}

// The sums of each eight bytes, in four 64-bit lanes.
TAZU_AVX2 __m256i ByteSums(__m256i x) {
    return _mm256_sad_epu8(x, _mm256_setzero_si256());
}

// A keystream read from memory.
struct StoredStream {
    const std::uint8_t* z;
    TAZU_AVX2 __m256i operator()(std::size_t i) const { return Load(z + i); }
};

// The keystream of a key of 1 to 15 bytes made on the fly: the key repeated
// by a byte shuffle, times and plus its walk's coefficients, plus delta.
struct ShortKeyStream {
    __m256i key;
    __m256i delta;
    const std::uint8_t* index;
    const std::uint8_t* a;
    const std::uint8_t* b;
    TAZU_AVX2 __m256i operator()(std::size_t i) const {
        const __m256i repeated = _mm256_shuffle_epi8(key, Load(index + i));
        return _mm256_add_epi8(_mm256_add_epi8(MulBytes(Load(a + i), repeated), Load(b + i)),
                               delta);
    }
};

// b[i] += z(i) for i < len (len >= 32), returning b's walked sum over
// split: the bytes before split stepped, the rest as they are. Thirty-two
// bytes at a time: first the vectors that lie wholly before split, then the
// rest with lane masks; the last vector covers the last 32 bytes and adds z
// only to those not yet done. The bytes are summed eight at a time by the
// sum-of-absolute-differences instruction.
template <class Stream>
TAZU_AVX2 inline std::uint32_t WalkedAdd(std::uint8_t* b, std::size_t len, std::size_t split,
                                         const Stream& z) {
    __m256i acc = _mm256_setzero_si256();
    std::size_t done = 0;
    for (; done + 32 <= split && done + 32 <= len; done += 32) {
        const __m256i sum8 = _mm256_add_epi8(Load(b + done), z(done));
        Store(b + done, sum8);
        acc = _mm256_add_epi64(acc, ByteSums(StepBytes(sum8)));
    }
    const __m256i bytes =
        _mm256_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                         21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
    while (done < len) {
        const std::size_t i = done + 32 <= len ? done : len - 32;
        // Lanes j with i + j >= done are new; those with i + j < split are
        // stepped.
        const __m256i fresh =
            _mm256_cmpgt_epi8(bytes, _mm256_set1_epi8(static_cast<char>(done - i - 1)));
        const std::size_t before = split > i ? std::min<std::size_t>(split - i, 32) : 0;
        const __m256i stepped =
            _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(before)), bytes);
        const __m256i sum8 = _mm256_add_epi8(Load(b + i), _mm256_and_si256(z(i), fresh));
        Store(b + i, sum8);
        const __m256i walked = _mm256_blendv_epi8(sum8, StepBytes(sum8), stepped);
        acc = _mm256_add_epi64(acc, ByteSums(_mm256_and_si256(walked, fresh)));
        done = i + 32;
    }
    const __m128i two =
        _mm_add_epi64(_mm256_castsi256_si128(acc), _mm256_extracti128_si256(acc, 1));
    return static_cast<std::uint32_t>(
        _mm_cvtsi128_si64(_mm_add_epi64(two, _mm_unpackhi_epi64(two, two))));
}

TAZU_AVX2 std::uint32_t AddStreamWalkedSumAvx2(std::uint8_t* b, const std::uint8_t* z,
                                               std::size_t len, std::size_t split) {
    if (len < 32) {
        return AddStreamWalkedSumPlain(b, z, len, split);
    }
    return WalkedAdd(b, len, split, StoredStream{z});
}

TAZU_AVX2 std::uint32_t AdvanceShortKeyAvx2(std::uint8_t* b, std::size_t len,
                                            const std::uint8_t* key, std::size_t key_len,
                                            std::uint8_t delta, std::size_t split) {
    if (len < 32 || key_len >= 16) {
        return AdvanceShortKeyPlain(b, len, key, key_len, delta, split);
    }
    std::uint8_t padded[16] = {};
    std::memcpy(padded, key, key_len);
    const ShortKeyStream z{
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(padded))),
        _mm256_set1_epi8(static_cast<char>(delta)), kRepeatIndex.index[key_len],
        kShortKeyCoefficients.a[key_len], kShortKeyCoefficients.b[key_len]};
    return WalkedAdd(b, len, split, z);
}

// The digest terms of 16 bytes at positions i to i + 15, of which those in
// lanes keep count.
TAZU_AVX2 void DigestTerms(const std::uint8_t* d, std::uint32_t i, __m256i keep, __m256i& acc,
                           __m256i& acc_high) {
    const __m256i x = _mm256_and_si256(
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i))), keep);
    const __m256i stepped = _mm256_and_si256(StepWords(x), keep);
    const auto* pos = reinterpret_cast<const __m256i*>(kDigestWeights16.position + i);
    const auto* blo = reinterpret_cast<const __m256i*>(kDigestWeights16.bucket_low + i);
    const auto* bhi = reinterpret_cast<const __m256i*>(kDigestWeights16.bucket_high + i);
    acc = _mm256_add_epi32(acc, _mm256_madd_epi16(stepped, _mm256_loadu_si256(pos)));
    acc = _mm256_add_epi32(acc, _mm256_madd_epi16(x, _mm256_loadu_si256(blo)));
    acc_high = _mm256_add_epi32(acc_high, _mm256_madd_epi16(x, _mm256_loadu_si256(bhi)));
}

// Sixteen bytes at a time; a last vector covers the last 16 bytes with the
// bytes already summed masked out.
TAZU_AVX2 std::uint32_t DigestSumAvx2(const std::uint8_t* d, std::uint32_t len) {
    if (len < 16) {
        return len * (len + 1) / 2 + DigestSumTail(d, 0, len);
    }
    __m256i acc = _mm256_setzero_si256();
    __m256i acc_high = _mm256_setzero_si256();
    const __m256i all = _mm256_set1_epi16(-1);
    std::uint32_t done = 0;
    for (; done + 16 <= len; done += 16) {
        DigestTerms(d, done, all, acc, acc_high);
    }
    if (done < len) {
        const std::uint32_t i = len - 16;
        const __m256i lanes =
            _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
        const __m256i fresh =
            _mm256_cmpgt_epi16(lanes, _mm256_set1_epi16(static_cast<std::int16_t>(done - i - 1)));
        DigestTerms(d, i, fresh, acc, acc_high);
    }
    return len * (len + 1) / 2 + HorizontalSum(acc) + 32768u * HorizontalSum(acc_high);
}

// The block key update of the fused block kernels with the block's random
// bytes in the low 7 lanes of random (the rest zero): their walked sum and
// the keystream come from the register, so the random bytes are never
// read back from memory just after they were stored.
TAZU_AVX2 std::uint32_t AdvanceWithRandom(__m128i random, std::uint8_t* b1, std::size_t len,
                                          std::size_t split, const RandomWalk& walk) {
    // The walk's coefficients are zero past the 7 lanes, so those add 0.
    const __m256i walked = _mm256_add_epi8(
        MulBytes(_mm256_zextsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(walk.a))),
                 _mm256_zextsi128_si256(random)),
        _mm256_zextsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(walk.b))));
    const auto sum =
        static_cast<std::uint32_t>(_mm_cvtsi128_si64(_mm256_castsi256_si128(ByteSums(walked))));
    const ShortKeyStream z{_mm256_broadcastsi128_si256(random),
                           _mm256_set1_epi8(static_cast<char>(RandomKeyDelta(sum))),
                           kRepeatIndex.index[kRandomKeyBytes],
                           kShortKeyCoefficients.a[kRandomKeyBytes],
                           kShortKeyCoefficients.b[kRandomKeyBytes]};
    return WalkedAdd(b1, len, split, z);
}

TAZU_AVX2 std::uint32_t DecipherBlockAvx2(std::uint8_t* plain, const std::uint8_t* c, std::size_t n,
                                          std::uint8_t* b1, std::size_t len, const std::uint8_t* b2,
                                          std::uint8_t delta, const RandomWalk& walk) {
    if (n < 32) {
        SubTwoKeysAvx2(plain, c, b1, b2, n, delta);
        const std::uint8_t* random = plain + n - kRandomKeyBytes;
        return AdvanceShortKeyAvx2(b1, len, random, kRandomKeyBytes,
                                   RandomKeyDelta(WalkedRandom(random, walk)), n);
    }
    // As SubTwoKeysAvx2; the last vector ends with the random bytes.
    const __m256i d = _mm256_set1_epi8(static_cast<char>(delta));
    __m256i last;
    for (std::size_t i = 0;; i += 32) {
        if (i + 32 > n) {
            i = n - 32;
        }
        const __m256i keys = _mm256_add_epi8(_mm256_add_epi8(Load(b1 + i), Load(b2 + i)), d);
        last = _mm256_sub_epi8(Load(c + i), keys);
        Store(plain + i, last);
        if (i + 32 == n) {
            break;
        }
    }
    // Bytes 25 to 31 of the last vector: 9 to 15 of its high half.
    return AdvanceWithRandom(_mm_srli_si128(_mm256_extracti128_si256(last, 1), 9), b1, len, n,
                             walk);
}

TAZU_AVX2 std::uint32_t EncipherBlockAvx2(std::uint8_t* ciphertext, const std::uint8_t* chunk,
                                          std::size_t chunk_len, const std::uint8_t* random,
                                          std::uint8_t* b1, std::size_t len, const std::uint8_t* b2,
                                          std::uint8_t delta, const RandomWalk& walk) {
    AddTwoKeysAvx2(ciphertext, chunk, b1, b2, chunk_len, delta);
    AddTwoKeysAvx2(ciphertext + chunk_len, random, b1 + chunk_len, b2 + chunk_len, kRandomKeyBytes,
                   delta);
    if (len < 32) {
        return AdvanceShortKeyAvx2(b1, len, random, kRandomKeyBytes,
                                   RandomKeyDelta(WalkedRandom(random, walk)),
                                   chunk_len + kRandomKeyBytes);
    }
    // The random bytes were drawn long before: read as they are, without
    // the padded copy that AdvanceShortKeyAvx2 makes of any short key.
    std::uint64_t bytes = 0;
    std::memcpy(&bytes, random, kRandomKeyBytes);
    return AdvanceWithRandom(_mm_cvtsi64_si128(static_cast<long long>(bytes)), b1, len,
                             chunk_len + kRandomKeyBytes, walk);
}

const KernelTable kAvx2Kernels = {
    AffineBytesAvx2,        TableBytesAvx2, RepeatKeyAvx2,       SteppedSumAvx2,
    AddStreamWalkedSumAvx2, AddTwoKeysAvx2, SubTwoKeysAvx2,      DigestSumAvx2,
    AddStreamAvx2,          SubStreamAvx2,  AdvanceShortKeyAvx2, EncipherBlockAvx2,
    DecipherBlockAvx2,
};

}  // namespace tazu::internal

#endif  // __x86_64__
