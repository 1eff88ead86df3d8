// Facts about the running program that the engines need, and what the
// programs that handle secrets do to protect them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "io/path.h"

namespace tazu {

// The running executable's file. Empty when it cannot be found.
Path ProgramFile();

// The folder of the running executable: where the key store and the
// self-decrypting stub live. Empty when it cannot be found.
inline Path ProgramFolder() {
    return ProgramFile().parent_path();
}

// The file name of the self-decrypting stub for the system the program runs
// on (kStubFileName, or kWindowsStubFileName on Windows).
std::string_view OwnStubFileName();

// Keeps passwords, personal codes and keys out of core dumps: the process
// becomes non-dumpable (no core file, and other processes of the same user
// may not attach to it or read its memory) and its core-size limit, soft
// and hard, becomes 0. Called first thing in main by every program that
// handles secrets. True when both took effect.
bool KeepSecretsOutOfCoreDumps();

// Fills out with count bytes from the operating system's entropy source
// (getrandom, or the system's preferred generator on Windows); a source
// that fails ends the program rather than hand out weak bytes.
void SystemEntropy(std::uint8_t* out, std::size_t count);

}  // namespace tazu
