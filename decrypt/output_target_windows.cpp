// The Windows side of decrypt/output_target.h. Each folder on the way is
// made when missing and then opened as itself, never through a reparse
// point (a symbolic link or junction the program did not create is "no
// access", as a link is on POSIX systems); the handles stay open without
// delete sharing until the entry ends, so no folder on the way can be
// renamed or swapped for a link while the file is written.
#include <windows.h>

#include "decrypt/output_target.h"
#include "io/native.h"
#include "io/native_windows.h"

namespace tazu {
namespace {

// The folder at path as itself; null when it is no folder or a reparse
// point (follow: the destination, the user's choice, may be one).
HANDLE OpenFolder(const Path& path, bool follow) {
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle =
        ::CreateFileW(SystemPath(path).c_str(), FILE_READ_ATTRIBUTES,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (!follow && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)) {
        ::CloseHandle(handle);
        return nullptr;
    }
    return handle;
}

}  // namespace

Path JoinOutputPath(const Path& destination, const std::vector<std::string>& components) {
    // Separators at the destination's end are dropped (but for a drive's
    // root), so that the joint has exactly one.
    std::wstring text = destination.native();
    while (text.size() > 1 && (text.back() == L'\\' || text.back() == L'/') &&
           !(text.size() == 3 && text[1] == L':')) {
        text.pop_back();
    }
    Path path(text);
    for (const std::string& part : components) {
        path /= PathFromStoredName(part);
    }
    return path;
}

OutputTarget::~OutputTarget() {
    Discard();
    for (void* handle : held_) {
        ::CloseHandle(handle);
    }
}

OutputTarget::Status OutputTarget::Prepare(const Path& destination,
                                           const std::vector<std::string>& components,
                                           const std::optional<FileIdentity>& archive,
                                           OutputFolders* /*folders*/) {
    if (components.empty()) {
        return Status::kNoAccess;
    }
    Path folder = destination.empty() ? Path(L".") : destination;
    HANDLE handle = OpenFolder(folder, true);
    for (std::size_t i = 0; handle != nullptr && i + 1 < components.size(); ++i) {
        held_.push_back(handle);
        folder /= PathFromStoredName(components[i]);
        if (!::CreateDirectoryW(SystemPath(folder).c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            return Status::kNoAccess;
        }
        handle = OpenFolder(folder, false);
    }
    if (handle == nullptr) {
        return Status::kNoAccess;
    }
    held_.push_back(handle);
    folder_ = folder;
    leaf_ = components.back();
    const Path leaf = folder_ / PathFromStoredName(leaf_);
    const DWORD attributes = ::GetFileAttributesW(SystemPath(leaf).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Status::kNew
                                                                              : Status::kNoAccess;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || (archive && IdentityOf(leaf) == archive)) {
        return Status::kNoAccess;
    }
    replaces_ = true;
    return Status::kExists;
}

bool OutputTarget::CreateTemporary() {
    if (held_.empty() || leaf_.empty()) {
        return false;
    }
    file_ = std::make_unique<TemporaryFile>();
    if (!file_->Create(folder_ / PathFromStoredName(leaf_), 0666)) {
        file_.reset();
        return false;
    }
    if (replaces_) {
        file_->MakeDurable();
    }
    return true;
}

}  // namespace tazu
