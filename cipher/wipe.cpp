#include "cipher/wipe.h"

#include <string.h>

#include <cstddef>

namespace tazu {

namespace {

// Deeper than any entry's calls go: measured at under 8 KiB in an
// optimised build; the sanitizers' red zones make frames several times
// larger.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kWipedStackBytes = 128 * 1024;
#else
constexpr std::size_t kWipedStackBytes = 32 * 1024;
#endif

}  // namespace

__attribute__((noinline)) void WipeStackBelow() {
    unsigned char area[kWipedStackBytes];
    explicit_bzero(area, sizeof area);
    // Keeps the area (and so the frame's size) even under whole-program
    // optimisation.
    asm volatile("" : : "r"(area) : "memory");
}

}  // namespace tazu
