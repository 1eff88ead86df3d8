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

// A named temporary file for final_name (see CreateTemporaryFile). With
// visited, the folder's leftovers are known to be gone; with free, nothing
// was at the final name a moment ago.
int CreateNamed(int folder_fd, const std::string& final_name, unsigned mode, std::string& name,
                bool visited, bool free) {
    if (!visited && FirstVisit(folder_fd)) {
        RemoveStaleTemporaryFiles(folder_fd);
    }
    struct stat old {};
    const bool replaces =
        !free && ::fstatat(folder_fd, final_name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 &&
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

// An unnamed file is named through the system's view of this process's
// descriptors: without it (no /proc), files are made named.
bool CanNameUnnamedFiles() {
    static const bool can = ::access("/proc/self/fd", X_OK) == 0;
    return can;
}

// A file with no name in the folder, where the file system makes such
// files; else -1.
int CreateUnnamed(int folder_fd, unsigned mode) {
#if defined(O_TMPFILE)
    if (CanNameUnnamedFiles()) {
        return ::openat(folder_fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC,
                        static_cast<mode_t>(mode));
    }
#else
    (void)folder_fd;
    (void)mode;
#endif
    return -1;
}

// Gives the unnamed file open as fd the name in the folder; fails with
// EEXIST, replacing nothing, when the name is taken. Where the system
// lets this process (it may read any folder, or the kernel is recent), the
// file is named by its descriptor alone, which spares a lookup in /proc.
bool NameUnnamed(int fd, int folder_fd, const std::string& name) {
#if defined(AT_EMPTY_PATH)
    static std::atomic<bool> by_descriptor{true};
    if (by_descriptor.load(std::memory_order_relaxed)) {
        if (::linkat(fd, "", folder_fd, name.c_str(), AT_EMPTY_PATH) == 0) {
            return true;
        }
        if (errno != ENOENT) {
            return false;
        }
        by_descriptor.store(false, std::memory_order_relaxed);
    }
#endif
    char self[40];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
    return ::linkat(AT_FDCWD, self, folder_fd, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
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
    return CreateNamed(folder_fd, final_name, mode, name, false, false);
}

TemporaryFile::TemporaryFile(std::size_t buffer_size) : file_(buffer_size) {}

TemporaryFile::~TemporaryFile() {
    Discard();
    if (folder_fd_ >= 0 && !folder_borrowed_) {
        ::close(folder_fd_);
    }
}

bool TemporaryFile::Create(int folder_fd, const std::string& final_name, unsigned mode,
                           const Known& known) {
    folder_borrowed_ = known.folder_held;
    folder_fd_ = folder_borrowed_ ? folder_fd : ::fcntl(folder_fd, F_DUPFD_CLOEXEC, 0);
    if (folder_fd_ < 0) {
        return false;
    }
    final_name_ = final_name;
    int fd = known.final_name_free ? CreateUnnamed(folder_fd_, mode) : -1;
    unnamed_ = fd >= 0;
    if (!unnamed_) {
        fd = CreateNamed(folder_fd_, final_name_, mode, name_, known.folder_visited,
                         known.final_name_free);
    }
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

bool TemporaryFile::NameUnnamedFile() {
    if (!NameUnnamed(file_.Fd(), folder_fd_, final_name_)) {
        if (errno != EEXIST) {
            return false;
        }
        // Something took the final name since it was looked at: the file
        // takes a temporary name, to be renamed over it as a named one is.
        for (int attempt = 0; name_.empty(); ++attempt) {
            std::string name = TemporaryFileName(final_name_);
            if (NameUnnamed(file_.Fd(), folder_fd_, name)) {
                name_ = std::move(name);
            } else if (errno != EEXIST || attempt == 99) {
                return false;
            }
        }
    }
    unnamed_ = false;
    // Its data were written out before; a close that reports their loss
    // still undoes the name.
    if (!file_.Close()) {
        ::unlinkat(folder_fd_, name_.empty() ? final_name_.c_str() : name_.c_str(), 0);
        name_.clear();
        errno = EIO;
        return false;
    }
    return true;
}

bool TemporaryFile::Commit(Replace what) {
    if (unnamed_) {
        if (!NameUnnamedFile()) {
            return false;
        }
        if (name_.empty()) {  // it took the final name itself
            if (durable_) {
                SyncFolder(folder_fd_);
            }
            return true;
        }
    }
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
    file_.Close();  // an unnamed file is gone with it
    unnamed_ = false;
    if (!name_.empty() && folder_fd_ >= 0) {
        ::unlinkat(folder_fd_, name_.c_str(), 0);
    }
    name_.clear();
}

}  // namespace tazu
