// The Windows side of program/process.h.
#include <windows.h>
#include <string>

#include "program/process.h"

namespace tazu {

Path ProgramFile() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0) {
            return {};
        }
        if (n < name.size()) {
            name.resize(n);
            return Path(name);
        }
        name.resize(name.size() * 2);
    }
}

std::string_view OwnStubFileName() {
    return kWindowsStubFileName;
}

bool KeepSecretsOutOfCoreDumps() {
    // No crash dialog and no error-report dump of this process's memory.
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    return true;
}

}  // namespace tazu
