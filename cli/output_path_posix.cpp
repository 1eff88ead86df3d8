// The POSIX side of cli/output_path.h.
#include "cli/output_path.h"
#include "io/native.h"
#include "terminal/terminal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace tazu::cli {
namespace fs = std::filesystem;

namespace {

std::string FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path().string() : std::string(".");
}

}  // namespace

bool ResolveOutputPath(const fs::path& path, fs::path& resolved, std::string& error) {
    switch (FollowOwnLinks(path, resolved)) {
        case LinkFollowing::kFollowed:
            break;
        case LinkFollowing::kRefused:
            // Another user's link in a shared folder such as /tmp: following
            // it would write (or with --force replace) wherever they chose.
            error = "refusing to follow the symbolic link " + PathString(resolved) +
                    ": it belongs to another user and lies in a shared folder";
            return false;
        case LinkFollowing::kEndless:
            error = PathString(path) +
                    ": too many levels of symbolic links, or a link that "
                    "cannot be read";
            return false;
    }
    struct stat st {};
    if (::lstat(resolved.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        // A folder is left to the run, which fails on it with its cause.
        error =
            PathString(path) + " is not a regular file: refused (-o - writes to standard output)";
        return false;
    }
    return true;
}

std::string WriteFailureCause(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return "cannot write " + path.string() + ": it is a folder";
    }
    const std::string folder = FolderOf(path);
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        return "cannot write " + path.string() + ": " + std::strerror(errno);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    struct statvfs vfs {};
    if (::statvfs(folder.c_str(), &vfs) == 0) {
        return "cannot write " + path.string() + ": " +
               terminal::HumanBytes(static_cast<unsigned long long>(vfs.f_bavail) * vfs.f_frsize) +
               " free in " + folder;
    }
    return "cannot write " + path.string();
}

bool FolderTakesFiles(const fs::path& folder) {
    // An unnamed file made and dropped at once; where the file system has
    // none, a named one made and removed.
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        std::string name = (folder / ".tazu16x32-probe-XXXXXX").string();
        fd = ::mkstemp(name.data());
        if (fd >= 0) {
            ::unlink(name.c_str());
        }
    }
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

std::string WriteFailureCause(const fs::path& path, std::optional<std::uint64_t> free_then) {
    if (!free_then) {
        return WriteFailureCause(path);
    }
    return "cannot write " + path.string() + ": " +
           terminal::HumanBytes(static_cast<double>(*free_then)) + " free in " + FolderOf(path);
}

std::string FolderWriteFailureCause(const fs::path& folder) {
    return WriteFailureCause(folder / "x");
}

std::string ReadFailureCause(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return "cannot read " + path.string() + ": " + std::strerror(errno);
    }
    struct stat st {};
    const bool got = ::fstat(fd, &st) == 0;
    ::close(fd);
    if (got && S_ISDIR(st.st_mode)) {
        return "cannot read " + path.string() + ": it is a folder";
    }
    if (got && !S_ISREG(st.st_mode)) {
        return "cannot read " + path.string() + ": not a regular file";
    }
    return "cannot read " + path.string();
}

bool SameFile(const fs::path& a, const fs::path& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

}  // namespace tazu::cli
