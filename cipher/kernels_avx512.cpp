// The AVX-512 kernels (BW, VBMI, VL): the byte loops and the block key
// update in 512-bit vectors with masked last steps; the digest and key
// sums keep their AVX2 form.
// Built only for x86-64; chosen at run time.
#if defined(__x86_64__)

#include <immintrin.h>

#include <cstring>

#include "cipher/kernel_tables.h"
#include "cipher/kernels.h"

#if defined(__clang__)
// clang takes no vector width in the target attribute: it would ignore the
// whole attribute and build these loops without AVX-512 (the fuzzing build
// uses clang).
#define TAZU_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512vbmi")))
#else
#define TAZU_AVX512 \
    __attribute__((target("avx2,avx512f,avx512bw,avx512vl,avx512vbmi,prefer-vector-width=512")))
#endif

namespace tazu::internal {

namespace {

// Sixty-four bytes at a time, the last vector masked to the bytes left: a
// block's 255 bytes take four steps and no byte is done twice (the stream
// additions also run in place). Masked loads never touch the bytes they
// leave out.

// The lanes below count (at most 64).
TAZU_AVX512 __mmask64 LowLanes(std::size_t count) {
    return count >= 64 ? ~__mmask64{0} : (__mmask64{1} << count) - 1;
}

TAZU_AVX512 __m512i Load(__mmask64 m, const std::uint8_t* p) {
    return _mm512_maskz_loadu_epi8(m, p);
}

// a * x (mod 256) for each byte, from two 16-bit products as in the AVX2
// kernels; a mask blend joins the even and odd bytes.
TAZU_AVX512 __m512i MulBytes(__m512i a, __m512i x) {
    const __m512i even = _mm512_mullo_epi16(a, x);
    const __m512i odd = _mm512_mullo_epi16(_mm512_srli_epi16(a, 8), _mm512_srli_epi16(x, 8));
    return _mm512_mask_blend_epi8(0xAAAAAAAAAAAAAAAAull, even, _mm512_slli_epi16(odd, 8));
}

// 9x + 7 (mod 256) of each byte, by byte additions.
TAZU_AVX512 __m512i StepBytes(__m512i x) {
    const __m512i x2 = _mm512_add_epi8(x, x);
    const __m512i x4 = _mm512_add_epi8(x2, x2);
    const __m512i x8 = _mm512_add_epi8(x4, x4);
    return _mm512_add_epi8(_mm512_add_epi8(x8, x), _mm512_set1_epi8(7));
}

TAZU_AVX512 void AffineBytesAvx512(std::uint8_t* z, const std::uint8_t* key, std::size_t n,
                                   std::uint8_t a, std::uint8_t b) {
    const __m512i va = _mm512_set1_epi8(static_cast<char>(a));
    const __m512i vb = _mm512_set1_epi8(static_cast<char>(b));
    for (std::size_t i = 0; i < n; i += 64) {
        const __mmask64 m = LowLanes(n - i);
        _mm512_mask_storeu_epi8(z + i, m, _mm512_add_epi8(MulBytes(va, Load(m, key + i)), vb));
    }
}

TAZU_AVX512 void TableBytesAvx512(std::uint8_t* z, const std::uint8_t* repeated,
                                  const std::uint8_t* a, const std::uint8_t* b, std::size_t n,
                                  std::uint8_t delta) {
    const __m512i d = _mm512_set1_epi8(static_cast<char>(delta));
    for (std::size_t i = 0; i < n; i += 64) {
        const __mmask64 m = LowLanes(n - i);
        const __m512i product = MulBytes(Load(m, a + i), Load(m, repeated + i));
        _mm512_mask_storeu_epi8(z + i, m,
                                _mm512_add_epi8(_mm512_add_epi8(product, Load(m, b + i)), d));
    }
}

TAZU_AVX512 void AddTwoKeysAvx512(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                                  const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    const __m512i d = _mm512_set1_epi8(static_cast<char>(delta));
    for (std::size_t i = 0; i < n; i += 64) {
        const __mmask64 m = LowLanes(n - i);
        const __m512i keys = _mm512_add_epi8(_mm512_add_epi8(Load(m, k1 + i), Load(m, k2 + i)), d);
        _mm512_mask_storeu_epi8(out + i, m, _mm512_add_epi8(Load(m, x + i), keys));
    }
}

TAZU_AVX512 void SubTwoKeysAvx512(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                                  const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    const __m512i d = _mm512_set1_epi8(static_cast<char>(delta));
    for (std::size_t i = 0; i < n; i += 64) {
        const __mmask64 m = LowLanes(n - i);
        const __m512i keys = _mm512_add_epi8(_mm512_add_epi8(Load(m, k1 + i), Load(m, k2 + i)), d);
        _mm512_mask_storeu_epi8(out + i, m, _mm512_sub_epi8(Load(m, x + i), keys));
    }
}

TAZU_AVX512 void AddStreamAvx512(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z,
                                 std::size_t n) {
    for (std::size_t i = 0; i < n; i += 64) {
        const __mmask64 m = LowLanes(n - i);
        _mm512_mask_storeu_epi8(out + i, m, _mm512_add_epi8(Load(m, x + i), Load(m, z + i)));
    }
}

TAZU_AVX512 void SubStreamAvx512(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z,
                                 std::size_t n) {
    for (std::size_t i = 0; i < n; i += 64) {
        const __mmask64 m = LowLanes(n - i);
        _mm512_mask_storeu_epi8(out + i, m, _mm512_sub_epi8(Load(m, x + i), Load(m, z + i)));
    }
}

// A keystream read from memory.
struct StoredStream {
    const std::uint8_t* z;
    TAZU_AVX512 __m512i operator()(std::size_t i, __mmask64 m) const { return Load(m, z + i); }
};

// The keystream of a key of 1 to 15 bytes made on the fly: the key, in
// every 128-bit lane, repeated by a byte shuffle, times and plus its walk's
// coefficients, plus delta.
struct ShortKeyStream {
    __m512i key;
    __m512i delta;
    const std::uint8_t* index;
    const std::uint8_t* a;
    const std::uint8_t* b;
    TAZU_AVX512 __m512i operator()(std::size_t i, __mmask64 m) const {
        const __m512i repeated = _mm512_shuffle_epi8(key, Load(m, index + i));
        return _mm512_add_epi8(_mm512_add_epi8(MulBytes(Load(m, a + i), repeated), Load(m, b + i)),
                               delta);
    }
};

// b[i] += z(i) for i < len, returning b's walked sum over split: the bytes
// before split stepped, the rest as they are, summed eight at a time by
// the sum-of-absolute-differences instruction.
template <class Stream>
TAZU_AVX512 inline std::uint32_t WalkedAdd(std::uint8_t* b, std::size_t len, std::size_t split,
                                           const Stream& z) {
    __m512i acc = _mm512_setzero_si512();
    for (std::size_t i = 0; i < len; i += 64) {
        const __mmask64 m = LowLanes(len - i);
        const __m512i sum8 = _mm512_add_epi8(Load(m, b + i), z(i, m));
        _mm512_mask_storeu_epi8(b + i, m, sum8);
        const __mmask64 stepped = LowLanes(split > i ? split - i : 0);
        const __m512i walked = _mm512_mask_blend_epi8(stepped, sum8, StepBytes(sum8));
        acc = _mm512_add_epi64(
            acc, _mm512_sad_epu8(_mm512_maskz_mov_epi8(m, walked), _mm512_setzero_si512()));
    }
    // Summed through memory: the reducing intrinsics trip GCC 12's
    // uninitialised-value warning inside their own header.
    std::uint64_t lanes[8];
    _mm512_storeu_si512(lanes, acc);
    std::uint64_t sum = 0;
    for (const std::uint64_t lane : lanes) {
        sum += lane;
    }
    return static_cast<std::uint32_t>(sum);
}

TAZU_AVX512 std::uint32_t AddStreamWalkedSumAvx512(std::uint8_t* b, const std::uint8_t* z,
                                                   std::size_t len, std::size_t split) {
    return WalkedAdd(b, len, split, StoredStream{z});
}

TAZU_AVX512 std::uint32_t AdvanceShortKeyAvx512(std::uint8_t* b, std::size_t len,
                                                const std::uint8_t* key, std::size_t key_len,
                                                std::uint8_t delta, std::size_t split) {
    if (key_len >= 16) {
        return AdvanceShortKeyPlain(b, len, key, key_len, delta, split);
    }
    std::uint8_t padded[16] = {};
    std::memcpy(padded, key, key_len);
    const ShortKeyStream z{_mm512_maskz_broadcast_i32x4(
                               0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(padded))),
                           _mm512_set1_epi8(static_cast<char>(delta)), kRepeatIndex.index[key_len],
                           kShortKeyCoefficients.a[key_len], kShortKeyCoefficients.b[key_len]};
    return WalkedAdd(b, len, split, z);
}

// Byte i of each 64-byte step: the lanes' own positions.
alignas(64) constexpr std::uint8_t kLanes[64] = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
    22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43,
    44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63};

