#include "decrypt/output_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "io/temporary_file.h"

namespace tazu {

namespace {

bool IsSeparator(std::uint8_t c) {
    return c == '\\' || c == '/';
}

}  // namespace

bool SplitStoredName(const Str255& name, std::vector<std::string>& components) {
    components.clear();
    const std::string_view text = name.view();
    if (text.empty() || text.find('\0') != std::string_view::npos) {
        return false;
    }
    if (text.size() >= 2 && text[1] == ':' &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
        return false;
    }
    std::size_t pos = IsSeparator(text[0]) ? 1 : 0;
    while (true) {
        std::size_t end = pos;
        while (end < text.size() && !IsSeparator(text[end])) {
            ++end;
        }
        const std::string_view part = text.substr(pos, end - pos);
        if (part.empty() || part == "." || part == "..") {
            components.clear();
            return false;
        }
        components.emplace_back(part);
        if (end == text.size()) {
            return true;
        }
        pos = end + 1;
    }
}

std::filesystem::path JoinOutputPath(const std::filesystem::path& destination,
                                     const std::vector<std::string>& components) {
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
    return std::filesystem::path(text);
}

OutputTarget::~OutputTarget() {
    Discard();
    if (folder_fd_ >= 0) {
        ::close(folder_fd_);
    }
}

OutputTarget::Status OutputTarget::Prepare(const std::filesystem::path& destination,
                                           const std::vector<std::string>& components,
                                           const std::optional<FileIdentity>& archive) {
    if (components.empty()) {
        return Status::kNoAccess;
    }
    // The destination itself is the user's choice and may be a link.
    int fd =
        ::open(destination.empty() ? "." : destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (std::size_t i = 0; fd >= 0 && i + 1 < components.size(); ++i) {
        const char* part = components[i].c_str();
        if (::mkdirat(fd, part, 0777) != 0 && errno != EEXIST) {
            ::close(fd);
            return Status::kNoAccess;
        }
        const int next = ::openat(fd, part, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    if (fd < 0) {
        return Status::kNoAccess;
    }
    folder_fd_ = fd;
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
    std::string name;
    const int fd = folder_fd_ >= 0 ? CreateTemporaryFile(folder_fd_, leaf_, 0666, name) : -1;
    if (fd < 0) {
        return false;
    }
    temporary_ = name;
    writer_ = std::make_unique<FileWriter>();
    writer_->Adopt(fd);
    return true;
}

OutputStream& OutputTarget::stream() {
    return *writer_;
}

bool OutputTarget::Commit() {
    if (!writer_) {
        return false;
    }
    // A file that replaces an existing one reaches the disk before the
    // rename, so a crash cannot leave neither the old file nor the new one.
    const bool written = (!replaces_ || writer_->Sync()) && writer_->Close();
    if (!written || ::renameat(folder_fd_, temporary_.c_str(), folder_fd_, leaf_.c_str()) != 0) {
        Discard();
        return false;
    }
    writer_.reset();
    temporary_.clear();
    return true;
}

void OutputTarget::Discard() {
    writer_.reset();
    if (!temporary_.empty() && folder_fd_ >= 0) {
        ::unlinkat(folder_fd_, temporary_.c_str(), 0);
    }
    temporary_.clear();
}

}  // namespace tazu
