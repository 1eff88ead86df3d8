// What the Windows implementations share beyond io/native.h.
#pragma once

#include <string>

#include "io/path.h"

namespace tazu {

// path as Windows' wide calls take it without the limit of 260 characters
// to a path: absolute, normalised, with backslashes and the "\\?\" prefix
// ("\\?\UNC\server\share\..." for a network path). Used for every file
// system call, so that a deep tree extracts wherever it is put.
std::wstring SystemPath(const Path& path);

}  // namespace tazu
