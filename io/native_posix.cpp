// The POSIX side of io/native.h.
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "io/native.h"

namespace tazu {

int OpenRegularFile(const std::filesystem::path& path, std::uint64_t* size) {
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

int CreateFileForWriting(const std::filesystem::path& path, bool exclusive, unsigned mode) {
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

bool MayWriteExisting(const std::filesystem::path& path) {
    return ::access(path.c_str(), W_OK) == 0 || errno == ENOENT;
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

std::filesystem::path PathFromStoredName(std::string_view bytes) {
    return std::filesystem::path(std::string(bytes));
}

std::string StoredNameFromPath(const std::filesystem::path& component) {
    return component.native();
}

std::string PathString(const std::filesystem::path& path) {
    return path.native();
}

std::filesystem::path PathFromText(std::string_view text) {
    return std::filesystem::path(std::string(text));
}

bool NameComponentAllowed(std::string_view /*component*/) {
    return true;
}

}  // namespace tazu
