// Where the command line writes, and why writing or reading a file failed:
// the causes it adds, on a line of their own, to the program's own messages.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace tazu::cli {

// The file an -o path names: a symbolic link is followed (the link stays
// and the file it points to is replaced) only where the kernel's rule for
// links in shared folders would follow it (see FollowOwnLinks). False with
// a message in error for a link that rule refuses, when the result exists
// and is neither a regular file nor a folder (a device, a FIFO, a socket)
// or the links do not end. A folder is left to the run, which fails on it
// with the write error and its cause.
bool ResolveOutputPath(const std::filesystem::path& path, std::filesystem::path& resolved,
                       std::string& error);

// Why a file at path cannot be written: the system's error text for making
// a file in its folder ("Read-only file system", "Permission denied", ...),
// "it is a folder", or the free space when a file can be made there.
std::string WriteFailureCause(const std::filesystem::path& path);

// Whether a file can be made in the folder (checked by making one that is
// gone at once).
bool FolderTakesFiles(const std::filesystem::path& folder);

// Why writing the file at path failed, with the free space measured when it
// failed (before its partial data were removed), when that is known.
std::string WriteFailureCause(const std::filesystem::path& path,
                              std::optional<std::uint64_t> free_then);

// Why the folder cannot take files (for extraction into it).
std::string FolderWriteFailureCause(const std::filesystem::path& folder);

// Why path cannot be read: the system's error text, "it is a folder", ...
std::string ReadFailureCause(const std::filesystem::path& path);

// The system's text for a file system error, in the chosen language where
// the program has one (see SystemErrorText).
std::string ErrorCodeText(const std::error_code& ec);

// True when both paths exist and are the same file.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace tazu::cli
