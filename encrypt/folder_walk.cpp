#include "encrypt/folder_walk.h"

#include <algorithm>
#include <cstring>

#include "encrypt/encrypt_entry.h"
#include "encrypt/encrypt_messages.h"
#include "io/native.h"
#include "io/stored_name.h"

namespace tazu {

std::optional<std::string> RootStoredPrefix(const std::filesystem::path& root) {
    if (root == root.root_path()) {
        return std::string();
    }
    return JoinStoredName(std::string(), StoredNameFromPath(root.filename()));
}

std::optional<std::string> JoinStoredName(const std::optional<std::string>& prefix,
                                          const std::string& name) {
    if (!prefix || name.find('\\') != std::string::npos) {
        return std::nullopt;
    }
    std::string joined = *prefix + "\\" + name;
    if (CheckStoredName(joined) != StoredNameProblem::kNone) {
        return std::nullopt;  // a name the reader would refuse is never stored
    }
    return joined;
}

namespace {

// Plans the read-ahead of the files of the listing, handed to it a few at a
// time as it needs them. The names are checked once, by the walk: the rare
// file whose name cannot be stored is read ahead for nothing and dropped.
void PlanPrefetch(const std::filesystem::path& folder, const FolderListing& entries,
                  FilePrefetcher& prefetch) {
    prefetch.Plan([&folder, &entries, i = std::size_t{0}](std::filesystem::path& next) mutable {
        for (; i < entries.size(); ++i) {
            if (entries.Kind(i) == FolderEntryKind::kFile) {
                next = folder / PathFromStoredName(std::string(entries.Name(i)));
                ++i;
                return true;
            }
        }
        return false;
    });
}

// Encrypts one entry of a folder listing, or adds its report line.
void EncryptFolderEntry(const std::filesystem::path& path, FolderEntryKind kind,
                        const std::optional<std::string>& stored, WalkArgs& args) {
    EncryptHost& host = args.ctx.host;
    if (kind == FolderEntryKind::kFolderLink) {
        host.AppendReport(FolderLinkReportLine(PathString(path)));
    } else if (kind == FolderEntryKind::kArchive && !args.archive_name.empty()) {
        // The archive being written, met under its temporary name or as the
        // one it replaces: one line names the archive, however often met.
        if (!args.archive_reported) {
            host.AppendReport(ReadErrorReportLine(PathString(args.archive_name)));
            args.archive_reported = true;
        }
    } else if (kind != FolderEntryKind::kFile) {
        host.AppendReport(ReadErrorReportLine(PathString(path)));
    } else if (!stored) {
        host.AppendReport(InvalidNameReportLine(PathString(path)));
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
}

}  // namespace

void EncryptFolderFiles(const std::filesystem::path& folder,
                        const std::optional<std::string>& prefix, WalkArgs& args) {
    EncryptRunState& state = args.ctx.state;
    EncryptHost& host = args.ctx.host;
    if (state.EncryptCancelled) {
        return;
    }
    FolderListing entries;
    if (!ListFolder(folder, entries, /*folders_only=*/false, args.skip)) {
        host.AppendReport(ReadErrorReportLine(PathString(folder)));
        return;
    }
    if (args.prefetch) {
        PlanPrefetch(folder, entries, *args.prefetch);
    }
    for (std::size_t i = 0; i < entries.size() && !state.EncryptCancelled; ++i) {
        const FolderEntryKind kind = entries.Kind(i);
        if (kind == FolderEntryKind::kFolder) {
            continue;
        }
        const std::string name(entries.Name(i));
        EncryptFolderEntry(folder / PathFromStoredName(name), kind, JoinStoredName(prefix, name),
                           args);
        if (state.EncryptCancelled) {
            break;
        }
        host.AddFileEncrypted();
        host.ProcessEvents();
    }
    if (args.prefetch) {
        args.prefetch->ClearPlan();  // the plan reads this listing, which ends here
    }
}

void EncryptSubfolders(const std::filesystem::path& folder,
                       const std::optional<std::string>& prefix, WalkArgs& args) {
    if (args.ctx.state.EncryptCancelled) {
        return;
    }
    // Only the subfolders are kept while the walk goes deeper.
    FolderListing subfolders;
    if (!ListFolder(folder, subfolders, /*folders_only=*/true, args.skip)) {
        return;  // EncryptFolderFiles has reported it
    }
    for (std::size_t i = 0; i < subfolders.size(); ++i) {
        const std::string name(subfolders.Name(i));
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
