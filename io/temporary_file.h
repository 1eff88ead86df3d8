// Files written beside their final name and renamed into place at the end:
// the archive, each extracted file and the key store.
//
// A temporary file is named after the file it will become,
// "<final name>.tazu16x32-<pid>-<n>.part", so a leftover is visible and
// recognisable. Its writer holds a lock on it for as long as it is open, and
// the pid in its name tells whether that writer still runs, so a later run
// can tell the leftover of a killed run from a file being written.
//
// Where the final name is free and the file system can, the file has no
// name at all until it takes its final one: a killed run then leaves
// nothing, and the file costs fewer system calls (no lock, no rename).
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

#include "io/file_io.h"
#include "io/path.h"

namespace tazu {

// The temporary name for final_name, unique within this process. The final
// name is shortened (at a character boundary) when the whole would not fit
// in the 255 bytes a file name may have.
std::string TemporaryFileName(std::string_view final_name);

// The pid in name when it is a temporary name, else nothing.
std::optional<pid_t> TemporaryFileWriter(std::string_view name);

// Removes the temporary files in the folder open as folder_fd that are
// leftovers: regular files of this user with a temporary name whose writer
// is gone (no such process, and nobody holds the lock). Returns how many.
int RemoveStaleTemporaryFiles(int folder_fd);

// Creates a new temporary file for final_name in the folder open as
// folder_fd (exclusively, never through a symbolic link) and locks it;
// returns its descriptor and sets name, or returns -1 with errno set.
// Once per folder and process, the folder's leftovers are removed first.
//
// The file always belongs to this user. When final_name is an existing
// regular file of this user's, the new file takes its permission bits (when
// mode has execute bits, a self-decrypting file, it may also be executed
// wherever the replaced file may be read); otherwise it gets mode. Either
// way never more than the umask allows: another user's file at the final
// name hands its access on to nobody.
int CreateTemporaryFile(int folder_fd, const std::string& final_name, unsigned mode,
                        std::string& name);

// A file written under a temporary name beside its final name, which it
// takes only by Commit() after a complete write; until then the final name
// keeps what it had. Removed when it is dropped uncommitted.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::size_t buffer_size = kFileBufferSize);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // What the caller knows already, which spares Create its own checks:
    // extracting a folder's files one after another, these are most of the
    // system calls a small file costs.
    struct Known {
        // folder_fd stays open for as long as this file: it is used as it
        // is, not copied.
        bool folder_held = false;
        // This process has met the folder before (its leftovers are gone).
        bool folder_visited = false;
        // Nothing was at the final name a moment ago: the file may go
        // without a name until Commit gives it the final one.
        bool final_name_free = false;
    };

    // Creates the temporary file (see CreateTemporaryFile) for final_name in
    // the folder open as folder_fd, or beside final_path. False with errno
    // set when it cannot be created.
    bool Create(int folder_fd, const std::string& final_name, unsigned mode);
    bool Create(int folder_fd, const std::string& final_name, unsigned mode, const Known& known);
    bool Create(const Path& final_path, unsigned mode);

    FileWriter& file() { return file_; }

    // For a file that may become the only copy of its data (an archive, a
    // file that replaces another, the key store): its writeback starts
    // while it is written, Finish() writes it through to the disk before
    // the rename, and Commit() syncs the folder after it, so neither a
    // crash nor a power cut can leave the final name empty or lose the old
    // file before the new one is whole. Called right after Create.
    void MakeDurable();
    // Writes everything out and closes the file (synced when durable); an
    // unnamed file stays open until Commit names it.
    bool Finish();

    enum class Replace {
        kAnything,         // a symbolic link at the final name is replaced, never its target
        kRegularFileOnly,  // a device, FIFO or link that took the name stays as it is
    };
    // Renames the finished file over the final name (an unnamed one is
    // linked there, or, should something have taken the name meanwhile,
    // linked under a temporary name and renamed over it); false (errno set)
    // when it could not be, the file then still being temporary. A durable
    // file's rename is made durable too (a folder that cannot be synced is
    // no failure).
    bool Commit(Replace what = Replace::kAnything);
    // Closes and removes the temporary file (nothing once committed).
    void Discard();

  private:
    // Gives an unnamed file the final name, or a temporary one when the
    // final name is taken, and closes it.
    bool NameUnnamedFile();

    FileWriter file_;
    int folder_fd_ = -1;
    Path folder_;  // where there are no folder descriptors (Windows)
    std::string final_name_;
    std::string name_;              // empty once committed or removed, and while unnamed
    bool unnamed_ = false;          // open with no name, until committed
    bool folder_borrowed_ = false;  // folder_fd_ is the caller's
    bool durable_ = false;
};

}  // namespace tazu
