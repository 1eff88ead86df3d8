// The PE side of stub/self_image.h.
#include "stub/pe_image.h"
#include "stub/self_image.h"

namespace tazu {

std::optional<std::uint64_t> OwnImageEnd(const Path& path) {
    return PeImageEnd(path);
}

}  // namespace tazu
