// Where the stub's program image ends in its own file (ProgramFile()), by
// the rules of the system's executable format (ELF, or PE on Windows).
#pragma once

#include <cstdint>
#include <optional>

#include "io/path.h"

namespace tazu {

// The end of the program image in the file at path; empty when the file is
// no program of this system's format.
std::optional<std::uint64_t> OwnImageEnd(const Path& path);

}  // namespace tazu
