// The POSIX side of io/temporary_file.h: files made in a folder open as a
// descriptor, never through a symbolic link, and renamed within it.
#include "io/native.h"
#include "io/temporary_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

namespace tazu {

namespace {

bool ProcessGone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// True the first time this process meets the folder.
bool FirstVisit(int folder_fd) {
    struct stat st {};
    if (::fstat(folder_fd, &st) != 0) {
        return false;
    }
    static std::mutex mutex;
    static std::set<std::pair<dev_t, ino_t>> visited;
    const std::lock_guard<std::mutex> lock(mutex);
    return visited.insert({st.st_dev, st.st_ino}).second;
}

// Removes name when it is a regular file of this user that nobody holds
// locked, and still the file that was checked.
bool RemoveLeftover(int folder_fd, const char* name) {
    struct stat before {};
    if (::fstatat(folder_fd, name, &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(before.st_mode) ||
        before.st_uid != ::geteuid()) {
        return false;
    }
    const int fd = ::openat(folder_fd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat opened {};
    struct stat now {};
    const bool leftover = ::fstat(fd, &opened) == 0 && opened.st_dev == before.st_dev &&
                          opened.st_ino == before.st_ino && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                          ::fstatat(folder_fd, name, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
                          now.st_dev == opened.st_dev && now.st_ino == opened.st_ino;
    const bool removed = leftover && ::unlinkat(folder_fd, name, 0) == 0;
    ::close(fd);
    return removed;
}

// The process's umask, read where the system shows it: setting it to read
// it back would change it for a moment for every thread.
mode_t ProcessUmask() {
    mode_t mask = 077;  // the strictest, should it not be found
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            if (std::strncmp(line, "Umask:", 6) == 0) {
                mask = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8) & 0777);
                break;
            }
        }
        std::fclose(status);
    }
    return mask;
}

// The mode of a file that replaces old. A file of this user's keeps its
// mode (and its group, where this user may give it that group); with mode's
// execute bits (a self-decrypting file) it may also be run by whoever could
// read it. Another user's file hands nothing on: the new one is this user's,
// with the mode a new file gets. Never more than the umask allows.
void TakeOver(int fd, const struct stat& old, unsigned mode) {
    mode_t perms = static_cast<mode_t>(mode) & 0777;
    if (old.st_uid == ::geteuid()) {
        perms = old.st_mode & 0777;
        if ((mode & 0111) != 0) {
            perms |= (perms & 0444) >> 2;
        }
        [[maybe_unused]] const int group = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    ::fchmod(fd, perms & ~ProcessUmask());
}

}  // namespace

int RemoveStaleTemporaryFiles(int folder_fd) {
    const int dir_fd = ::openat(folder_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd < 0) {
        return 0;
    }
    DIR* dir = ::fdopendir(dir_fd);
    if (dir == nullptr) {
        ::close(dir_fd);
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::optional<pid_t> writer = TemporaryFileWriter(entry->d_name);
        if (writer && *writer != ::getpid() && ProcessGone(*writer) &&
            RemoveLeftover(folder_fd, entry->d_name)) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

int CreateTemporaryFile(int folder_fd, const std::string& final_name, unsigned mode,
                        std::string& name) {
    if (FirstVisit(folder_fd)) {
        RemoveStaleTemporaryFiles(folder_fd);
    }
    struct stat old {};
    const bool replaces =
        ::fstatat(folder_fd, final_name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(old.st_mode);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = TemporaryFileName(final_name);
        // A replacement starts owner-only and gets the old file's mode at once.
        const int fd = ::openat(folder_fd, name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC,
                                static_cast<mode_t>(replaces ? 0600 : mode));
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB);  // a new file: nobody else holds it
            if (replaces) {
                TakeOver(fd, old, mode);
            }
        }
        return fd;
    }
    errno = EEXIST;
    return -1;
}

TemporaryFile::TemporaryFile(std::size_t buffer_size) : file_(buffer_size) {}

TemporaryFile::~TemporaryFile() {
    Discard();
    if (folder_fd_ >= 0) {
        ::close(folder_fd_);
    }
}

bool TemporaryFile::Create(int folder_fd, const std::string& final_name, unsigned mode) {
    folder_fd_ = ::fcntl(folder_fd, F_DUPFD_CLOEXEC, 0);
    if (folder_fd_ < 0) {
        return false;
    }
    final_name_ = final_name;
    const int fd = CreateTemporaryFile(folder_fd_, final_name_, mode, name_);
    if (fd < 0) {
        name_.clear();
        return false;
    }
    file_.Adopt(fd);
    file_.SetAsideRoomAhead();  // a new file of ours
    return true;
}

bool TemporaryFile::Create(const Path& final_path, unsigned mode) {
    const Path folder = final_path.parent_path();
    const int folder_fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd < 0) {
        return false;
    }
    const bool created = Create(folder_fd, final_path.filename().native(), mode);
    const int error = errno;
    ::close(folder_fd);
    errno = error;
    return created;
}

bool TemporaryFile::Commit(Replace what) {
    if (name_.empty()) {
        errno = ENOENT;
        return false;
    }
    struct stat st {};
    if (what == Replace::kRegularFileOnly &&
        ::fstatat(folder_fd_, final_name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
        !S_ISREG(st.st_mode)) {
        errno = EEXIST;
        return false;
    }
    if (::renameat(folder_fd_, name_.c_str(), folder_fd_, final_name_.c_str()) != 0) {
        return false;
    }
    name_.clear();
    if (durable_) {
        SyncFolder(folder_fd_);  // a folder that cannot be synced is no failure
    }
    return true;
}

void TemporaryFile::Discard() {
    file_.Close();
    if (!name_.empty() && folder_fd_ >= 0) {
        ::unlinkat(folder_fd_, name_.c_str(), 0);
    }
    name_.clear();
}

}  // namespace tazu
