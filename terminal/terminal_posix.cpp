// The POSIX side of terminal/terminal.h: which streams are terminals, and
// Ctrl-C.
#include <fcntl.h>
#include <signal.h>
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

namespace {

volatile sig_atomic_t g_interrupted = 0;
void OnInterrupt(int) {
    g_interrupted = 1;
}

}  // namespace

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
