// Where the stub's own program image ends inside its file: everything after
// it is the archive that a self-decrypting output carries.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>

#include "io/path.h"

namespace tazu {

// The end of the ELF image in the file at path: the later of the end of the
// section header table and the end of the last segment (or of any header).
// Empty when the file is not a readable ELF file.
std::optional<std::uint64_t> ElfImageEnd(const Path& path);

// The same over a stream of the file's size bytes.
std::optional<std::uint64_t> ElfImageEnd(std::istream& in, std::uint64_t size);

}  // namespace tazu
