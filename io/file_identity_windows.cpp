// The Windows side of io/file_identity.h: the volume's serial number and
// the file index, which together name one file as device and inode do.
#include <io.h>
#include <windows.h>

#include "io/file_identity.h"
#include "io/native_windows.h"

namespace tazu {
namespace {

std::optional<FileIdentity> IdentityOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace

std::optional<FileIdentity> IdentityOf(int fd) {
    if (fd < 0) {
        return std::nullopt;
    }
    return IdentityOfHandle(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)));
}

std::optional<FileStamp> StampOf(int fd) {
    BY_HANDLE_FILE_INFORMATION info{};
    const HANDLE handle =
        fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &info)) {
        return std::nullopt;
    }
    const std::uint64_t written = (std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                  info.ftLastWriteTime.dwLowDateTime;
    return FileStamp{(std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
                     static_cast<std::int64_t>(written) * 100};
}

std::optional<FileIdentity> IdentityOf(const Path& path) {
    const HANDLE handle = ::CreateFileW(
        SystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const std::optional<FileIdentity> identity = IdentityOfHandle(handle);
    if (handle != INVALID_HANDLE_VALUE) {
        ::CloseHandle(handle);
    }
    return identity;
}

}  // namespace tazu
