// The ELF side of stub/self_image.h.
#include "stub/elf_image.h"
#include "stub/self_image.h"

namespace tazu {

std::filesystem::path OwnProgramFile() {
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec);
}

std::optional<std::uint64_t> OwnImageEnd(const std::filesystem::path& path) {
    return ElfImageEnd(path);
}

}  // namespace tazu
