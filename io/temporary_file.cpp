#include "io/temporary_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <set>
#include <utility>

namespace tazu {

namespace {

constexpr std::string_view kTag = ".tazu16x32-";
constexpr std::string_view kEnd = ".part";
constexpr std::size_t kNameMax = 255;

bool AllDigits(std::string_view s) {
    if (s.empty() || s.size() > 10) {
        return false;
    }
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// At most limit bytes of name (at least one), never cutting a UTF-8
// character in two.
std::string_view Shortened(std::string_view name, std::size_t limit) {
    if (name.size() <= limit) {
        return name;
    }
    std::size_t n = limit;
    while (n > 1 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) {
        --n;
    }
    return name.substr(0, n);
}

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

// Gives the new file what the file it replaces had. The owner goes first,
// as changing it clears set-id bits; a user who may not give a file away
// can still give it one of their groups.
void TakeOver(int fd, const struct stat& old, unsigned mode) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        [[maybe_unused]] const int group_only = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    mode_t perms = old.st_mode & 0777;
    if ((mode & 0111) != 0) {
        perms |= (perms & 0444) >> 2;
    }
    ::fchmod(fd, perms);
}

}  // namespace

std::string TemporaryFileName(std::string_view final_name) {
    static std::atomic<unsigned> counter{0};
    const std::string suffix = std::string(kTag) + std::to_string(static_cast<long>(::getpid())) +
                               "-" + std::to_string(counter++) + std::string(kEnd);
    return std::string(Shortened(final_name, kNameMax - suffix.size())) + suffix;
}

std::optional<pid_t> TemporaryFileWriter(std::string_view name) {
    const std::size_t tag = name.rfind(kTag);
    if (tag == std::string_view::npos || tag == 0 || name.size() < kEnd.size() ||
        name.substr(name.size() - kEnd.size()) != kEnd) {
        return std::nullopt;
    }
    const std::string_view numbers =
        name.substr(tag + kTag.size(), name.size() - kEnd.size() - tag - kTag.size());
    const std::size_t dash = numbers.find('-');
    if (dash == std::string_view::npos || !AllDigits(numbers.substr(0, dash)) ||
        !AllDigits(numbers.substr(dash + 1))) {
        return std::nullopt;
    }
    const long pid = std::stol(std::string(numbers.substr(0, dash)));
    if (pid <= 0 || pid > 0x3fffffff) {
        return std::nullopt;
    }
    return static_cast<pid_t>(pid);
}

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

int CreateTemporaryFile(const std::filesystem::path& final_path, unsigned mode,
                        std::filesystem::path& temporary) {
    const std::filesystem::path folder = final_path.parent_path();
    const int folder_fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd < 0) {
        return -1;
    }
    std::string name;
    const int fd = CreateTemporaryFile(folder_fd, final_path.filename().native(), mode, name);
    const int error = errno;
    ::close(folder_fd);
    if (fd >= 0) {
        temporary = folder / name;
    }
    errno = error;
    return fd;
}

}  // namespace tazu
