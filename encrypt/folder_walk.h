// Walking a folder tree for the encryption driver: depth-first, a folder's
// own files before its subfolders, names in byte-wise order.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cipher/str255.h"
#include "encrypt/encrypt_host.h"
#include "encrypt/folder_listing.h"
#include "encrypt/prefetch.h"
#include "io/file_identity.h"
#include "io/file_io.h"

namespace tazu {

// The entries of folder other than "." and "..", sorted by name bytes.
// False when the folder cannot be listed. With folders_only, only the
// folders (kFolder) are kept, which spares looking at every file. A file
// whose identity is in skip is kArchive. Names are stored-name bytes (UTF-8
// on Windows). Lives in folder_walk_posix.cpp or folder_walk_windows.cpp.
bool ListFolder(const std::filesystem::path& folder, FolderListing& entries, bool folders_only,
                const std::vector<FileIdentity>& skip);

// True when folder can be opened for listing.
bool CanListFolder(const std::filesystem::path& folder);

// The arguments every file of one walk shares.
struct WalkArgs {
    Str255 password;
    Str255 personal_code;
    Str255 key_mark;
    bool use_personal_code = false;
    Str255& entry_chain;
    OutputStream& archive;
    EncryptCode& result_code;
    const EncryptContext& ctx;
    // Files never packed: the archive being written and the one it replaces.
    std::vector<FileIdentity> skip;
    // Reads the next small files ahead; none in tests that walk without it.
    FilePrefetcher* prefetch = nullptr;
    // The archive being written: when the walk meets it inside the tree
    // under its temporary name, its report line names the archive instead.
    std::filesystem::path archive_name;
    bool archive_reported = false;  // its line is in the report
};

// The stored name of a folder chosen as root: "\" + its name, or "" for the
// file-system root. Empty optional when names below it cannot be stored.
std::optional<std::string> RootStoredPrefix(const std::filesystem::path& root);

// prefix + "\" + name, or empty optional when name holds a backslash or the
// reader would refuse the result (CheckStoredName: longer than 255 bytes,
// for one).
std::optional<std::string> JoinStoredName(const std::optional<std::string>& prefix,
                                          const std::string& name);

// Encrypts the files (not the subfolders) directly inside folder, whose
// stored name is prefix. Stops once EncryptCancelled is set.
void EncryptFolderFiles(const std::filesystem::path& folder,
                        const std::optional<std::string>& prefix, WalkArgs& args);

// For each subfolder S of folder: EncryptFolderFiles(S), then
// EncryptSubfolders(S).
void EncryptSubfolders(const std::filesystem::path& folder,
                       const std::optional<std::string>& prefix, WalkArgs& args);

}  // namespace tazu
