// The POSIX side of decrypt/output_target.h: the folders are walked as
// descriptors, each opened below the last without following a link.
#include "decrypt/output_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tazu {

Path JoinOutputPath(const Path& destination, const std::vector<std::string>& components) {
    std::string text = destination.native();
    while (text.size() > 1 && text.back() == '/') {
        text.pop_back();
    }
    for (const std::string& part : components) {
        if (text.empty() || text.back() != '/') {
            text.push_back('/');
        }
        text += part;
    }
    return Path(text);
}

int OutputFolders::Find(const Path& destination, const std::vector<std::string>& components) const {
    if (fd_ < 0 || components.size() != folders_.size() + 1 ||
        !std::equal(folders_.begin(), folders_.end(), components.begin()) ||
        destination_.native() != destination.native()) {
        return -1;
    }
    // A folder removed meanwhile is walked to (and made) again.
    struct stat st {};
    return ::fstat(fd_, &st) == 0 && st.st_nlink > 0 ? fd_ : -1;
}

void OutputFolders::Keep(const Path& destination, const std::vector<std::string>& components,
                         int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    destination_ = destination;
    folders_.assign(components.begin(), components.end() - 1);
    fd_ = fd;
}

namespace {

// The folder of components (all but the last) below destination, made where
// missing, each opened below the last without following a link; -1 when it
// cannot be made or reached.
int WalkToFolder(const Path& destination, const std::vector<std::string>& components) {
    // The destination itself is the user's choice and may be a link.
    int fd =
        ::open(destination.empty() ? "." : destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t i = 0; fd >= 0 && i + 1 < components.size(); ++i) {
        const char* part = components[i].c_str();
        if (::mkdirat(fd, part, 0777) != 0 && errno != EEXIST) {
            ::close(fd);
            return -1;
        }
        const int next = ::openat(fd, part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    return fd;
}

}  // namespace

OutputTarget::~OutputTarget() {
    Discard();
    if (folder_fd_ >= 0 && owns_folder_fd_) {
        ::close(folder_fd_);
    }
}

OutputTarget::Status OutputTarget::Prepare(const Path& destination,
                                           const std::vector<std::string>& components,
                                           const std::optional<FileIdentity>& archive,
                                           OutputFolders* folders) {
    if (components.empty()) {
        return Status::kNoAccess;
    }
    int fd = folders != nullptr ? folders->Find(destination, components) : -1;
    folder_visited_ = fd >= 0;  // an earlier entry's file went there
    if (fd < 0) {
        fd = WalkToFolder(destination, components);
        if (fd < 0) {
            return Status::kNoAccess;
        }
        if (folders != nullptr) {
            folders->Keep(destination, components, fd);
        }
    }
    folder_fd_ = fd;
    owns_folder_fd_ = folders == nullptr;
    leaf_ = components.back();
    struct stat st {};
    if (::fstatat(folder_fd_, leaf_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? Status::kNew : Status::kNoAccess;
    }
    if (S_ISDIR(st.st_mode) || (archive && FileIdentity{st.st_dev, st.st_ino} == *archive)) {
        return Status::kNoAccess;
    }
    replaces_ = true;
    return Status::kExists;
}

bool OutputTarget::CreateTemporary() {
    if (folder_fd_ < 0) {
        return false;
    }
    file_ = std::make_unique<TemporaryFile>();
    // The folder's descriptor outlives the file (the file is dropped first).
    TemporaryFile::Known known;
    known.folder_held = true;
    known.folder_visited = folder_visited_;
    known.final_name_free = !replaces_;
    if (!file_->Create(folder_fd_, leaf_, 0666, known)) {
        file_.reset();
        return false;
    }
    // A file that replaces an existing one reaches the disk before it takes
    // its name; a new one need not (the archive still holds it).
    if (replaces_) {
        file_->MakeDurable();
    }
    return true;
}

}  // namespace tazu
