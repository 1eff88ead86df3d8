// The POSIX side of terminal/console.h: /dev/tty, and echo switched off
// with termios.
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <iterator>

#include "terminal/console.h"

namespace tazu::terminal {
namespace {

// The terminal a prompt switched echo off on, for the signal handler that
// switches it back on before the signal ends the process.
volatile sig_atomic_t g_quiet_fd = -1;
termios g_saved_settings{};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void RestoreAndEnd(int signal_number) {
    const int fd = g_quiet_fd;
    if (fd >= 0) {
        ::tcsetattr(fd, TCSAFLUSH, &g_saved_settings);
        [[maybe_unused]] auto w = ::write(fd, "\n", 1);
    }
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

// The signal actions that EchoOff replaced, for putting them back.
struct sigaction g_old_actions[std::size(kEndingSignals)]{};

}  // namespace

int OpenTerminal() {
    return ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
}

void CloseTerminal(int fd) {
    ::close(fd);
}

void WriteTerminal(int fd, std::string_view text) {
    [[maybe_unused]] auto w = ::write(fd, text.data(), text.size());
}

long ReadTypedByte(int fd, char* out) {
    return static_cast<long>(::read(fd, out, 1));
}

int OpenPasswordFile(const std::string& name) {
    return ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
}

EchoOff::EchoOff(int fd) : fd_(fd) {
    if (::tcgetattr(fd, &g_saved_settings) != 0) {
        fd_ = -1;
        return;
    }
    struct sigaction sa {};
    sa.sa_handler = RestoreAndEnd;
    sigemptyset(&sa.sa_mask);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        ::sigaction(kEndingSignals[i], &sa, &g_old_actions[i]);
    }
    g_quiet_fd = fd;
    termios quiet = g_saved_settings;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    ::tcsetattr(fd, TCSAFLUSH, &quiet);
}

EchoOff::~EchoOff() {
    if (fd_ < 0) {
        return;
    }
    ::tcsetattr(fd_, TCSAFLUSH, &g_saved_settings);
    g_quiet_fd = -1;
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        ::sigaction(kEndingSignals[i], &g_old_actions[i], nullptr);
    }
}

}  // namespace tazu::terminal