// The low 128 bits. The zero-masked forms of the lane moves: GCC 12 warns
// inside its own header about the unmasked ones.
TAZU_AVX512 __m128i LowQuarter(__m512i x) {
    return _mm512_maskz_extracti32x4_epi32(0xF, x, 0);
}

// The lanes below count, for step v of 64 bytes.
TAZU_AVX512 __mmask64 StepLanes(std::size_t count, std::size_t v) {
    return LowLanes(count > 64 * v ? count - 64 * v : 0);
}

// The block key update of the fused block kernels, on the key as loaded
// (key) with the block's random bytes in the low 7 lanes of random (the
// rest zero): b1 = key + the random bytes' keystream, stored whole, and
// b1's walked sum over split bytes. The key is read and written whole (its
// 256-byte buffer is aligned), so the next block's load takes what this one
// stores without waiting for the store to reach the cache, and the random
// bytes never go through memory.
TAZU_AVX512 std::uint32_t AdvanceKeyInRegisters(const __m512i (&key)[4], __m512i random,
                                                std::uint8_t* b1, std::size_t len,
                                                std::size_t split, const RandomWalk& walk) {
    const __mmask64 seven = (__mmask64{1} << kRandomKeyBytes) - 1;
    const __m512i walk_a =
        _mm512_zextsi128_si512(_mm_loadu_si128(reinterpret_cast<const __m128i*>(walk.a)));
    const __m512i walk_b =
        _mm512_zextsi128_si512(_mm_loadu_si128(reinterpret_cast<const __m128i*>(walk.b)));
    const __m512i walked_random = _mm512_maskz_add_epi8(seven, MulBytes(walk_a, random), walk_b);
    const auto random_sum = static_cast<std::uint32_t>(
        _mm_cvtsi128_si64(LowQuarter(_mm512_sad_epu8(walked_random, _mm512_setzero_si512()))));
    const __m512i random_delta = _mm512_set1_epi8(static_cast<char>(RandomKeyDelta(random_sum)));
    const std::uint8_t* a = kShortKeyCoefficients.a[kRandomKeyBytes];
    const std::uint8_t* b = kShortKeyCoefficients.b[kRandomKeyBytes];
    const std::uint8_t* index = kRepeatIndex.index[kRandomKeyBytes];
    __m512i acc = _mm512_setzero_si512();
    for (std::size_t v = 0; v < 4; ++v) {
        const __mmask64 m = StepLanes(len, v);
        const __m512i repeated =
            _mm512_maskz_permutexvar_epi8(~__mmask64{0}, _mm512_load_si512(index + 64 * v), random);
        const __m512i z = _mm512_add_epi8(
            _mm512_add_epi8(MulBytes(Load(m, a + 64 * v), repeated), Load(m, b + 64 * v)),
            random_delta);
        const __m512i next = _mm512_add_epi8(key[v], z);
        _mm512_store_si512(b1 + 64 * v, next);
        const __m512i walked = _mm512_mask_blend_epi8(StepLanes(split, v), next, StepBytes(next));
        acc = _mm512_add_epi64(
            acc, _mm512_sad_epu8(_mm512_maskz_mov_epi8(m, walked), _mm512_setzero_si512()));
    }
    // Summed in registers: the sum gives the next block's constant, so it
    // is on the key chain too.
    const __m512i halves = _mm512_add_epi64(acc, _mm512_maskz_shuffle_i64x2(0xFF, acc, acc, 0x4E));
    const __m512i quarters =
        _mm512_add_epi64(halves, _mm512_maskz_shuffle_i64x2(0xFF, halves, halves, 0xB1));
    const __m128i pair = LowQuarter(quarters);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si64(pair) +
                                      _mm_cvtsi128_si64(_mm_unpackhi_epi64(pair, pair)));
}

