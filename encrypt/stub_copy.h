// Copying the self-decrypting stub to the front of an archive.
#pragma once

#include <cstdint>
#include <filesystem>

#include "encrypt/encrypt_host.h"
#include "io/file_io.h"
#include "program/process.h"

namespace tazu {

// The stub size the status window's progress bar is scaled to (600 KiB).
inline constexpr std::uint64_t kStubProgressScale = 614400;
inline constexpr std::size_t kStubCopyChunk = 1024;

enum class StubCopyResult : std::uint8_t {
    kCopied,
    kCannotOpen,   // nothing was written
    kWriteFailed,  // the archive is broken
};

// Where the stub of a program in program_folder lies: beside the program
// when it is there (a copy run from its own folder), else in the package's
// private folder, found relative to the program (../lib/tazu16x32/ for one
// in bin/), so that an install moved to another prefix still finds it. When
// neither exists, the place beside the program. stub_name picks the stub:
// by default the one for the system the program runs on, else another
// system's (kWindowsStubFileName, kStubFileName).
std::filesystem::path StubPathFor(const std::filesystem::path& program_folder,
                                  std::string_view stub_name = OwnStubFileName());

// The stub's place in the package's private folder, whether it is there
// or not (where StubPathFor looks second).
std::filesystem::path InstalledStubPath(const std::filesystem::path& program_folder,
                                        std::string_view stub_name = OwnStubFileName());

// StubPathFor(ProgramFolder(), stub_name).
std::filesystem::path DefaultStubPath(std::string_view stub_name = OwnStubFileName());

// Appends every byte of the stub to the archive in chunks of 1024 bytes,
// showing the status window ("Статус:", "Чтение/Запись") with its progress
// at trunc(bytes read * 100 / 614400) meanwhile.
StubCopyResult CopyStub(const std::filesystem::path& stub_path, OutputStream& archive,
                        EncryptHost& host);

}  // namespace tazu
