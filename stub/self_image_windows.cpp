// The PE side of stub/self_image.h.
#include <windows.h>

#include <string>

#include "stub/pe_image.h"
#include "stub/self_image.h"

namespace tazu {

std::filesystem::path OwnProgramFile() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) {
            return {};
        }
        if (n < name.size()) {
            name.resize(n);
            return std::filesystem::path(name);
        }
        name.resize(name.size() * 2);
    }
}

std::optional<std::uint64_t> OwnImageEnd(const std::filesystem::path& path) {
    return PeImageEnd(path);
}

}  // namespace tazu
