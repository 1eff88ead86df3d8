// Which file a path or a descriptor leads to, so that the archive being
// written or read is never also one of the files it packs or extracts.
#pragma once

#include <cstdint>
#include <optional>

#include "io/path.h"

namespace tazu {

struct FileIdentity {
    std::uint64_t device = 0;  // on Windows: the volume's serial number
    std::uint64_t inode = 0;   // on Windows: the file index
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What tells that a file changed: its size and its modification time.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified_ns = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file open as fd; nothing when it cannot be asked.
std::optional<FileStamp> StampOf(int fd);

// The identity of the file open as fd; nothing when it cannot be asked.
std::optional<FileIdentity> IdentityOf(int fd);

// The identity of the file at path (after symbolic links); nothing when
// there is none.
std::optional<FileIdentity> IdentityOf(const Path& path);

}  // namespace tazu
