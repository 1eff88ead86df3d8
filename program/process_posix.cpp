// The POSIX side of program/process.h.
#include <sys/prctl.h>
#include <sys/resource.h>

#include <system_error>

#include "program/process.h"

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

}  // namespace tazu
