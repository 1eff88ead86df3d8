// The encryption driver: one file, or a folder tree, into one archive.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "cipher/str255.h"
#include "encrypt/encrypt_host.h"
#include "io/file_io.h"

namespace tazu {

enum class EncryptMode : std::uint8_t {
    kFolder = 0,
    kSingleFile = 1,
};

struct EncryptObjectOptions {
    // Write the self-decrypting stub in front of the archive.
    bool self_decrypting = false;
    // The stub; empty means DefaultStubPath(), beside the program.
    std::filesystem::path stub_path;
    // Test seam: every archive byte goes through the stream this returns,
    // which writes on to the archive file it is given.
    std::function<std::unique_ptr<OutputStream>(OutputStream& file)> wrap_archive;
};

// Encrypts the file (kSingleFile) or the folder tree (kFolder) at
// source_path into an archive at archive_path. True on success; on failure
// result_code says why (it is set only on failure, so the caller sets it to
// kOk first; a successful folder run never sets it).
//
// The archive is written to a temporary file beside archive_path and renamed
// into place only when the run succeeded. On every failure the temporary
// file is removed and an existing file at archive_path stays as it was.
//
// - kBadArgument: an empty password, personal code or key mark (the key mark
//   is only needed with use_personal_code), a key mark over 128 bytes, a
//   file without a name, or archive_path naming the source itself.
// - kBadName: the single file's own name is one the reader would refuse
//   (SingleFileStoredName); nothing is written.
// - kSourceUnreadable: the single file or the chosen folder cannot be read
//   (its report line is added).
// - kWriteFailed: the archive cannot be created, or any write fails.
// - kCancelled: EncryptCancelled was set (ctx.state) during the run.
// - kStubMissing: self_decrypting without a readable stub; the host's
//   self-decrypting option is switched off.
//
// The password and personal code stay the caller's (to wipe when its run
// ends); the run keeps no copy of them, nor of any salt or block key.
bool EncryptObject(const Str255& password, const Str255& personal_code, Str255 key_mark,
                   const std::filesystem::path& archive_path,
                   const std::filesystem::path& source_path, bool use_personal_code,
                   EncryptMode mode, EncryptCode& result_code, const EncryptContext& ctx,
                   const EncryptObjectOptions& options = {});

}  // namespace tazu
