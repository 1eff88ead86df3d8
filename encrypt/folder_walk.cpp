#include "encrypt/folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "encrypt/encrypt_entry.h"
#include "encrypt/encrypt_messages.h"

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

bool IsSkipped(const FolderEntry& e, const std::vector<FileIdentity>& skip) {
    return std::find(skip.begin(), skip.end(), FileIdentity{e.device, e.inode}) != skip.end();
}

}  // namespace

bool ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries) {
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

std::optional<std::string> RootStoredPrefix(const std::filesystem::path& root) {
    if (root == root.root_path()) {
        return std::string();
    }
    return JoinStoredName(std::string(), root.filename().native());
}

std::optional<std::string> JoinStoredName(const std::optional<std::string>& prefix,
                                          const std::string& name) {
    if (!prefix || name.find('\\') != std::string::npos ||
        prefix->size() + 1 + name.size() > Str255::kCapacity) {
        return std::nullopt;
    }
    return *prefix + "\\" + name;
}

void EncryptFolderFiles(const std::filesystem::path& folder,
                        const std::optional<std::string>& prefix, WalkArgs& args) {
    EncryptRunState& state = args.ctx.state;
    EncryptHost& host = args.ctx.host;
    if (state.EncryptCancelled) {
        return;
    }
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries)) {
        host.appendReport(ReadErrorReportLine(folder.native()));
        return;
    }
    auto encrypted = [&](const FolderEntry& e) {
        return e.kind == FolderEntryKind::kFile && !IsSkipped(e, args.skip) &&
               JoinStoredName(prefix, e.name).has_value();
    };
    if (args.prefetch) {
        std::vector<std::filesystem::path> plan;
        for (const FolderEntry& e : entries) {
            if (encrypted(e)) {
                plan.push_back(folder / e.name);
            }
        }
        args.prefetch->Plan(std::move(plan));
    }
    for (const FolderEntry& e : entries) {
        if (e.kind == FolderEntryKind::kFolder || e.kind == FolderEntryKind::kFolderLink) {
            continue;
        }
        if (state.EncryptCancelled) {
            return;
        }
        const std::filesystem::path path = folder / e.name;
        const std::optional<std::string> stored = JoinStoredName(prefix, e.name);
        if (e.kind == FolderEntryKind::kOther || IsSkipped(e, args.skip)) {
            host.appendReport(ReadErrorReportLine(path.native()));
        } else if (!stored) {
            host.appendReport(InvalidNameReportLine(path.native()));
        } else if (auto content = args.prefetch ? args.prefetch->Take(path) : nullptr) {
            MemoryInput source(*content);
            EncryptEntry(args.password, args.personal_code, args.key_mark, source, path,
                         Str255(*stored), args.use_personal_code, args.entry_chain, args.archive,
                         args.result_code, args.ctx);
        } else {
            EncryptEntry(args.password, args.personal_code, args.key_mark, path, Str255(*stored),
                         args.use_personal_code, args.entry_chain, args.archive, args.result_code,
                         args.ctx);
        }
        if (state.EncryptCancelled) {
            return;
        }
        host.addFileEncrypted();
        host.processEvents();
    }
}

void EncryptSubfolders(const std::filesystem::path& folder,
                       const std::optional<std::string>& prefix, WalkArgs& args) {
    if (args.ctx.state.EncryptCancelled) {
        return;
    }
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries)) {
        return;  // EncryptFolderFiles has reported it
    }
    // Only the subfolders' names are kept while the walk goes deeper.
    std::vector<std::string> subfolders;
    for (FolderEntry& e : entries) {
        if (e.kind == FolderEntryKind::kFolder) {
            subfolders.push_back(std::move(e.name));
        }
    }
    entries = {};
    for (const std::string& name : subfolders) {
        const std::filesystem::path sub = folder / name;
        const std::optional<std::string> sub_prefix = JoinStoredName(prefix, name);
        EncryptFolderFiles(sub, sub_prefix, args);
        EncryptSubfolders(sub, sub_prefix, args);
        if (args.ctx.state.EncryptCancelled) {
            return;
        }
    }
}

}  // namespace tazu
