// Feeds arbitrary bytes to the stub's search for the end of its own program
// image, as the whole file: whatever it answers lies within the file.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "stub/elf_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const std::optional<std::uint64_t> end = tazu::ElfImageEnd(in, size);
    if (end && *end > size) {
        std::abort();
    }
    return 0;
}
