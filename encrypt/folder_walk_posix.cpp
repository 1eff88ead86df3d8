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

}  // namespace

bool ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries,
                bool folders_only) {
    entries.clear();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    const int fd = ::dirfd(dir);
    while (const dirent* d = ::readdir(dir)) {
        if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) {
            continue;
        }
        FolderEntry e;
        e.name = d->d_name;
        if (folders_only && d->d_type != DT_UNKNOWN) {
            // The listing's own type is enough (a link is never a folder).
            e.kind = d->d_type == DT_DIR ? FolderEntryKind::kFolder : FolderEntryKind::kOther;
            entries.push_back(std::move(e));
            continue;
        }
        struct stat st {};
        if (::fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            e.kind = KindOf(st.st_mode);
            if (S_ISLNK(st.st_mode)) {
                // A link counts as what it leads to, but a folder behind a
                // link is never entered: no cycles, no leaving the tree.
                e.kind = FolderEntryKind::kOther;
                if (::fstatat(fd, d->d_name, &st, 0) == 0) {
                    e.kind = KindOf(st.st_mode);
                    if (e.kind == FolderEntryKind::kFolder) {
                        e.kind = FolderEntryKind::kFolderLink;
                    }
                }
            }
            e.device = st.st_dev;
            e.inode = st.st_ino;
        }
        entries.push_back(std::move(e));
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
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
