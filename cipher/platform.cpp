#include "cipher/platform.h"

#include <sys/prctl.h>
#include <sys/resource.h>

#include <system_error>

namespace tazu {

std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    return exe.parent_path();
}

bool KeepSecretsOutOfCoreDumps() {
    const bool not_dumpable = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
    const struct rlimit no_core { 0, 0 };
    const bool no_core_limit = ::setrlimit(RLIMIT_CORE, &no_core) == 0;
    return not_dumpable && no_core_limit;
}

}  // namespace tazu
