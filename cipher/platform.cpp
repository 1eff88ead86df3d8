#include "cipher/platform.h"

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

}  // namespace tazu
