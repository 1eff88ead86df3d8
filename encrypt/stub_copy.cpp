#include "encrypt/stub_copy.h"

#include <algorithm>

#include "cipher/constants.h"
#include "cipher/platform.h"

namespace tazu {

std::filesystem::path DefaultStubPath() {
    return ProgramFolder() / std::string(kStubFileName);
}

StubCopyResult CopyStub(const std::filesystem::path& stub_path, OutputStream& archive,
                        EncryptHost& host) {
    host.setStatusProgress(0);
    host.showStatusWindow();
    host.setStatusCaption("Статус:");
    host.setStatusText("Чтение/Запись");
    host.processEvents();

    FileReader stub(64 * 1024);
    if (!stub.Open(stub_path)) {
        host.hideStatusWindow();
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
        host.setStatusProgress(static_cast<int>(
            std::min<std::uint64_t>(stub.position() * 100 / kStubProgressScale, 1u << 30)));
    }
    stub.Close();
    host.hideStatusWindow();
    return result;
}

}  // namespace tazu
