// The Windows side of terminal/terminal.h: console streams, Ctrl-C through
// the console's control handler, and the UTF-16 command line.
#include <windows.h>
// shellapi.h needs the types of windows.h first.
#include <io.h>
#include <shellapi.h>

#include <atomic>
#include <cstdio>

#include "io/native.h"
#include "terminal/terminal.h"

namespace tazu::terminal {
namespace {

std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnControl(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
        g_interrupted = true;
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int TerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info) == 0) {
        return 0;
    }
    return info.srWindow.Right - info.srWindow.Left + 1;
}

// Windows has no pipe signal: a write to a closed pipe fails and the run
// ends through its usual way out, which clears the line.
void NoteProgressLineShown(bool) {}

namespace {

bool IsConsole(DWORD which) {
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(PathString(Path(wide[i])));
    }
    ::LocalFree(wide);
    return arguments;
}

bool StdinIsTerminal() {
    return IsConsole(STD_INPUT_HANDLE);
}
bool HasTerminal() {
    const HANDLE handle = ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD mode = 0;
    const bool console = ::GetConsoleMode(handle, &mode) != 0;
    ::CloseHandle(handle);
    return console;
}
bool StdoutIsTerminal() {
    return IsConsole(STD_OUTPUT_HANDLE);
}
bool StderrIsTerminal() {
    return IsConsole(STD_ERROR_HANDLE);
}

void InstallInterruptHandler() {
    ::SetConsoleCtrlHandler(OnControl, TRUE);
}

bool Interrupted() {
    return g_interrupted;
}

}  // namespace tazu::terminal
