// The POSIX side of cli/output_path.h.
#include "cli/output_path.h"
#include "format/texts.h"
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
            error = TrFill(
                "программа не идет по символической ссылке {}: она принадлежит другому "
                "пользователю и лежит в общей папке",
                {PathString(resolved)});
            return false;
        case LinkFollowing::kEndless:
            error = TrFill("{}: слишком много уровней символических ссылок или ссылка не читается",
                           {PathString(path)});
            return false;
    }
    struct stat st {};
    if (::lstat(resolved.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        // A folder is left to the run, which fails on it with its cause.
        error = TrFill("{} - не обычный файл: отказано (-o - пишет на стандартный вывод)",
                       {PathString(path)});
        return false;
    }
    return true;
}

std::string WriteFailureCause(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        return TrFill("не удалось записать {}: это папка", {path.string()});
    }
    const std::string folder = FolderOf(path);
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        return TrFill("не удалось записать {}: {}", {path.string(), SystemErrorText(errno)});
    }
    if (fd >= 0) {
        ::close(fd);
    }
    struct statvfs vfs {};
    if (::statvfs(folder.c_str(), &vfs) == 0) {
        return TrFill(
            "не удалось записать {}: {} свободно в {}",
            {path.string(), terminal::HumanBytes(static_cast<double>(vfs.f_bavail) * vfs.f_frsize),
             folder});
    }
    return TrFill("не удалось записать {}", {path.string()});
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
    return TrFill(
        "не удалось записать {}: {} свободно в {}",
        {path.string(), terminal::HumanBytes(static_cast<double>(*free_then)), FolderOf(path)});
}

std::string FolderWriteFailureCause(const fs::path& folder) {
    return WriteFailureCause(folder / "x");
}

std::string ReadFailureCause(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        return TrFill("не удалось прочитать {}: {}", {path.string(), SystemErrorText(errno)});
    }
    struct stat st {};
    const bool got = ::fstat(fd, &st) == 0;
    ::close(fd);
    if (got && S_ISDIR(st.st_mode)) {
        return TrFill("не удалось прочитать {}: это папка", {path.string()});
    }
    if (got && !S_ISREG(st.st_mode)) {
        return TrFill("не удалось прочитать {}: это не обычный файл", {path.string()});
    }
    return TrFill("не удалось прочитать {}", {path.string()});
}

std::string ErrorCodeText(const std::error_code& ec) {
    return SystemErrorText(ec.value());  // errno values on POSIX systems
}

bool SameFile(const fs::path& a, const fs::path& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

}  // namespace tazu::cli
