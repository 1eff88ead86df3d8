// The POSIX side of io/native.h.
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <thread>

#include "io/native.h"

namespace tazu {

int OpenRegularFile(const Path& path, std::uint64_t* size) {
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
    // It does not change reads of a regular file, so it stays set.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
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

void AdviseSequential(int fd) {
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
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
