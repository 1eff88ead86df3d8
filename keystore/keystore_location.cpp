#include "keystore/keystore_location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

#include "cipher/constants.h"
#include "cipher/platform.h"

namespace tazu {
namespace {

constexpr std::string_view kUserFolderName = "tazu16x32";

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool Exists(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

// mkdir of one folder, owner-only; an existing folder is tightened instead.
bool MakeOwnerOnlyFolder(const std::filesystem::path& folder, int& error_number) {
    if (::mkdir(folder.c_str(), 0700) == 0) {
        ::chmod(folder.c_str(), 0700);  // whatever the umask took away or left
        return true;
    }
    if (errno != EEXIST) {
        error_number = errno;
        return false;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error_number = ENOTDIR;
        return false;
    }
    return true;
}

}  // namespace

KeyStoreEnvironment CurrentKeyStoreEnvironment() {
    KeyStoreEnvironment env;
    env.program_folder = ProgramFolder();
    env.xdg_config_home = Variable("XDG_CONFIG_HOME");
    env.home = Variable("HOME");
    if (env.home.empty()) {
        if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir) {
            env.home = entry->pw_dir;
        }
    }
    return env;
}

std::filesystem::path UserKeyStoreFolder(const KeyStoreEnvironment& env) {
    const std::filesystem::path config(env.xdg_config_home);
    if (config.is_absolute()) {
        return config / std::string(kUserFolderName);
    }
    const std::filesystem::path home(env.home);
    if (home.is_absolute()) {
        return home / ".config" / std::string(kUserFolderName);
    }
    return {};
}

KeyStoreLocation LocateKeyStore(const KeyStoreEnvironment& env) {
    KeyStoreLocation location;
    location.user_folder = UserKeyStoreFolder(env);
    // Without a known program folder the bare name is looked for in the
    // current folder.
    const std::filesystem::path beside = env.program_folder / std::string(kKeyStoreFileName);
    if (Exists(beside) || location.user_folder.empty()) {
        location.path = beside;
        location.portable = true;
    } else {
        location.path = location.user_folder / std::string(kKeyStoreFileName);
    }
    return location;
}

KeyStoreLocation LocateKeyStore() {
    return LocateKeyStore(CurrentKeyStoreEnvironment());
}

bool MakeUserKeyStoreFolder(const std::filesystem::path& folder, int& error_number) {
    error_number = 0;
    // Missing parents (~/.config on a new account) are made owner-only too,
    // as the base-directory rules ask for.
    std::vector<std::filesystem::path> missing;
    for (std::filesystem::path p = folder; !p.empty() && !Exists(p); p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path()) {
            break;
        }
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!MakeOwnerOnlyFolder(*it, error_number)) {
            return false;
        }
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        error_number = errno;
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error_number = ENOTDIR;
        return false;
    }
    if ((st.st_mode & 077) != 0 && ::chmod(folder.c_str(), st.st_mode & 0700) != 0) {
        error_number = errno;
        return false;
    }
    return true;
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
        ::rmdir(location.user_folder.c_str());
        return FirstStoreOutcome::kFailed;
    }
    return FirstStoreOutcome::kMade;
}

}  // namespace tazu
