// The Windows side of io/native.h: wide-character calls on UTF-16 names,
// and the C runtime's descriptors over the handles they open.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cwctype>
#include <system_error>
#include <thread>
#include <utility>

#include "io/native.h"
#include "io/native_windows.h"

namespace tazu {
namespace {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                        static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                          out.data(), n);
    return out;
}

std::string Narrow(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                          nullptr, nullptr);
    return out;
}

int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EACCES;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_WRITE_PROTECT:
            return EROFS;
        default:
            return EIO;
    }
}

// A descriptor over handle; the handle is closed when that fails.
int Descriptor(HANDLE handle, int flags) {
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
}

// What the last failed look at a path says of it.
PathState StateOfLastError() {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathState::kMissing
                                                                          : PathState::kUnknown;
}

}  // namespace

// No folder here is shared the way a sticky one is, and the system follows
// a symbolic link itself when the file is opened: the path stands as given
// (std::filesystem's link calls would also cost the stub its size).
LinkFollowing FollowOwnLinks(const Path& path, Path& resolved) {
    resolved = path;
    return LinkFollowing::kFollowed;
}

Path AbsolutePath(const Path& path) {
    const std::wstring& text = path.native();
    if (text.empty()) {
        return path;
    }
    // GetFullPathNameW joins a relative path to the current folder (or the
    // drive's current folder for "C:x") and resolves "." and "..".
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            ::GetFullPathNameW(text.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) {
            return path;
        }
        if (n < full.size()) {
            full.resize(n);
            return Path(std::move(full));
        }
        full.resize(n);
    }
}

std::wstring SystemPath(const Path& path) {
    const std::wstring& given = path.native();
    if (given.rfind(L"\\\\?\\", 0) == 0 || given.rfind(L"\\\\.\\", 0) == 0) {
        return given;
    }
    std::wstring text = AbsolutePath(path).native();
    for (wchar_t& c : text) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (text.rfind(L"\\\\?\\", 0) == 0 || text.rfind(L"\\\\.\\", 0) == 0) {
        return text;
    }
    if (text.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + text.substr(2);
    }
    if (text.size() >= 3 && text[1] == L':') {
        return L"\\\\?\\" + text;
    }
    return text;
}

int HoldFolder(const Path&) {
    return -1;  // files are opened by their whole path
}

int OpenRegularFileIn(int, const Path& path, std::uint64_t* size, FileStamp* stamp) {
    return OpenRegularFile(path, size, stamp);
}

int OpenRegularFile(const Path& path, std::uint64_t* size, FileStamp* stamp) {
    const HANDLE handle =
        ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(::GetLastError());
        return -1;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        ::CloseHandle(handle);
        errno = folder ? EISDIR : EINVAL;
        return -1;
    }
    if (size != nullptr) {
        *size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    }
    if (stamp != nullptr) {
        const std::uint64_t written = (std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                      info.ftLastWriteTime.dwLowDateTime;
        *stamp = FileStamp{(std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
                           static_cast<std::int64_t>(written) * 100};
    }
    return Descriptor(handle, _O_RDONLY);
}

int CreateFileForWriting(const Path& path, bool exclusive, unsigned /*mode*/) {
    // Opened without truncating first: a reparse point at the final name is
    // refused before anything in it changes.
    const HANDLE handle =
        ::CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                      exclusive ? CREATE_NEW : OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = ErrnoOf(::GetLastError());
        return -1;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        !::SetEndOfFile(handle)) {
        ::CloseHandle(handle);
        errno = ELOOP;
        return -1;
    }
    return Descriptor(handle, _O_WRONLY);
}

long ReadSome(int fd, void* out, std::size_t count) {
    const unsigned n = count > 0x40000000u ? 0x40000000u : static_cast<unsigned>(count);
    return ::_read(fd, out, n);
}

long WriteSome(int fd, const void* data, std::size_t count) {
    const unsigned n = count > 0x40000000u ? 0x40000000u : static_cast<unsigned>(count);
    return ::_write(fd, data, n);
}

bool CloseFile(int fd) {
    return ::_close(fd) == 0;
}

bool SeekFile(int fd, std::uint64_t offset) {
    return ::_lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) >= 0;
}

bool SyncFile(int fd) {
    return ::_commit(fd) == 0;
}

bool SyncFileData(int fd) {
    return ::_commit(fd) == 0;
}

