#include "cipher/wipe.h"

#include <string.h>

#include <cstddef>

namespace tazu {

namespace {

// Deeper than any entry's calls go: an optimised build leaves salts and keys
// down to between 6 and 8 KiB below the caller; the sanitizers' red zones
// make frames several times larger.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kWipedStackBytes = 128 * 1024;
#else
constexpr std::size_t kWipedStackBytes = 32 * 1024;
#endif

// The vectorised transforms leave key bytes in the vector registers, and
// the first call through a lazily bound library function saves all of them
// on the stack. vzeroall leaves the sixteen registers that only AVX-512
// has as they are, and the C library's own copy routines use those for any
// copy of more than a few bytes (a batch's random bytes among them).
void ClearVectorRegisters() {
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx512f")) {
        asm volatile(
            "vpxord %%zmm16, %%zmm16, %%zmm16\n\tvpxord %%zmm17, %%zmm17, %%zmm17\n\t"
            "vpxord %%zmm18, %%zmm18, %%zmm18\n\tvpxord %%zmm19, %%zmm19, %%zmm19\n\t"
            "vpxord %%zmm20, %%zmm20, %%zmm20\n\tvpxord %%zmm21, %%zmm21, %%zmm21\n\t"
            "vpxord %%zmm22, %%zmm22, %%zmm22\n\tvpxord %%zmm23, %%zmm23, %%zmm23\n\t"
            "vpxord %%zmm24, %%zmm24, %%zmm24\n\tvpxord %%zmm25, %%zmm25, %%zmm25\n\t"
            "vpxord %%zmm26, %%zmm26, %%zmm26\n\tvpxord %%zmm27, %%zmm27, %%zmm27\n\t"
            "vpxord %%zmm28, %%zmm28, %%zmm28\n\tvpxord %%zmm29, %%zmm29, %%zmm29\n\t"
            "vpxord %%zmm30, %%zmm30, %%zmm30\n\tvpxord %%zmm31, %%zmm31, %%zmm31" ::
                :);
    }
    if (__builtin_cpu_supports("avx")) {
        asm volatile("vzeroall" ::
                         : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8",
                           "xmm9", "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
    } else {
        asm volatile(
            "pxor %%xmm0, %%xmm0\n\tpxor %%xmm1, %%xmm1\n\tpxor %%xmm2, %%xmm2\n\t"
            "pxor %%xmm3, %%xmm3\n\tpxor %%xmm4, %%xmm4\n\tpxor %%xmm5, %%xmm5\n\t"
            "pxor %%xmm6, %%xmm6\n\tpxor %%xmm7, %%xmm7\n\tpxor %%xmm8, %%xmm8\n\t"
            "pxor %%xmm9, %%xmm9\n\tpxor %%xmm10, %%xmm10\n\tpxor %%xmm11, %%xmm11\n\t"
            "pxor %%xmm12, %%xmm12\n\tpxor %%xmm13, %%xmm13\n\tpxor %%xmm14, %%xmm14\n\t"
            "pxor %%xmm15, %%xmm15" ::
                : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9",
                  "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
    }
#endif
}

}  // namespace

__attribute__((noinline)) void WipeStackBelow() {
    unsigned char area[kWipedStackBytes];
    WipeBytes(area, sizeof area);
    // Keeps the area (and so the frame's size) even under whole-program
    // optimisation.
    asm volatile("" : : "r"(area) : "memory");
    ClearVectorRegisters();
}

}  // namespace tazu
