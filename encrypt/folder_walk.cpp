#include "encrypt/folder_walk.h"

#include <algorithm>
#include <cstring>

#include "encrypt/encrypt_entry.h"
#include "encrypt/encrypt_messages.h"
#include "io/native.h"

namespace tazu {

namespace {

bool IsSkipped(const FolderEntry& e, const std::vector<FileIdentity>& skip) {
    return std::find(skip.begin(), skip.end(), FileIdentity{e.device, e.inode}) != skip.end();
}

}  // namespace

std::optional<std::string> RootStoredPrefix(const std::filesystem::path& root) {
    if (root == root.root_path()) {
        return std::string();
    }
    return JoinStoredName(std::string(), StoredNameFromPath(root.filename()));
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
        host.appendReport(ReadErrorReportLine(PathString(folder)));
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
                plan.push_back(folder / PathFromStoredName(e.name));
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
        const std::filesystem::path path = folder / PathFromStoredName(e.name);
        const std::optional<std::string> stored = JoinStoredName(prefix, e.name);
        if (e.kind == FolderEntryKind::kOther || IsSkipped(e, args.skip)) {
            const bool temporary =
                args.temporary && *args.temporary == FileIdentity{e.device, e.inode};
            host.appendReport(
                ReadErrorReportLine(PathString(temporary ? args.archive_name : path)));
        } else if (!stored) {
            host.appendReport(InvalidNameReportLine(PathString(path)));
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
    if (!ListFolder(folder, entries, /*folders_only=*/true)) {
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
        const std::filesystem::path sub = folder / PathFromStoredName(name);
        const std::optional<std::string> sub_prefix = JoinStoredName(prefix, name);
        EncryptFolderFiles(sub, sub_prefix, args);
        EncryptSubfolders(sub, sub_prefix, args);
        if (args.ctx.state.EncryptCancelled) {
            return;
        }
    }
}

}  // namespace tazu
