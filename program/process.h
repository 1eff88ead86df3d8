// Facts about the running program that the engines need (its file, its
// folder, the names of the files that lie beside it), and what the programs
// that handle secrets do to protect them.
#pragma once

#include <string_view>

#include "io/path.h"

namespace tazu {

inline constexpr std::string_view kKeyStoreFileName = "Tazu16x32.key";
inline constexpr std::string_view kStubFileName = "Tazu16x32.SFX";
// The Windows stub, which a Linux install keeps beside the Linux one.
inline constexpr std::string_view kWindowsStubFileName = "Tazu16x32.SFX.exe";

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

}  // namespace tazu
