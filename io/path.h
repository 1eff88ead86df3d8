// The path type of the engines: std::filesystem::path on POSIX systems,
// WidePath (io/wide_path.h) on Windows, where the C++ runtime's path class
// would carry its locale machinery into the self-decrypting stub. The
// engines use the operations both have (joining, parent_path, filename,
// native, is_absolute) and the file system calls of io/native.h.
#pragma once

#ifdef _WIN32
#include "io/wide_path.h"
#else
#include <filesystem>
#endif

namespace tazu {

#ifdef _WIN32
using Path = WidePath;
#else
using Path = std::filesystem::path;
#endif

}  // namespace tazu
