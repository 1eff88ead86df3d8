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

}  // namespace

const KernelTable kAvx512Kernels = {
    AffineBytesAvx512,        TableBytesAvx512, RepeatKeyAvx2,         SteppedSumAvx2,
    AddStreamWalkedSumAvx512, AddTwoKeysAvx512, SubTwoKeysAvx512,      DigestSumAvx2,
    AddStreamAvx512,          SubStreamAvx512,  AdvanceShortKeyAvx512,
};

}  // namespace tazu::internal

#endif  // __x86_64__
