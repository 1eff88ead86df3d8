// The POSIX side of the folder walk's listing: readdir, with each entry
// looked at without following a link first.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "encrypt/folder_walk.h"

namespace tazu {
namespace {

FolderEntryKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return FolderEntryKind::kFile;
    }
    if (S_ISDIR(mode)) {
        return FolderEntryKind::kFolder;
    }
    return FolderEntryKind::kOther;
}

// What the entry name of the folder open as fd leads to: a link counts as
// what it points to, but a folder behind a link is never entered (no
// cycles, no leaving the tree).
FolderEntryKind KindAt(int fd, const char* name, const std::vector<FileIdentity>& skip) {
    struct stat st {};
    if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return FolderEntryKind::kOther;
    }
    FolderEntryKind kind = KindOf(st.st_mode);
    if (S_ISLNK(st.st_mode)) {
        if (::fstatat(fd, name, &st, 0) != 0) {
            return FolderEntryKind::kOther;
        }
        kind = KindOf(st.st_mode);
        if (kind == FolderEntryKind::kFolder) {
            return FolderEntryKind::kFolderLink;
        }
    }
    const FileIdentity id{st.st_dev, st.st_ino};
    if (kind == FolderEntryKind::kFile && std::find(skip.begin(), skip.end(), id) != skip.end()) {
        return FolderEntryKind::kArchive;
    }
    return kind;
}

}  // namespace

bool ListFolder(const std::filesystem::path& folder, FolderListing& entries, bool folders_only,
                const std::vector<FileIdentity>& skip) {
    entries.Clear();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    const int fd = ::dirfd(dir);
    while (const dirent* d = ::readdir(dir)) {
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) {
            continue;
        }
        if (folders_only && d->d_type != DT_UNKNOWN) {
            // The listing's own type is enough (a link is never a folder).
            if (d->d_type == DT_DIR) {
                entries.Add(d->d_name, FolderEntryKind::kFolder);
            }
            continue;
        }
        const FolderEntryKind kind = KindAt(fd, d->d_name, skip);
        if (!folders_only || kind == FolderEntryKind::kFolder) {
            entries.Add(d->d_name, kind);
        }
    }
    ::closedir(dir);
    entries.Sort();
    return true;
}

bool CanListFolder(const std::filesystem::path& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    ::closedir(dir);
    return true;
}

}  // namespace tazu
