// The Windows side of io/temporary_file.h. Windows has no folder
// descriptors: the temporary file is made by its full name, exclusively and
// never through a reparse point, and renamed over the final name with
// MoveFileExW, which replaces a link at the final name, never its target.
// The first file made in a folder removes the folder's leftovers of killed
// runs, as on POSIX systems.
#include <windows.h>

#include <cerrno>
#include <mutex>
#include <set>
#include <string>

#include "io/native.h"
#include "io/native_windows.h"
#include "io/temporary_file.h"

namespace tazu {

namespace {

// True when no process with this id runs (any more).
bool ProcessGone(long pid) {
    const HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        return ::GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
    }
    const bool ended = ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    ::CloseHandle(process);
    return ended;
}

// True the first time this process meets the folder.
bool FirstVisit(const Path& folder) {
    static std::mutex mutex;
    static std::set<std::wstring> visited;
    const std::lock_guard<std::mutex> lock(mutex);
    return visited.insert(SystemPath(folder)).second;
}

// Removes the leftovers of writers that are gone: regular files with a
// temporary name in folder. A file still open by its writer cannot be
// deleted (it is open without delete sharing), so nothing being written
// is lost.
int RemoveStaleTemporaryFiles(const Path& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW((SystemPath(folder) + L"\\*.part").c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    int removed = 0;
    do {
        const Path name(found.cFileName);
        const std::optional<pid_t> writer = TemporaryFileWriter(StoredNameFromPath(name));
        if (writer && *writer != CurrentProcessId() &&
            (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
                0 &&
            ProcessGone(*writer) && ::DeleteFileW(SystemPath(folder / name).c_str())) {
            ++removed;
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return removed;
}

}  // namespace

int RemoveStaleTemporaryFiles(int /*folder_fd*/) {
    return 0;  // no folder descriptors here: see TemporaryFile::Create
}

int CreateTemporaryFile(int /*folder_fd*/, const std::string& /*final_name*/, unsigned /*mode*/,
                        std::string& name) {
    name.clear();
    errno = ENOSYS;
    return -1;
}

TemporaryFile::TemporaryFile(std::size_t buffer_size) : file_(buffer_size) {}

TemporaryFile::~TemporaryFile() {
    Discard();
}

bool TemporaryFile::Create(int /*folder_fd*/, const std::string& /*final_name*/, unsigned /*mode*/,
                           const Known& /*known*/) {
    errno = ENOSYS;
    return false;
}

bool TemporaryFile::Create(const Path& final_path, unsigned mode) {
    folder_ = final_path.parent_path();
    final_name_ = StoredNameFromPath(final_path.filename());
    if (FirstVisit(folder_)) {
        RemoveStaleTemporaryFiles(folder_);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        name_ = TemporaryFileName(final_name_);
        const int fd = CreateFileForWriting(folder_ / PathFromStoredName(name_), true, mode);
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            name_.clear();
            return false;
        }
        file_.Adopt(fd);
        file_.SetAsideRoomAhead();  // a new file of ours
        return true;
    }
    name_.clear();
    errno = EEXIST;
    return false;
}

bool TemporaryFile::Commit(Replace what) {
    if (name_.empty()) {
        errno = ENOENT;
        return false;
    }
    const Path final_path = folder_ / PathFromStoredName(final_name_);
    const DWORD attributes = ::GetFileAttributesW(SystemPath(final_path).c_str());
    if (what == Replace::kRegularFileOnly && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes &
         (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)) != 0) {
        errno = EEXIST;
        return false;
    }
    const Path temporary = folder_ / PathFromStoredName(name_);
    if (!::MoveFileExW(SystemPath(temporary).c_str(), SystemPath(final_path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        errno = ::GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
        return false;
    }
    name_.clear();
    return true;
}

void TemporaryFile::Discard() {
    file_.Close();
    if (!name_.empty()) {
        ::DeleteFileW(SystemPath(folder_ / PathFromStoredName(name_)).c_str());
    }
    name_.clear();
}

}  // namespace tazu