// Seven bytes of the 256 in v from position start on, in the low lanes.
TAZU_AVX512 __m512i SevenBytesAt(const __m512i (&v)[4], std::size_t start) {
    __m512i lo = v[0];
    __m512i hi = v[1];
    if (start >= 192) {
        lo = v[3];
        hi = v[3];
    } else if (start >= 128) {
        lo = v[2];
        hi = v[3];
    } else if (start >= 64) {
        lo = v[1];
        hi = v[2];
    }
    const __m512i index =
        _mm512_add_epi8(_mm512_set1_epi8(static_cast<char>(start % 64)), _mm512_load_si512(kLanes));
    const __mmask64 seven = (__mmask64{1} << kRandomKeyBytes) - 1;
    return _mm512_maskz_permutex2var_epi8(seven, lo, index, hi);
}

TAZU_AVX512 std::uint32_t EncipherBlockAvx512(std::uint8_t* ciphertext, const std::uint8_t* chunk,
                                              std::size_t chunk_len, const std::uint8_t* random,
                                              std::uint8_t* b1, std::size_t len,
                                              const std::uint8_t* b2, std::uint8_t delta,
                                              const RandomWalk& walk) {
    const __m512i d = _mm512_set1_epi8(static_cast<char>(delta));
    __m512i key[4];
    for (std::size_t v = 0; v < 4; ++v) {
        const __mmask64 m = StepLanes(chunk_len, v);
        key[v] = _mm512_load_si512(b1 + 64 * v);
        const __m512i keys = _mm512_add_epi8(_mm512_add_epi8(key[v], Load(m, b2 + 64 * v)), d);
        _mm512_mask_storeu_epi8(ciphertext + 64 * v, m,
                                _mm512_add_epi8(Load(m, chunk + 64 * v), keys));
    }
    // The random bytes follow the chunk in the ciphertext.
    const __mmask64 seven = (__mmask64{1} << kRandomKeyBytes) - 1;
    const __m512i r = Load(seven, random);
    const __m512i keys = _mm512_add_epi8(
        _mm512_add_epi8(SevenBytesAt(key, chunk_len), Load(seven, b2 + chunk_len)), d);
    _mm512_mask_storeu_epi8(ciphertext + chunk_len, seven, _mm512_add_epi8(r, keys));
    return AdvanceKeyInRegisters(key, r, b1, len, chunk_len + kRandomKeyBytes, walk);
}

