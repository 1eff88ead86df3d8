// Facts about the running program that the engines need, and what the
// programs that handle secrets do to protect them.
#pragma once

#include <filesystem>

namespace tazu {

// The folder of the running executable: where the key store and the
// self-decrypting stub live. Empty when it cannot be found.
std::filesystem::path ProgramFolder();

// Keeps passwords, personal codes and keys out of core dumps: the process
// becomes non-dumpable (no core file, and other processes of the same user
// may not attach to it or read its memory) and its core-size limit, soft
// and hard, becomes 0. Called first thing in main by every program that
// handles secrets. True when both took effect.
bool KeepSecretsOutOfCoreDumps();

}  // namespace tazu
