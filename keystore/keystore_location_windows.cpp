// The Windows side of keystore/keystore_location.h: the per-user store lies
// in %APPDATA%\tazu16x32, a folder of the user's own profile.
#include <windows.h>

#include <cwchar>

#include "io/native.h"
#include "keystore/keystore_location.h"
#include "program/process.h"

namespace tazu {

KeyStoreEnvironment CurrentKeyStoreEnvironment() {
    KeyStoreEnvironment env;
    env.program_folder = ProgramFolder();
    if (const wchar_t* app_data = ::_wgetenv(L"APPDATA"); app_data != nullptr) {
        env.xdg_config_home = PathString(Path(app_data));
    }
    if (const wchar_t* profile = ::_wgetenv(L"USERPROFILE"); profile != nullptr) {
        env.home = PathString(Path(profile));
    }
    return env;
}

bool MakeUserKeyStoreFolder(const Path& folder, int& error_number) {
    error_number = 0;
    return MakeFolders(folder, error_number);
}

}  // namespace tazu
