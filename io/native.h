// The operating system's side of files, behind one small interface with a
// POSIX implementation (native_posix.cpp) and a Windows one
// (native_windows.cpp), chosen when the program is built. Files are plain
// int descriptors on both: the C runtime's on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "io/file_identity.h"
#include "io/path.h"

namespace tazu {

// Opens a regular file read-only; -1 (errno set: EISDIR for a folder,
// EINVAL for a FIFO, device or the like, which are never opened for reading
// by mistake) otherwise. size, when given, gets the file's size; stamp,
// when given, its StampOf as the open found it (no second system call).
int OpenRegularFile(const Path& path, std::uint64_t* size = nullptr, FileStamp* stamp = nullptr);
// A folder held open so that the files in it can be opened by name without
// the system walking their whole path each time; -1 when it cannot be held
// (always on Windows). Closed with CloseFile.
int HoldFolder(const Path& folder);
// OpenRegularFile of path, whose folder is held as folder_fd: opened by its
// name in that folder, or by the whole path when folder_fd is -1.
int OpenRegularFileIn(int folder_fd, const Path& path, std::uint64_t* size, FileStamp* stamp);

// Creates a file for writing, or truncates an existing one; with exclusive
// an existing path makes it fail. Never through a symbolic link (or a
// reparse point) at the final path component.
int CreateFileForWriting(const Path& path, bool exclusive, unsigned mode);

// One read or write call: the bytes done, or -1 with errno set (EINTR when
// a signal interrupted it).
long ReadSome(int fd, void* out, std::size_t count);
long WriteSome(int fd, const void* data, std::size_t count);
bool CloseFile(int fd);
bool SeekFile(int fd, std::uint64_t offset);
// Writes the file's data through to the disk.
bool SyncFile(int fd);
// Writes the file's data (and its length, not its times) through to the
// disk: a sync while the file is still being written.
bool SyncFileData(int fd);
// Starts writing length bytes of fd from offset to the disk without waiting
// for them; only a help to a later sync, and nothing where the system has
// no such call.
void StartWriteback(int fd, std::uint64_t offset, std::uint64_t length);
// Makes the folder's entries (a rename into it) durable; false when the
// folder cannot be synced.
bool SyncFolder(int folder_fd);
// Tells the system that fd will be read front to back.
void AdviseSequential(int fd);
// When fd reads from a pipe, lets the pipe hold 1 MiB rather than the
// system's default (64 KiB on Linux), where the system allows: the program
// writing into it then runs further ahead and every read takes more at
// once, with far fewer switches between the two.
void WidenPipe(int fd);
// Sets aside length bytes of disk room for fd from offset on, leaving the
// file's length as it is; false where the system or file system cannot.
bool SetAsideRoom(int fd, std::uint64_t offset, std::uint64_t length);
// Cuts the file to size bytes (giving back any room set aside past them).
bool CutFile(int fd, std::uint64_t size);
// False when the file at path exists and this user may not write it.
bool MayWriteExisting(const Path& path);
// The bytes this user may still write in the file system holding folder;
// empty when it cannot be asked.
std::optional<std::uint64_t> FreeSpaceAt(const Path& folder);

// What is at a path: something (a file, a folder, a link), nothing, or
// unknown (the path could not be looked at). With follow, a symbolic link
// counts by what it points to, so a dangling one is nothing.
enum class PathState { kMissing, kPresent, kUnknown };
PathState LookAt(const Path& path, bool follow = false);
// The size of the file at path; empty when it cannot be read.
std::optional<std::uint64_t> FileSizeOf(const Path& path);
// Makes the folder at path and its missing parents; true when path is a
// folder afterwards, error_number set otherwise.
bool MakeFolders(const Path& path, int& error_number);
// Removes the folder at path when it is empty.
void RemoveEmptyFolder(const Path& path);
// path made absolute against the current folder; path itself when that
// fails.
Path AbsolutePath(const Path& path);

// Follows the symbolic links at path's last component, each only where the
// kernel's rule for links in shared folders would follow it: the link
// belongs to this user, or the folder it lies in is not both sticky and
// world-writable, or that folder's owner owns the link. Following a link
// by its text would otherwise bypass that rule. kFollowed sets resolved
// (path itself when it is no link); kRefused names the link not followed in
// resolved; kEndless when the links do not end or one cannot be read.
enum class LinkFollowing { kFollowed, kRefused, kEndless };
LinkFollowing FollowOwnLinks(const Path& path, Path& resolved);

// This process's id, as the temporary names carry it.
long CurrentProcessId();

// A second descriptor for fd (standard output, to write an archive to),
// and fd itself made ready for reading an archive (standard input); both
// pass bytes unchanged (binary mode on Windows).
int DuplicateDescriptor(int fd);
int BinaryInput(int fd);

// More than one processor is available to this process.
bool SeveralProcessors();

// Names. A stored name is bytes; these turn it into a path component and
// back. On POSIX systems both keep the bytes. On Windows a name that is
// valid UTF-8 is the UTF-16 name it spells, and any other is read as
// Windows-1251 (older Windows copies stored names in that code page).
Path PathFromStoredName(std::string_view bytes);
std::string StoredNameFromPath(const Path& component);

// Text for people (report lines, messages) from a path, and a path from
// text a person typed or passed as an argument: the native bytes on POSIX
// systems, UTF-8 on Windows.
std::string PathString(const Path& path);
Path PathFromText(std::string_view text);

// False for one component of a stored name that this system cannot create
// as it stands or would read as something else: on Windows a ":" (a stream
// of another file), the reserved device names (CON, NUL.txt, COM1, ...),
// characters Windows forbids in names, and a trailing dot or space, which
// Windows drops (so "a." would write "a"). Every component passes on POSIX
// systems, where any byte but "/" and NUL may occur.
bool NameComponentAllowed(std::string_view component);

// UTF-8 checks and the Windows-1251 conversion, the same on every system.
bool IsValidUtf8(std::string_view bytes);
std::string Cp1251ToUtf8(std::string_view bytes);

}  // namespace tazu
