// The Windows side of cipher/entropy.h, and the wipe that the compiler may
// not drop (cipher/wipe.h).
#include <windows.h>
// bcrypt.h needs the types of windows.h first.
#include <bcrypt.h>

#include <cstdio>
#include <cstdlib>

#include "cipher/entropy.h"
#include "cipher/wipe.h"

namespace tazu {

void SystemEntropy(std::uint8_t* out, std::size_t count) {
    while (count > 0) {
        const ULONG n = count > 0x10000 ? 0x10000 : static_cast<ULONG>(count);
        if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, out, n, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            std::fprintf(stderr, "BCryptGenRandom failed\n");
            std::abort();
        }
        out += n;
        count -= n;
    }
}

void WipeBytes(void* data, std::size_t count) {
    ::SecureZeroMemory(data, count);
}

}  // namespace tazu
