// The Windows side of the folder walk's listing: FindFirstFileW, names as
// UTF-8. A reparse point (symbolic link, junction) counts as what it leads
// to, and a folder behind one is never entered, as a link on POSIX systems.
#include <windows.h>

#include <algorithm>

#include "encrypt/folder_walk.h"
#include "io/native.h"
#include "io/native_windows.h"

namespace tazu {
namespace {

// The kind of what the entry leads to, links followed.
FolderEntryKind LookThrough(const std::filesystem::path& path, bool reparse,
                            const std::vector<FileIdentity>& skip) {
    const HANDLE handle = ::CreateFileW(
        SystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    FolderEntryKind kind = FolderEntryKind::kOther;  // a broken link, a file that went
    if (handle != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(handle, &info)) {
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            kind = reparse ? FolderEntryKind::kFolderLink : FolderEntryKind::kFolder;
        } else if (::GetFileType(handle) == FILE_TYPE_DISK) {
            const FileIdentity id{info.dwVolumeSerialNumber,
                                  (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
            kind = std::find(skip.begin(), skip.end(), id) != skip.end() ? FolderEntryKind::kArchive
                                                                         : FolderEntryKind::kFile;
        }
    }
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
    }
    return kind;
}

}  // namespace

bool ListFolder(const std::filesystem::path& folder, FolderListing& entries, bool folders_only,
                const std::vector<FileIdentity>& skip) {
    entries.Clear();
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW((SystemPath(folder) + L"\\*").c_str(), FindExInfoBasic,
                                             &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty drive root
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        const bool reparse = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        const bool folder_here =
            !reparse && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (folder_here) {
            entries.Add(StoredNameFromPath(std::filesystem::path(name)), FolderEntryKind::kFolder);
        } else if (!folders_only) {
            entries.Add(StoredNameFromPath(std::filesystem::path(name)),
                        LookThrough(folder / std::filesystem::path(name), reparse, skip));
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    entries.Sort();
    return true;
}

bool CanListFolder(const std::filesystem::path& folder) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileExW((SystemPath(folder) + L"\\*").c_str(), FindExInfoBasic,
                                             &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    ::FindClose(search);
    return true;
}

}  // namespace tazu
