// Feeds arbitrary bytes to the Windows stub's search for the end of its own
// program image, as the whole file: whatever it answers lies within the
// file, and no read goes past it.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "stub/pe_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tazu::ReadAt read_at = [&](std::uint64_t offset, std::uint8_t* out, std::size_t n) {
        if (offset > size || n > size - offset) {
            return false;
        }
        std::memcpy(out, data + offset, n);
        return true;
    };
    const std::optional<std::uint64_t> end = tazu::PeImageEnd(read_at, size);
    if (end && *end > size) {
        std::abort();
    }
    return 0;
}
