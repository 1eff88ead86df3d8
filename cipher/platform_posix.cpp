// The POSIX side of cipher/platform.h.
#include <sys/prctl.h>
#include <sys/random.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "cipher/constants.h"
#include "cipher/platform.h"

namespace tazu {

Path ProgramFile() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

std::string_view OwnStubFileName() {
    return kStubFileName;
}

bool KeepSecretsOutOfCoreDumps() {
    const bool not_dumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    const struct rlimit no_core { 0, 0 };
    const bool no_core_limit = ::setrlimit(RLIMIT_CORE, &no_core) == 0;
    return not_dumpable && no_core_limit;
}

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
