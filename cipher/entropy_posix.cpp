// The POSIX side of cipher/entropy.h.
#include <sys/random.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cipher/entropy.h"

namespace tazu {

void SystemEntropy(std::uint8_t* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = getrandom(out + done, count - done, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::fprintf(stderr, "getrandom failed: %s\n", std::strerror(errno));
            std::abort();
        }
        done += static_cast<std::size_t>(got);
    }
}

}  // namespace tazu
