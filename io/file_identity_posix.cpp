#include "io/file_identity.h"

#include <sys/stat.h>

namespace tazu {

std::optional<FileIdentity> IdentityOf(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        return std::nullopt;
    }
    return FileIdentity{st.st_dev, st.st_ino};
}

std::optional<FileStamp> StampOf(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        return std::nullopt;
    }
    return FileStamp{
        static_cast<std::uint64_t>(st.st_size),
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::optional<FileIdentity> IdentityOf(const Path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return FileIdentity{st.st_dev, st.st_ino};
}

}  // namespace tazu
