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
    DescriptorReader* source = nullptr;  // a single file read from here
    std::filesystem::path path;          // else the file or folder at path
    std::string stored_name;             // of the single file, checked (SingleFileStoredName)
    bool folder = false;
    std::filesystem::path stub;  // non-empty: the self-decrypting stub goes first
};

// Writes the archive of job to out, ending with its trailer, and flushes
// it. False with code set on failure (kSourceUnreadable, kWriteFailed,
// kCancelled, kStubMissing, kBadArgument). Input cut short by a read error
// or Ctrl-C gets no trailer, so the archive never looks complete.
bool EncryptIntoStream(StreamJob& job, OutputStream& out, EncryptCode& code,
                       const EncryptContext& ctx);

}  // namespace tazu::cli
