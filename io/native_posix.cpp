// The POSIX side of io/native.h.
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>
#include <string>
#include <system_error>
#include <thread>

#include "io/native.h"

namespace tazu {

int OpenRegularFile(const Path& path, std::uint64_t* size, FileStamp* stamp) {
    return OpenRegularFileIn(-1, path, size, stamp);
}

int HoldFolder(const Path& folder) {
    return ::open(folder.empty() ? "." : folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

int OpenRegularFileIn(int folder_fd, const Path& path, std::uint64_t* size, FileStamp* stamp) {
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
    // It does not change reads of a regular file, so it stays set.
    constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const int fd = folder_fd >= 0 ? ::openat(folder_fd, path.filename().c_str(), kFlags)
                                  : ::open(path.c_str(), kFlags);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        errno = error;
        return -1;
    }
    if (size != nullptr) {
        *size = static_cast<std::uint64_t>(st.st_size);
    }
    if (stamp != nullptr) {
        *stamp = FileStamp{
            static_cast<std::uint64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    }
    return fd;
}

int CreateFileForWriting(const Path& path, bool exclusive, unsigned mode) {
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW;
    flags |= exclusive ? O_EXCL : O_TRUNC;
    return ::open(path.c_str(), flags, static_cast<mode_t>(mode));
}

long ReadSome(int fd, void* out, std::size_t count) {
    return static_cast<long>(::read(fd, out, count));
}

long WriteSome(int fd, const void* data, std::size_t count) {
    return static_cast<long>(::write(fd, data, count));
}

bool CloseFile(int fd) {
    return ::close(fd) == 0;
}

bool SeekFile(int fd, std::uint64_t offset) {
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool SyncFile(int fd) {
    return ::fsync(fd) == 0;
}

bool SyncFileData(int fd) {
#if defined(__linux__)
    return ::fdatasync(fd) == 0;
#else
    return ::fsync(fd) == 0;
#endif
}

void StartWriteback(int fd, std::uint64_t offset, std::uint64_t length) {
#if defined(__linux__)
    ::sync_file_range(fd, static_cast<off_t>(offset), static_cast<off_t>(length),
                      SYNC_FILE_RANGE_WRITE);
#else
    (void)fd;
    (void)offset;
    (void)length;
#endif
}

bool SyncFolder(int folder_fd) {
    return ::fsync(folder_fd) == 0;
}

void AdviseSequential(int fd) {
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

void WidenPipe(int fd) {
#if defined(__linux__)
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISFIFO(st.st_mode)) {
        // Refused beyond this user's limits for pipes: it stays as it was.
        ::fcntl(fd, F_SETPIPE_SZ, 1 << 20);
    }
#else
    (void)fd;
#endif
}

bool SetAsideRoom(int fd, std::uint64_t offset, std::uint64_t length) {
#if defined(__linux__)
    // Not posix_fallocate: where the file system cannot, that writes zeros.
    return ::fallocate(fd, FALLOC_FL_KEEP_SIZE, static_cast<off_t>(offset),
                       static_cast<off_t>(length)) == 0;
#else
    (void)fd;
    (void)offset;
    (void)length;
    return false;
#endif
}

bool CutFile(int fd, std::uint64_t size) {
    return ::ftruncate(fd, static_cast<off_t>(size)) == 0;
}

std::optional<std::uint64_t> FreeSpaceAt(const Path& folder) {
    struct statvfs vfs {};
    if (::statvfs(folder.c_str(), &vfs) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(vfs.f_bavail) * vfs.f_frsize;
}

bool MayWriteExisting(const Path& path) {
    return ::access(path.c_str(), W_OK) == 0 || errno == ENOENT;
}

PathState LookAt(const Path& path, bool follow) {
    struct stat st {};
    if ((follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) == 0) {
        return PathState::kPresent;
    }
    return errno == ENOENT || errno == ENOTDIR ? PathState::kMissing : PathState::kUnknown;
}

std::optional<std::uint64_t> FileSizeOf(const Path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

bool MakeFolders(const Path& path, int& error_number) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    if (!std::filesystem::is_directory(path, ec)) {
        error_number = ec ? ec.value() : ENOTDIR;
        return false;
    }
    return true;
}

void RemoveEmptyFolder(const Path& path) {
    ::rmdir(path.c_str());
}

Path AbsolutePath(const Path& path) {
    std::error_code ec;
    Path full = std::filesystem::absolute(path, ec);
    return ec ? path : full;
}

namespace {

// The kernel's rule for a link met in a shared folder (its
// protected_symlinks setting): the link is followed when it belongs to the
// follower, when its folder is not both sticky and world-writable, or when
// the folder's owner owns it.
bool KernelWouldFollow(int folder_fd, const struct stat& link) {
    if (link.st_uid == ::geteuid()) {
        return true;
    }
    struct stat folder {};
    if (::fstat(folder_fd, &folder) != 0) {
        return false;
    }
    if ((folder.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH)) {
        return true;
    }
    return folder.st_uid == link.st_uid;
}

enum class Hop { kNoLink, kFollowed, kRefused, kUnreadable };

// One link at path: its target in next, when the rule follows it.
Hop FollowOneLink(const Path& path, Path& next) {
    const Path folder = path.parent_path();
    const std::string name = path.filename().native();
    const int folder_fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd < 0 || name.empty()) {
        if (folder_fd >= 0) {
            ::close(folder_fd);
        }
        return Hop::kNoLink;  // whatever writes there fails with its own cause
    }
    struct stat st {};
    Hop hop = Hop::kNoLink;
    if (::fstatat(folder_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
        hop = KernelWouldFollow(folder_fd, st) ? Hop::kFollowed : Hop::kRefused;
    }
    if (hop == Hop::kFollowed) {
        char target[PATH_MAX];
        const ssize_t got = ::readlinkat(folder_fd, name.c_str(), target, sizeof target);
        if (got <= 0 || static_cast<std::size_t>(got) >= sizeof target) {
            hop = Hop::kUnreadable;
        } else {
            const Path text(std::string(target, static_cast<std::size_t>(got)));
            next = text.is_absolute() ? text : folder / text;
        }
    }
    ::close(folder_fd);
    return hop;
}

}  // namespace

LinkFollowing FollowOwnLinks(const Path& path, Path& resolved) {
    resolved = path;
    for (int hops = 0; hops < 40; ++hops) {
        Path next;
        switch (FollowOneLink(resolved, next)) {
            case Hop::kNoLink:
                return LinkFollowing::kFollowed;
            case Hop::kRefused:
                return LinkFollowing::kRefused;
            case Hop::kUnreadable:
                return LinkFollowing::kEndless;
            case Hop::kFollowed:
                resolved = next;
                break;
        }
    }
    return LinkFollowing::kEndless;
}

long CurrentProcessId() {
    return static_cast<long>(::getpid());
}

int DuplicateDescriptor(int fd) {
    return ::dup(fd);
}

int BinaryInput(int fd) {
    return fd;
}

bool SeveralProcessors() {
    cpu_set_t cpus;
    CPU_ZERO(&cpus);
    if (sched_getaffinity(0, sizeof cpus, &cpus) != 0) {
        return std::thread::hardware_concurrency() > 1;
    }
    return CPU_COUNT(&cpus) > 1;
}

Path PathFromStoredName(std::string_view bytes) {
    return Path(std::string(bytes));
}

std::string StoredNameFromPath(const Path& component) {
    return component.native();
}

std::string PathString(const Path& path) {
    return path.native();
}

Path PathFromText(std::string_view text) {
    return Path(std::string(text));
}

bool NameComponentAllowed(std::string_view /*component*/) {
    return true;
}

}  // namespace tazu