// The rename itself is written through (MOVEFILE_WRITE_THROUGH).
void StartWriteback(int /*fd*/, std::uint64_t /*offset*/, std::uint64_t /*length*/) {}
bool SyncFolder(int /*folder_fd*/) {
    return true;
}

void AdviseSequential(int /*fd*/) {}
void WidenPipe(int /*fd*/) {}

bool SetAsideRoom(int /*fd*/, std::uint64_t /*offset*/, std::uint64_t /*length*/) {
    return false;
}

bool CutFile(int fd, std::uint64_t size) {
    return ::_chsize_s(fd, static_cast<__int64>(size)) == 0;
}

std::optional<std::uint64_t> FreeSpaceAt(const Path& folder) {
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(SystemPath(folder).c_str(), &available, nullptr, nullptr)) {
        return std::nullopt;
    }
    return available.QuadPart;
}

bool MayWriteExisting(const Path& path) {
    const DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

PathState LookAt(const Path& path, bool follow) {
    if (path.empty()) {
        return PathState::kMissing;
    }
    const std::wstring system_path = SystemPath(path);
    const DWORD attributes = ::GetFileAttributesW(system_path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return StateOfLastError();
    }
    if (!follow || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return PathState::kPresent;
    }
    // A link counts by what it leads to.
    const HANDLE handle = ::CreateFileW(
        system_path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return StateOfLastError();
    }
    ::CloseHandle(handle);
    return PathState::kPresent;
}

std::optional<std::uint64_t> FileSizeOf(const Path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

bool MakeFolders(const Path& path, int& error_number) {
    const std::wstring system_path = SystemPath(path);
    DWORD attributes = ::GetFileAttributesW(system_path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const Path parent = path.parent_path();
        if (!parent.empty() && !(parent == path) && !MakeFolders(parent, error_number)) {
            return false;
        }
        if (!::CreateDirectoryW(system_path.c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS) {
            error_number = ErrnoOf(::GetLastError());
            return false;
        }
        attributes = ::GetFileAttributesW(system_path.c_str());
    }
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error_number = attributes == INVALID_FILE_ATTRIBUTES ? ErrnoOf(::GetLastError()) : ENOTDIR;
        return false;
    }
    return true;
}

void RemoveEmptyFolder(const Path& path) {
    ::RemoveDirectoryW(SystemPath(path).c_str());
}

long CurrentProcessId() {
    return static_cast<long>(::GetCurrentProcessId());
}

int DuplicateDescriptor(int fd) {
    const int copy = ::_dup(fd);
    if (copy >= 0) {
        ::_setmode(copy, _O_BINARY);
    }
    return copy;
}

int BinaryInput(int fd) {
    ::_setmode(fd, _O_BINARY);
    return fd;
}

bool SeveralProcessors() {
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (!::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system)) {
        return std::thread::hardware_concurrency() > 1;
    }
    return (process & (process - 1)) != 0;
}

Path PathFromStoredName(std::string_view bytes) {
    return Path(Widen(IsValidUtf8(bytes) ? std::string(bytes) : Cp1251ToUtf8(bytes)));
}

std::string StoredNameFromPath(const Path& component) {
    return Narrow(component.native());
}

std::string PathString(const Path& path) {
    return Narrow(path.native());
}

Path PathFromText(std::string_view text) {
    return Path(Widen(IsValidUtf8(text) ? std::string(text) : Cp1251ToUtf8(text)));
}

bool NameComponentAllowed(std::string_view component) {
    if (component.empty() || component.back() == '.' || component.back() == ' ') {
        return false;
    }
    for (const char ch : component) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || std::string_view(":*?\"<>|").find(ch) != std::string_view::npos) {
            return false;
        }
    }
    // A device name stays a device with any extension and trailing spaces:
    // "NUL.txt" and "con " open the device, not a file.
    std::string base(component.substr(0, component.find('.')));
    while (!base.empty() && base.back() == ' ') {
        base.pop_back();
    }
    for (char& ch : base) {
        if (ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 'a' + 'A');
        }
    }
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
        base == "CONOUT$") {
        return false;
    }
    // COM1 to COM9 and LPT1 to LPT9, and the superscript digits Windows
    // also takes for them.
    if (base.size() >= 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)) {
        const std::string_view digit = std::string_view(base).substr(3);
        if ((digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" ||
            digit == "\xC2\xB2" || digit == "\xC2\xB3") {
            return false;
        }
    }
    return true;
}

}  // namespace tazu
