#include "encrypt/stub_copy.h"

#include <algorithm>
#include <system_error>

#include "cipher/constants.h"
#include "encrypt/encrypt_messages.h"
#include "io/native.h"
#include "program/process.h"

namespace tazu {

// The private folder relative to the folder of the programs; the build
// passes the one its install rules use.
#ifndef TAZU_STUB_PRIVATE_DIR
#define TAZU_STUB_PRIVATE_DIR "../lib/tazu16x32"
#endif

std::filesystem::path StubPathFor(const std::filesystem::path& program_folder,
                                  std::string_view stub_name) {
    const std::filesystem::path beside = program_folder / PathFromText(stub_name);
    std::error_code ec;
    if (program_folder.empty() || std::filesystem::exists(beside, ec)) {
        return beside;
    }
    const std::filesystem::path installed = InstalledStubPath(program_folder, stub_name);
    return std::filesystem::exists(installed, ec) ? installed : beside;
}

std::filesystem::path InstalledStubPath(const std::filesystem::path& program_folder,
                                        std::string_view stub_name) {
    return (program_folder / PathFromText(TAZU_STUB_PRIVATE_DIR) / PathFromText(stub_name))
        .lexically_normal();
}

std::filesystem::path DefaultStubPath(std::string_view stub_name) {
    return StubPathFor(ProgramFolder(), stub_name);
}

StubCopyResult CopyStub(const std::filesystem::path& stub_path, OutputStream& archive,
                        EncryptHost& host) {
    host.SetStatusProgress(0);
    host.ShowStatusWindow();
    host.SetStatusCaption(std::string(Tr(kStubCopyCaption)));
    host.SetStatusText(std::string(Tr(kStubCopyText)));
    host.ProcessEvents();

    FileReader stub(64 * 1024);
    if (!stub.Open(stub_path)) {
        host.HideStatusWindow();
        return StubCopyResult::kCannotOpen;
    }
    StubCopyResult result = StubCopyResult::kCopied;
    std::uint8_t buffer[kStubCopyChunk];
    for (;;) {
        const std::size_t got = stub.Read(buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        if (!archive.Write(buffer, got)) {
            result = StubCopyResult::kWriteFailed;
            break;
        }
        host.SetStatusProgress(static_cast<int>(
            std::min<std::uint64_t>(stub.Position() * 100 / kStubProgressScale, 1u << 30)));
    }
    stub.Close();
    host.HideStatusWindow();
    return result;
}

}  // namespace tazu
