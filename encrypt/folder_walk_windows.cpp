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

// Kind and identity of what the entry leads to, links followed.
void LookThrough(const std::filesystem::path& path, bool reparse, FolderEntry& e) {
    const HANDLE handle = ::CreateFileW(
        SystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &info)) {
        e.kind = FolderEntryKind::kOther;  // a broken link, a file that went
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        e.kind = reparse ? FolderEntryKind::kFolderLink : FolderEntryKind::kFolder;
    } else {
        e.kind = ::GetFileType(handle) == FILE_TYPE_DISK ? FolderEntryKind::kFile
                                                         : FolderEntryKind::kOther;
        e.device = info.dwVolumeSerialNumber;
        e.inode = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
    }
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
    }
}

}  // namespace

bool ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries,
                bool folders_only) {
    entries.clear();
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
        FolderEntry e;
        e.name = StoredNameFromPath(std::filesystem::path(name));
        const bool reparse = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        if (!reparse && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            e.kind = FolderEntryKind::kFolder;
        } else if (folders_only) {
            e.kind = FolderEntryKind::kOther;
        } else {
            LookThrough(folder / std::filesystem::path(name), reparse, e);
        }
        entries.push_back(std::move(e));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
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
