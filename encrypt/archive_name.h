// The archive name proposed for an object, the same in the encrypt dialog
// and on the command line.
#pragma once

#include <filesystem>

namespace tazu {

// A file: its extension replaced by ".shf" (".exe" for self-decrypting
// output), or the extension appended when it has none. A folder: its path
// plus the extension. The file-system root "/" gives "/Disk(root).shf", as
// a drive root gives "Disk(C)" on systems with drive letters.
std::filesystem::path ProposedArchivePath(const std::filesystem::path& object, bool is_file,
                                          bool self_decrypting);

}  // namespace tazu
