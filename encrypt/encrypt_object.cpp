#include "encrypt/encrypt_object.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <system_error>

#include "cipher/constants.h"
#include "cipher/wipe.h"
#include "encrypt/encrypt_entry.h"
#include "encrypt/encrypt_messages.h"
#include "encrypt/folder_walk.h"
#include "encrypt/stub_copy.h"
#include "format/format.h"
#include "io/temporary_file.h"

namespace tazu {

namespace {

bool IsFolder(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CanList(const std::filesystem::path& path) {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) {
        return false;
    }
    ::closedir(dir);
    return true;
}

// The absolute form of a path without "." or ".." parts or a trailing slash.
std::filesystem::path Normalized(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    if (ec) {
        p = path;
    }
    p = p.lexically_normal();
    if (!p.has_filename() && p != p.root_path()) {
        p = p.parent_path();
    }
    return p;
}

// A new, empty temporary file beside the archive's final name.
bool CreateTemporary(const std::filesystem::path& archive_path, unsigned mode, FileWriter& file,
                     std::filesystem::path& temporary) {
    const int fd = CreateTemporaryFile(archive_path, mode, temporary);
    if (fd < 0) {
        return false;
    }
    file.Adopt(fd);
    return true;
}

// The whole run, out of line so that the public form can wipe the stack it
// used.
[[gnu::noinline]] bool RunEncryptObject(const Str255& password, const Str255& personal_code,
                                        Str255& key_mark, const std::filesystem::path& archive_path,
                                        const std::filesystem::path& source_path,
                                        bool use_personal_code, EncryptMode mode,
                                        EncryptCode& result_code, const EncryptContext& ctx,
                                        const EncryptObjectOptions& options) {
    EncryptRunState& state = ctx.state;
    EncryptHost& host = ctx.host;

    if (!use_personal_code) {
        key_mark = NoKeyMark();
    }
    const std::filesystem::path source = Normalized(source_path);
    const std::filesystem::path archive = Normalized(archive_path);
    const std::string file_name = source.filename().native();

    // Refused before anything is created.
    if (password.empty() || personal_code.empty() || key_mark.empty() ||
        key_mark.size() > kMaxKeyMarkSize || source_path.empty() || archive_path.empty() ||
        !archive.has_filename() ||
        (mode == EncryptMode::kSingleFile &&
         (file_name.empty() || file_name.size() > Str255::kCapacity))) {
        result_code = EncryptCode::kBadArgument;
        return false;
    }
    const std::optional<FileIdentity> source_id = IdentityOf(source);
    const std::optional<FileIdentity> old_archive_id = IdentityOf(archive);
    if (source_id && old_archive_id && *source_id == *old_archive_id) {
        result_code = EncryptCode::kBadArgument;  // would replace the source with its archive
        return false;
    }
    if (IsFolder(archive)) {
        result_code = EncryptCode::kWriteFailed;
        return false;
    }
    if (mode == EncryptMode::kFolder && !CanList(source)) {
        host.appendReport(ReadErrorReportLine(source.native()));
        result_code = EncryptCode::kSourceUnreadable;
        return false;
    }
    const std::filesystem::path stub_path =
        options.stub_path.empty() ? DefaultStubPath() : options.stub_path;
    struct stat stub_stat {};
    if (options.self_decrypting &&
        (::stat(stub_path.c_str(), &stub_stat) != 0 || !S_ISREG(stub_stat.st_mode))) {
        result_code = EncryptCode::kStubMissing;
        host.switchOffSelfDecrypting();
        return false;
    }

    FileWriter file;
    std::filesystem::path temporary;
    if (!CreateTemporary(archive, options.self_decrypting ? 0777 : 0666, file, temporary)) {
        result_code = EncryptCode::kWriteFailed;
        return false;
    }
    std::unique_ptr<OutputStream> wrapper =
        options.wrap_archive ? options.wrap_archive(file) : nullptr;
    OutputStream& out = wrapper ? *wrapper : file;

    auto fail = [&](EncryptCode code) {
        file.Close();
        std::error_code ec;
        std::filesystem::remove(temporary, ec);
        if (result_code == EncryptCode::kNone) {
            result_code = code;
        }
        return false;
    };

    if (options.self_decrypting) {
        switch (CopyStub(stub_path, out, host)) {
            case StubCopyResult::kCopied:
                break;
            case StubCopyResult::kCannotOpen:
                host.switchOffSelfDecrypting();
                return fail(EncryptCode::kStubMissing);
            case StubCopyResult::kWriteFailed:
                return fail(EncryptCode::kWriteFailed);
        }
    }

    Str255 entry_chain;
    bool success = true;
    if (mode == EncryptMode::kSingleFile) {
        success = EncryptEntry(password, personal_code, key_mark, source, Str255(file_name),
                               use_personal_code, entry_chain, out, result_code, ctx);
        if (!success && result_code == EncryptCode::kNone) {
            return fail(EncryptCode::kSourceUnreadable);  // its report line is in
        }
    } else if (mode == EncryptMode::kFolder) {
        FilePrefetcher prefetch;
        WalkArgs walk{password,    personal_code, key_mark, use_personal_code, entry_chain, out,
                      result_code, ctx,           {},       &prefetch};
        if (const auto id = IdentityOf(temporary)) {
            walk.skip.push_back(*id);
        }
        if (old_archive_id) {
            walk.skip.push_back(*old_archive_id);
        }
        const std::optional<std::string> prefix = RootStoredPrefix(source);
        EncryptFolderFiles(source, prefix, walk);
        EncryptSubfolders(source, prefix, walk);
        walk.password.Wipe();
        walk.personal_code.Wipe();
    }

    if (!state.EncryptCancelled) {
        // When the archive replaces an existing file, its data reach the
        // disk before the rename, so a crash cannot leave neither the old
        // file nor a whole new one. A new name has nothing to lose and is
        // not synced, which keeps large runs at the speed of the page cache.
        if (!WriteRawBytes(ArchiveTrailer(entry_chain), out) || !out.Flush() ||
            (old_archive_id && !file.Sync()) || !file.Close()) {
            state.EncryptCancelled = true;
            return fail(EncryptCode::kWriteFailed);
        }
    }
    if (state.EncryptCancelled) {
        return fail(EncryptCode::kCancelled);
    }
    if (!success) {
        return fail(EncryptCode::kWriteFailed);
    }
    // Only a regular file is ever replaced: a device node, a FIFO or a
    // symbolic link that took the name meanwhile stays as it is.
    struct stat existing {};
    if (::lstat(archive.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
        return fail(EncryptCode::kWriteFailed);
    }
    if (::rename(temporary.c_str(), archive.c_str()) != 0) {
        return fail(EncryptCode::kWriteFailed);
    }
    return true;
}

}  // namespace

bool EncryptObject(const Str255& password, const Str255& personal_code, Str255 key_mark,
                   const std::filesystem::path& archive_path,
                   const std::filesystem::path& source_path, bool use_personal_code,
                   EncryptMode mode, EncryptCode& result_code, const EncryptContext& ctx,
                   const EncryptObjectOptions& options) {
    const bool done = RunEncryptObject(password, personal_code, key_mark, archive_path, source_path,
                                       use_personal_code, mode, result_code, ctx, options);
    // What the run's calls left on the stack below this frame: the walk's
    // copies of the secrets, and temporaries between the entries.
    WipeStackBelow();
    return done;
}

}  // namespace tazu
