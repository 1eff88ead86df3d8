// Where an entry's file goes, and writing it there safely: the stored name
// is checked and split into components, the folders on the way are walked
// from the destination without following symbolic links, and the data go to
// a temporary file in the final folder that is renamed over the final name
// only when the entry ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cipher/str255.h"
#include "io/file_identity.h"
#include "io/file_io.h"
#include "io/path.h"
#include "io/temporary_file.h"

namespace tazu {

// Splits a stored name into its parts by the rule the writer shares
// (CheckStoredName in io/stored_name.h); false when the name is unsafe.
bool SplitStoredName(const Str255& name, std::vector<std::string>& components);

// The destination and the components joined with exactly one separator
// at each joint. Never cut: a cut path could name something else.
Path JoinOutputPath(const Path& destination, const std::vector<std::string>& components);

// The folder the last entry's file went to, held open for the next entries:
// an archive stores a folder's files one after another, and they need not
// walk (and make) the folders on the way again. Used by the POSIX side;
// Windows walks every time.
class OutputFolders {
  public:
    OutputFolders() = default;
    ~OutputFolders();
    OutputFolders(const OutputFolders&) = delete;
    OutputFolders& operator=(const OutputFolders&) = delete;

  private:
    friend class OutputTarget;
    // The held folder's descriptor when it is where components (all but
    // the last) lead below destination and still in the tree; else -1.
    int Find(const Path& destination, const std::vector<std::string>& components) const;
    // Holds fd, the folder of components below destination, from now on.
    void Keep(const Path& destination, const std::vector<std::string>& components, int fd);

    Path destination_;
    std::vector<std::string> folders_;
    int fd_ = -1;
};

class OutputTarget {
  public:
    enum class Status { kNew, kExists, kNoAccess };

    OutputTarget() = default;
    ~OutputTarget();
    OutputTarget(const OutputTarget&) = delete;
    OutputTarget& operator=(const OutputTarget&) = delete;

    // Creates the missing folders of components below destination and looks
    // at the final name. kNoAccess when a folder cannot be made or is a
    // symbolic link, the final name is a folder, or it is the archive.
    // With folders, the folder is taken from there when the last entry
    // went to it, and held there for the next.
    Status Prepare(const Path& destination, const std::vector<std::string>& components,
                   const std::optional<FileIdentity>& archive, OutputFolders* folders = nullptr);
    // Creates the temporary file; false when it cannot be created.
    bool CreateTemporary();
    OutputStream& Stream();
    // Writes everything out and renames the temporary file over the final
    // name (replacing a symbolic link there, never its target).
    bool Commit();
    // Removes the temporary file.
    void Discard();

  private:
    int folder_fd_ = -1;
    bool owns_folder_fd_ = true;  // false: OutputFolders holds it
    Path folder_;                 // where there are no folder descriptors (Windows)
    std::vector<void*> held_;     // the folders on the way, held open (Windows)
    std::string leaf_;
    bool replaces_ = false;        // an existing file is at the final name
    bool folder_visited_ = false;  // the held folder of the last entry
    std::unique_ptr<TemporaryFile> file_;
};

}  // namespace tazu
