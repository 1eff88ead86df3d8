// encrypt --remove-source: moving a file or folder tree into its archive.
// The archive, complete and on disk, is read back and every entry compared
// byte for byte with the file it was made from; only when every entry
// matches, every file of the tree was stored and the run reported nothing
// are the stored files removed, then the folders they leave empty. Any doubt
// keeps every source. Removal unlinks the files; it is not secure deletion.
#pragma once

#include <filesystem>

#include "cipher/str255.h"

namespace tazu::cli {

struct RemovalRequest {
    std::filesystem::path source;  // absolute, without a trailing separator
    bool folder = false;
    std::filesystem::path archive;
    const Str255& password;
    const Str255& personal_code;
    const Str255& key_mark;
};

// Checks the archive against the source and removes what it holds; returns
// the exit status (0 when every stored file is gone, non-zero with the
// sources kept, the reason printed).
int RemoveStoredSources(const RemovalRequest& request);

}  // namespace tazu::cli
