// The Windows side of keystore/keystore_location.h: the per-user store lies
// in %APPDATA%\tazu16x32, a folder of the user's own profile.
#include <windows.h>

#include <cerrno>
#include <cwchar>
#include <system_error>

#include "cipher/platform.h"
#include "io/native.h"
#include "keystore/keystore_location.h"

namespace tazu {

KeyStoreEnvironment CurrentKeyStoreEnvironment() {
    KeyStoreEnvironment env;
    env.program_folder = ProgramFolder();
    if (const wchar_t* app_data = ::_wgetenv(L"APPDATA"); app_data != nullptr) {
        env.xdg_config_home = PathString(std::filesystem::path(app_data));
    }
    if (const wchar_t* profile = ::_wgetenv(L"USERPROFILE"); profile != nullptr) {
        env.home = PathString(std::filesystem::path(profile));
    }
    return env;
}

bool MakeUserKeyStoreFolder(const std::filesystem::path& folder, int& error_number) {
    error_number = 0;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        error_number = ec ? ec.value() : ENOTDIR;
        return false;
    }
    return true;
}

}  // namespace tazu
