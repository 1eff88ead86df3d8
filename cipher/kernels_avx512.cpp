// The AVX-512 kernels (BW, VBMI, VL): the byte loops compiled for 512-bit
// vectors; the sums, whose data are at most 255 bytes, keep their AVX2 form.
// Built only for x86-64; chosen at run time.
#if defined(__x86_64__)

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

TAZU_AVX512 void AffineBytesAvx512(std::uint8_t* z, const std::uint8_t* key, std::size_t n,
                                   std::uint8_t a, std::uint8_t b) {
    body::AffineBytes(z, key, n, a, b);
}

TAZU_AVX512 void TableBytesAvx512(std::uint8_t* z, const std::uint8_t* repeated,
                                  const std::uint8_t* a, const std::uint8_t* b, std::size_t n,
                                  std::uint8_t delta) {
    body::TableBytes(z, repeated, a, b, n, delta);
}

TAZU_AVX512 void AddTwoKeysAvx512(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                                  const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    body::AddTwoKeys(out, x, k1, k2, n, delta);
}

TAZU_AVX512 void SubTwoKeysAvx512(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* k1,
                                  const std::uint8_t* k2, std::size_t n, std::uint8_t delta) {
    body::SubTwoKeys(out, x, k1, k2, n, delta);
}

TAZU_AVX512 void AddStreamAvx512(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z,
                                 std::size_t n) {
    body::AddStream(out, x, z, n);
}

TAZU_AVX512 void SubStreamAvx512(std::uint8_t* out, const std::uint8_t* x, const std::uint8_t* z,
                                 std::size_t n) {
    body::SubStream(out, x, z, n);
}

}  // namespace

const KernelTable kAvx512Kernels = {
    AffineBytesAvx512,      TableBytesAvx512, RepeatKeyAvx2,       SteppedSumAvx2,
    AddStreamWalkedSumAvx2, AddTwoKeysAvx512, SubTwoKeysAvx512,    DigestSumAvx2,
    AddStreamAvx512,        SubStreamAvx512,  AdvanceShortKeyAvx2,
};

}  // namespace tazu::internal

#endif  // __x86_64__
