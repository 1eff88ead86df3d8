// The Windows side of terminal/console.h: the console's input (CONIN$),
// with echo switched off through its mode.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

#include "cipher/wipe.h"
#include "io/native.h"
#include "terminal/console.h"

namespace tazu::terminal {
namespace {

HANDLE HandleOf(int fd) {
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

// The UTF-8 bytes of the last character read from a console that are not
// handed out yet (a password's: wiped as they go).
char g_pending[8] = {};
int g_pending_size = 0;
int g_pending_at = 0;

// Reads one character from the console as UTF-8 into g_pending; the "\r"
// of the Enter key is dropped, its "\n" kept.
long ReadConsoleCharacter(HANDLE console) {
    for (;;) {
        wchar_t unit[2] = {};
        DWORD got = 0;
        if (!::ReadConsoleW(console, unit, 1, &got, nullptr)) {
            errno = EIO;
            return -1;
        }
        if (got == 0 || unit[0] == 0x1A) {  // nothing, or Ctrl-Z: the end
            return 0;
        }
        if (unit[0] == L'\r') {
            continue;
        }
        int units = 1;
        if (unit[0] >= 0xD800 && unit[0] <= 0xDBFF &&
            ::ReadConsoleW(console, unit + 1, 1, &got, nullptr) && got == 1) {
            units = 2;
        }
        g_pending_size = ::WideCharToMultiByte(CP_UTF8, 0, unit, units, g_pending, sizeof g_pending,
                                               nullptr, nullptr);
        WipeBytes(unit, sizeof unit);
        g_pending_at = 0;
        return g_pending_size > 0 ? 1 : 0;
    }
}

}  // namespace

long ReadTypedByte(int fd, char* out) {
    const HANDLE handle = HandleOf(fd);
    DWORD mode = 0;
    if (!::GetConsoleMode(handle, &mode)) {
        return ReadSome(fd, out, 1);
    }
    if (g_pending_at >= g_pending_size) {
        const long got = ReadConsoleCharacter(handle);
        if (got <= 0) {
            return got;
        }
    }
    *out = g_pending[g_pending_at];
    g_pending[g_pending_at++] = 0;
    return 1;
}

int OpenTerminal() {
    const HANDLE handle =
        ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return -1;
    }
    DWORD mode = 0;
    if (!::GetConsoleMode(handle, &mode)) {
        ::CloseHandle(handle);
        return -1;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_TEXT);
    if (fd < 0) {
        ::CloseHandle(handle);
    }
    return fd;
}

void CloseTerminal(int fd) {
    ::_close(fd);
}

void WriteTerminal(int /*fd*/, std::string_view text) {
    // The prompt goes to the console's screen, whatever standard error is.
    const HANDLE out =
        ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(out);
}

int OpenPasswordFile(const std::string& name) {
    return ::_wopen(PathFromText(name).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

EchoOff::EchoOff(int fd) : fd_(-1) {
    DWORD mode = 0;
    const HANDLE handle = HandleOf(fd);
    if (handle == INVALID_HANDLE_VALUE || !::GetConsoleMode(handle, &mode)) {
        return;
    }
    ::SetConsoleMode(handle, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    fd_ = fd;
    saved_mode_ = mode;
}

EchoOff::~EchoOff() {
    if (fd_ < 0) {
        return;
    }
    ::SetConsoleMode(HandleOf(fd_), saved_mode_);
    WriteTerminal(fd_, "\r\n");  // the line end that was not echoed
}

}  // namespace tazu::terminal
