// Facts about the running program that the engines need.
#pragma once

#include <filesystem>

namespace tazu {

// The folder of the running executable: where the key store and the
// self-decrypting stub live. Empty when it cannot be found.
std::filesystem::path ProgramFolder();

}  // namespace tazu
