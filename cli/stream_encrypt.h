// Encryption for pipes: standard input as the one file of an archive, and
// an archive written to an open stream (standard output) instead of a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "cipher/str255.h"
#include "cli/descriptor_reader.h"
#include "encrypt/encrypt_host.h"
#include "io/file_io.h"

namespace tazu::cli {

// What to encrypt into a stream.
struct StreamJob {
    Str255 password;
    Str255 personal_code;
    Str255 key_mark;
    bool use_personal_code = false;
    DescriptorReader* source = nullptr;  // a single file read from here, stored as stored_name
    std::string stored_name;             //
    std::filesystem::path path;          // else the file or folder at path
    bool folder = false;
    std::filesystem::path stub;  // non-empty: the self-decrypting stub goes first
};

// Writes the archive of job to out, ending with its trailer, and flushes
// it. False with code set on failure (kSourceUnreadable, kWriteFailed,
// kCancelled, kStubMissing, kBadArgument). Input cut short by a read error
// or Ctrl-C gets no trailer, so the archive never looks complete.
bool EncryptIntoStream(StreamJob& job, OutputStream& out, EncryptCode& code,
                       const EncryptContext& ctx);

// A temporary file beside target that becomes target only when Commit()
// is called after a complete write; removed otherwise. Commit never
// replaces anything but a regular file.
class ReplacingFile {
  public:
    ~ReplacingFile();
    bool Create(const std::filesystem::path& target, unsigned mode);
    FileWriter& stream() { return file_; }
    bool Commit(bool sync);

  private:
    FileWriter file_;
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    bool committed_ = false;
};

}  // namespace tazu::cli
