// Where the key store lies, by the same rule on every system.
#include "keystore/keystore_location.h"

#include <vector>

#include "cipher/constants.h"
#include "io/native.h"
#include "program/process.h"

namespace tazu {
namespace {

constexpr std::string_view kUserFolderName = "tazu16x32";

bool Exists(const Path& path) {
    return LookAt(path) == PathState::kPresent;
}

}  // namespace

Path UserKeyStoreFolder(const KeyStoreEnvironment& env) {
    const Path config = PathFromText(env.xdg_config_home);
    if (config.is_absolute()) {
        return config / PathFromText(kUserFolderName);
    }
    const Path home = PathFromText(env.home);
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
    const Path beside = env.program_folder / PathFromText(kKeyStoreFileName);
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
        RemoveEmptyFolder(location.user_folder);
        return FirstStoreOutcome::kFailed;
    }
    return FirstStoreOutcome::kMade;
}

}  // namespace tazu
