// Where a Windows program's image ends inside its file: everything after it
// is the archive that a self-decrypting output for Windows carries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "io/path.h"

namespace tazu {

// The end of the PE image in the file: the latest of the end of the headers,
// of the last section's raw data, of the COFF symbol and string tables (an
// unstripped program) and of the certificate table (a signed program).
// Empty when the file is not a readable PE file or names data beyond its
// size bytes.
// read_at(offset, out, n) reads n bytes of the file at offset; false when
// they are not all there.
using ReadAt = std::function<bool(std::uint64_t offset, std::uint8_t* out, std::size_t n)>;
std::optional<std::uint64_t> PeImageEnd(const ReadAt& read_at, std::uint64_t size);
std::optional<std::uint64_t> PeImageEnd(const Path& path);

}  // namespace tazu
