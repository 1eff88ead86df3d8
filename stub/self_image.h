// The stub's own file and where its program image ends in it, by the rules
// of the system's executable format (ELF, or PE on Windows).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace tazu {

// The running program's file; empty when it cannot be found.
std::filesystem::path OwnProgramFile();

// The end of the program image in the file at path; empty when the file is
// no program of this system's format.
std::optional<std::uint64_t> OwnImageEnd(const std::filesystem::path& path);

}  // namespace tazu
