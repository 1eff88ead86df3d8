// The POSIX side of terminal/terminal.h: which streams are terminals, and
// Ctrl-C.
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "terminal/terminal.h"

namespace tazu::terminal {

bool StdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}
bool HasTerminal() {
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}
bool StdoutIsTerminal() {
    return ::isatty(STDOUT_FILENO) == 1;
}
bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

int TerminalColumns() {
    winsize size{};
    return ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
}

namespace {

volatile sig_atomic_t g_interrupted = 0;
void OnInterrupt(int) {
    g_interrupted = 1;
}

volatile sig_atomic_t g_line_shown = 0;
// A reader that went away (SIGPIPE) ends the process as before, but not
// with the progress line left on the terminal.
void OnBrokenPipe(int signal) {
    if (g_line_shown != 0) {
        [[maybe_unused]] const auto n = ::write(STDERR_FILENO, "\r\033[K", 4);
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

}  // namespace

void NoteProgressLineShown(bool shown) {
    static bool installed = false;
    if (shown && !installed) {
        struct sigaction sa {};
        sa.sa_handler = OnBrokenPipe;
        sigemptyset(&sa.sa_mask);
        struct sigaction old {};
        // Only where the pipe signal still ends the process.
        if (::sigaction(SIGPIPE, nullptr, &old) == 0 && old.sa_handler == SIG_DFL) {
            ::sigaction(SIGPIPE, &sa, nullptr);
        }
        installed = true;
    }
    g_line_shown = shown ? 1 : 0;
}

void InstallInterruptHandler() {
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
}

bool Interrupted() {
    return g_interrupted != 0;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

}  // namespace tazu::terminal
