// Where the key store lies, by the same rule on every system.
#include "keystore/keystore_location.h"

#include <system_error>
#include <vector>

#include "cipher/constants.h"
#include "cipher/platform.h"
#include "io/native.h"

namespace tazu {
namespace {

constexpr std::string_view kUserFolderName = "tazu16x32";

bool Exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

}  // namespace

std::filesystem::path UserKeyStoreFolder(const KeyStoreEnvironment& env) {
    const std::filesystem::path config = PathFromText(env.xdg_config_home);
    if (config.is_absolute()) {
        return config / PathFromText(kUserFolderName);
    }
    const std::filesystem::path home = PathFromText(env.home);
    if (home.is_absolute()) {
        return home / PathFromText(".config") / PathFromText(kUserFolderName);
    }
    return {};
}

KeyStoreLocation LocateKeyStore(const KeyStoreEnvironment& env) {
    KeyStoreLocation location;
    location.user_folder = UserKeyStoreFolder(env);
    // Without a known program folder the bare name is looked for in the
    // current folder.
    const std::filesystem::path beside = env.program_folder / PathFromText(kKeyStoreFileName);
    if (Exists(beside) || location.user_folder.empty()) {
        location.path = beside;
        location.portable = true;
    } else {
        location.path = location.user_folder / PathFromText(kKeyStoreFileName);
    }
    return location;
}

KeyStoreLocation LocateKeyStore() {
    return LocateKeyStore(CurrentKeyStoreEnvironment());
}

FirstStoreOutcome MakeFirstKeyStore(const KeyStoreLocation& location, std::uint8_t settings,
                                    Random& random, int& error_number) {
    error_number = 0;
    if (location.portable || location.user_folder.empty() || Exists(location.user_folder)) {
        return FirstStoreOutcome::kNotFirst;
    }
    if (!MakeUserKeyStoreFolder(location.user_folder, error_number)) {
        return FirstStoreOutcome::kFailed;
    }
    const KeyStoreSaveCode code =
        CreateKeyStoreFile(location.path, Str255(), settings, random, &error_number);
    if (code != KeyStoreSaveCode::kOk) {
        // Leaves no empty folder that would read as "the store is gone".
        std::error_code ec;
        std::filesystem::remove(location.user_folder, ec);
        return FirstStoreOutcome::kFailed;
    }
    return FirstStoreOutcome::kMade;
}

}  // namespace tazu
