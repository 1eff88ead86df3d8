// The ELF side of stub/self_image.h.
#include "stub/elf_image.h"
#include "stub/self_image.h"

namespace tazu {

std::optional<std::uint64_t> OwnImageEnd(const Path& path) {
    return ElfImageEnd(path);
}

}  // namespace tazu
