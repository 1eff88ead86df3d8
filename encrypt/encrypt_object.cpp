#include "encrypt/encrypt_object.h"

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
#include "io/native.h"
#include "io/stored_name.h"
#include "io/temporary_file.h"

namespace tazu {

namespace {

bool IsFolder(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_directory(path, ec);
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

// What one run works on, found before anything is written.
struct RunPaths {
    std::filesystem::path source;
    std::filesystem::path archive;
    std::filesystem::path stub;
    std::optional<FileIdentity> old_archive;  // the file the archive replaces
    std::string stored_name;                  // of a single file
};

// Refuses, before anything is created, what cannot be run; false with
// result_code set.
bool CheckArguments(const EncryptSecrets& secrets, const std::filesystem::path& archive_path,
                    const std::filesystem::path& source_path, EncryptMode mode,
                    const EncryptObjectOptions& options, EncryptHost& host, RunPaths& paths,
                    EncryptCode& result_code) {
    paths.source = Normalized(source_path);
    paths.archive = Normalized(archive_path);
    const std::string file_name = StoredNameFromPath(paths.source.filename());
    const Str255& key_mark = secrets.key_mark;
    if (secrets.password.empty() || secrets.personal_code.empty() || key_mark.empty() ||
        key_mark.size() > kMaxKeyMarkSize || source_path.empty() || archive_path.empty() ||
        !paths.archive.has_filename() || (mode == EncryptMode::kSingleFile && file_name.empty())) {
        result_code = EncryptCode::kBadArgument;
        return false;
    }
    // A name the reader would refuse is never stored: the run stops here,
    // before anything is written.
    StoredNameProblem problem = StoredNameProblem::kNone;
    if (mode == EncryptMode::kSingleFile) {
        paths.stored_name = SingleFileStoredName(file_name, /*own_name=*/true, problem);
        if (problem != StoredNameProblem::kNone) {
            result_code = EncryptCode::kBadName;
            return false;
        }
    }
    const std::optional<FileIdentity> source_id = IdentityOf(paths.source);
    paths.old_archive = IdentityOf(paths.archive);
    if (source_id && paths.old_archive && *source_id == *paths.old_archive) {
        result_code = EncryptCode::kBadArgument;  // would replace the source with its archive
        return false;
    }
    if (IsFolder(paths.archive)) {
        result_code = EncryptCode::kWriteFailed;
        return false;
    }
    if (mode == EncryptMode::kFolder && !CanListFolder(paths.source)) {
        host.AppendReport(ReadErrorReportLine(PathString(paths.source)));
        result_code = EncryptCode::kSourceUnreadable;
        return false;
    }
    paths.stub = options.stub_path.empty() ? DefaultStubPath() : options.stub_path;
    std::error_code ec;
    if (options.self_decrypting && !std::filesystem::is_regular_file(paths.stub, ec)) {
        result_code = EncryptCode::kStubMissing;
        host.SwitchOffSelfDecrypting();
        return false;
    }
    return true;
}

// Creates the temporary archive (every byte through options.wrap_archive's
// stream when there is one, kept in wrapper) and copies the stub to its
// start when asked. kOk, or why it failed.
EncryptCode OpenTemporaryArchive(const RunPaths& paths, const EncryptObjectOptions& options,
                                 EncryptHost& host, TemporaryFile& temporary,
                                 std::unique_ptr<OutputStream>& wrapper) {
    if (!temporary.Create(paths.archive, options.self_decrypting ? 0777 : 0666)) {
        return EncryptCode::kWriteFailed;
    }
    // The archive may become the only copy of its files.
    temporary.MakeDurable();
    FileWriter& file = temporary.file();
    wrapper = options.wrap_archive ? options.wrap_archive(file) : nullptr;
    OutputStream& out = wrapper ? *wrapper : file;
    if (options.self_decrypting) {
        switch (CopyStub(paths.stub, out, host)) {
            case StubCopyResult::kCopied:
                break;
            case StubCopyResult::kCannotOpen:
                host.SwitchOffSelfDecrypting();
                return EncryptCode::kStubMissing;
            case StubCopyResult::kWriteFailed:
                return EncryptCode::kWriteFailed;
        }
    }
    return EncryptCode::kOk;
}

// The entries: the one file, or every file of the folder tree (never the
// archive being written, open as archive_fd, nor the one it replaces).
bool WriteBody(const EncryptSecrets& secrets, const RunPaths& paths, EncryptMode mode,
               int archive_fd, OutputStream& out, Str255& entry_chain, EncryptCode& result_code,
               const EncryptContext& ctx) {
    if (mode == EncryptMode::kSingleFile) {
        return EncryptEntry(secrets.password, secrets.personal_code, secrets.key_mark, paths.source,
                            Str255(paths.stored_name), secrets.use_personal_code, entry_chain, out,
                            result_code, ctx);
    }
    if (mode == EncryptMode::kFolder) {
        FilePrefetcher prefetch;
        WalkArgs walk{secrets.password,
                      secrets.personal_code,
                      secrets.key_mark,
                      secrets.use_personal_code,
                      entry_chain,
                      out,
                      result_code,
                      ctx,
                      {},
                      &prefetch,
                      {}};
        if (const auto id = IdentityOf(archive_fd)) {
            walk.skip.push_back(*id);
            walk.archive_name = paths.archive;
        }
        if (paths.old_archive) {
            walk.skip.push_back(*paths.old_archive);
        }
        const std::optional<std::string> prefix = RootStoredPrefix(paths.source);
        EncryptFolderFiles(paths.source, prefix, walk);
        EncryptSubfolders(paths.source, prefix, walk);
        walk.password.Wipe();
        walk.personal_code.Wipe();
    }
    return true;
}

// Ends the archive with its trailer and renames it into place, unless the
// run was cancelled or its body failed. kOk, or why it was not.
EncryptCode CommitArchive(const Str255& entry_chain, bool body_written, OutputStream& out,
                          TemporaryFile& temporary, EncryptRunState& state) {
    if (!state.EncryptCancelled) {
        if (!WriteRawBytes(ArchiveTrailer(entry_chain), out) || !out.Flush() ||
            !temporary.Finish()) {
            state.EncryptCancelled = true;
            return EncryptCode::kWriteFailed;
        }
    }
    if (state.EncryptCancelled) {
        return EncryptCode::kCancelled;
    }
    if (!body_written) {
        return EncryptCode::kWriteFailed;
    }
    // Only a regular file is ever replaced: a device node, a FIFO or a
    // symbolic link that took the name meanwhile stays as it is.
    if (!temporary.Commit(TemporaryFile::Replace::kRegularFileOnly)) {
        return EncryptCode::kWriteFailed;
    }
    return EncryptCode::kOk;
}

// The whole run, out of line so that the public form can wipe the stack it
// used.
[[gnu::noinline]] bool RunEncryptObject(const EncryptSecrets& secrets,
                                        const std::filesystem::path& archive_path,
                                        const std::filesystem::path& source_path, EncryptMode mode,
                                        EncryptCode& result_code, const EncryptContext& ctx,
                                        const EncryptObjectOptions& options) {
    RunPaths paths;
    if (!CheckArguments(secrets, archive_path, source_path, mode, options, ctx.host, paths,
                        result_code)) {
        return false;
    }
    TemporaryFile temporary;
    std::unique_ptr<OutputStream> wrapper;
    auto fail = [&](EncryptCode code) {
        if (result_code == EncryptCode::kOk) {
            result_code = code;
        }
        if (result_code == EncryptCode::kWriteFailed) {
            ctx.state.free_at_failure = FreeSpaceAt(paths.archive.parent_path());
        }
        temporary.Discard();
        return false;
    };
    const EncryptCode opened = OpenTemporaryArchive(paths, options, ctx.host, temporary, wrapper);
    if (opened != EncryptCode::kOk) {
        return fail(opened);
    }
    OutputStream& out = wrapper ? *wrapper : temporary.file();

    Str255 entry_chain;
    const bool success =
        WriteBody(secrets, paths, mode, temporary.file().Fd(), out, entry_chain, result_code, ctx);
    if (!success && result_code == EncryptCode::kOk) {
        return fail(EncryptCode::kSourceUnreadable);  // its report line is in
    }
    const EncryptCode committed = CommitArchive(entry_chain, success, out, temporary, ctx.state);
    if (committed != EncryptCode::kOk) {
        return fail(committed);
    }
    return true;
}

}  // namespace

bool EncryptObject(const Str255& password, const Str255& personal_code, Str255 key_mark,
                   const std::filesystem::path& archive_path,
                   const std::filesystem::path& source_path, bool use_personal_code,
                   EncryptMode mode, EncryptCode& result_code, const EncryptContext& ctx,
                   const EncryptObjectOptions& options) {
    if (!use_personal_code) {
        key_mark = NoKeyMark();
    }
    const bool done = RunEncryptObject({password, personal_code, key_mark, use_personal_code},
                                       archive_path, source_path, mode, result_code, ctx, options);
    // What the run's calls left on the stack below this frame: the walk's
    // copies of the secrets, and temporaries between the entries.
    WipeStackBelow();
    return done;
}

}  // namespace tazu
