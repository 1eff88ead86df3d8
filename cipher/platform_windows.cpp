// The Windows side of cipher/platform.h.
#include <windows.h>
// bcrypt.h needs the types of windows.h first.
#include <bcrypt.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cipher/constants.h"
#include "cipher/platform.h"
#include "cipher/wipe.h"

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

void SystemEntropy(std::uint8_t* out, std::size_t count) {
    while (count > 0) {
        const ULONG n = count > 0x10000 ? 0x10000 : static_cast<ULONG>(count);
        if (!BCRYPT_SUCCESS(::BCryptGenRandom(nullptr, out, n, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
            std::fprintf(stderr, "BCryptGenRandom failed\n");
            std::abort();
        }
        out += n;
        count -= n;
    }
}

void WipeBytes(void* data, std::size_t count) {
    ::SecureZeroMemory(data, count);
}

}  // namespace tazu