TAZU_AVX512 std::uint32_t DecipherBlockAvx512(std::uint8_t* plain, const std::uint8_t* c,
                                              std::size_t n, std::uint8_t* b1, std::size_t len,
                                              const std::uint8_t* b2, std::uint8_t delta,
                                              const RandomWalk& walk) {
    const __m512i d = _mm512_set1_epi8(static_cast<char>(delta));
    __m512i key[4];
    __m512i p[4];
    for (std::size_t v = 0; v < 4; ++v) {
        const __mmask64 m = StepLanes(n, v);
        key[v] = _mm512_load_si512(b1 + 64 * v);
        const __m512i keys = _mm512_add_epi8(_mm512_add_epi8(key[v], Load(m, b2 + 64 * v)), d);
        p[v] = _mm512_sub_epi8(Load(m, c + 64 * v), keys);
        _mm512_mask_storeu_epi8(plain + 64 * v, m, p[v]);
    }
    return AdvanceKeyInRegisters(key, SevenBytesAt(p, n - kRandomKeyBytes), b1, len, n, walk);
}

}  // namespace

const KernelTable kAvx512Kernels = {
    AffineBytesAvx512,        TableBytesAvx512, RepeatKeyAvx2,         SteppedSumAvx2,
    AddStreamWalkedSumAvx512, AddTwoKeysAvx512, SubTwoKeysAvx512,      DigestSumAvx2,
    AddStreamAvx512,          SubStreamAvx512,  AdvanceShortKeyAvx512, EncipherBlockAvx512,
    DecipherBlockAvx512,
};

}  // namespace tazu::internal

#endif  // __x86_64__
