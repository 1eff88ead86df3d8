#include "cli/stream_encrypt.h"

#include <system_error>

#include "cipher/constants.h"
#include "cli/command_line.h"
#include "encrypt/encrypt_entry.h"
#include "encrypt/encrypt_messages.h"
#include "encrypt/folder_walk.h"
#include "encrypt/stub_copy.h"
#include "format/format.h"
#include "io/native.h"

namespace tazu::cli {
namespace fs = std::filesystem;

namespace {

bool EncryptTree(StreamJob& job, OutputStream& out, Str255& chain, EncryptCode& code,
                 const EncryptContext& ctx) {
    FilePrefetcher prefetch;
    WalkArgs walk{job.password,
                  job.personal_code,
                  job.key_mark,
                  job.use_personal_code,
                  chain,
                  out,
                  code,
                  ctx,
                  {},
                  &prefetch,
                  {}};  // a stream has no archive name to watch for
    const std::optional<std::string> prefix = RootStoredPrefix(job.path);
    EncryptFolderFiles(job.path, prefix, walk);
    EncryptSubfolders(job.path, prefix, walk);
    walk.password.Wipe();
    walk.personal_code.Wipe();
    return code == EncryptCode::kOk;
}

}  // namespace

bool EncryptIntoStream(StreamJob& job, OutputStream& out, EncryptCode& code,
                       const EncryptContext& ctx) {
    code = EncryptCode::kOk;
    if (!job.use_personal_code) {
        job.key_mark = NoKeyMark();
    }
    if (!job.stub.empty()) {
        switch (CopyStub(job.stub, out, ctx.host)) {
            case StubCopyResult::kCopied:
                break;
            case StubCopyResult::kCannotOpen:
                code = EncryptCode::kStubMissing;
                return false;
            case StubCopyResult::kWriteFailed:
                code = EncryptCode::kWriteFailed;
                return false;
        }
    }
    Str255 chain;
    bool ok = true;
    if (job.source != nullptr) {
        ok = EncryptEntry(job.password, job.personal_code, job.key_mark, *job.source, job.path,
                          Str255(job.stored_name), job.use_personal_code, chain, out, code, ctx);
    } else if (job.folder) {
        ok = EncryptTree(job, out, chain, code, ctx);
    } else {
        ok = EncryptEntry(job.password, job.personal_code, job.key_mark, job.path,
                          Str255(job.stored_name), job.use_personal_code, chain, out, code, ctx);
    }
    if (!ok && code == EncryptCode::kOk) {
        code = EncryptCode::kSourceUnreadable;  // its report line is in
    }
    if (ok && job.source != nullptr && job.source->Failed()) {
        code = EncryptCode::kSourceUnreadable;
        ok = false;
    }
    if (ok && (ctx.state.EncryptCancelled || Interrupted() ||
               (job.source != nullptr && job.source->Interrupted()))) {
        code = EncryptCode::kCancelled;
        ok = false;
    }
    if (ok && (!WriteRawBytes(ArchiveTrailer(chain), out) || !out.Flush())) {
        code = EncryptCode::kWriteFailed;
        ok = false;
    }
    return ok;
}

}  // namespace tazu::cli
