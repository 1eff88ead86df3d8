// The POSIX side of keystore/keystore_location.h: the environment of the
// base-directory rules, and owner-only folders.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "io/native.h"
#include "keystore/keystore_location.h"
#include "program/process.h"

namespace tazu {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// mkdir of one folder, owner-only; an existing folder is tightened instead.
bool MakeOwnerOnlyFolder(const Path& folder, int& error_number) {
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

bool MakeUserKeyStoreFolder(const Path& folder, int& error_number) {
    error_number = 0;
    // Missing parents (~/.config on a new account) are made owner-only too,
    // as the base-directory rules ask for.
    std::vector<Path> missing;
    for (Path p = folder; !p.empty() && LookAt(p) != PathState::kPresent; p = p.parent_path()) {
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

}  // namespace tazu
