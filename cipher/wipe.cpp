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
// on the stack.
void ClearVectorRegisters() {
#if defined(__x86_64__)
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
