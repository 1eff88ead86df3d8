#include "terminal/password.h"

#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "terminal/terminal.h"

namespace tazu::terminal {
namespace {

// Room for the longest password plus its line end ("\r\n" in a file).
constexpr std::size_t kLineRoom = Str255::kCapacity + 2;

// A fixed buffer for password bytes, wiped when it goes.
struct SecretBuffer {
    char bytes[kLineRoom] = {};
    std::size_t size = 0;
    ~SecretBuffer() { explicit_bzero(bytes, sizeof bytes); }
};

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

// Echo off on fd for as long as it lives, with the settings restored on
// every way out: a normal return, and a signal that ends the process.
class QuietTerminal {
  public:
    explicit QuietTerminal(int fd) : fd_(fd) {
        if (::tcgetattr(fd, &g_saved_settings) != 0) {
            fd_ = -1;
            return;
        }
        struct sigaction sa {};
        sa.sa_handler = RestoreAndEnd;
        sigemptyset(&sa.sa_mask);
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            ::sigaction(kEndingSignals[i], &sa, &old_[i]);
        }
        g_quiet_fd = fd;
        termios quiet = g_saved_settings;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    ~QuietTerminal() {
        if (fd_ < 0) {
            return;
        }
        ::tcsetattr(fd_, TCSAFLUSH, &g_saved_settings);
        g_quiet_fd = -1;
        for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
            ::sigaction(kEndingSignals[i], &old_[i], nullptr);
        }
    }
    QuietTerminal(const QuietTerminal&) = delete;
    QuietTerminal& operator=(const QuietTerminal&) = delete;

  private:
    int fd_;
    struct sigaction old_[std::size(kEndingSignals)]{};
};

enum class LineRead { kLine, kEnd, kTooLong, kError };

// Reads one line from fd byte by byte (so nothing after it is consumed),
// without its line end, into buffer. A line longer than a password is
// refused; on a terminal the rest of it is read and dropped, elsewhere
// reading stops at once.
LineRead ReadLine(int fd, SecretBuffer& buffer, bool drain_long_line) {
    buffer.size = 0;
    bool any = false;
    for (;;) {
        char c = 0;
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return LineRead::kError;
        }
        if (got == 0) {
            return any ? (buffer.size > Str255::kCapacity ? LineRead::kTooLong : LineRead::kLine)
                       : LineRead::kEnd;
        }
        any = true;
        if (c == '\n') {
            return buffer.size > Str255::kCapacity ? LineRead::kTooLong : LineRead::kLine;
        }
        if (buffer.size <= Str255::kCapacity) {
            buffer.bytes[buffer.size++] = c;
        } else if (!drain_long_line) {
            return LineRead::kTooLong;
        }
    }
}

bool FromTerminal(const std::string& prompt, SecretBuffer& buffer, std::string& error) {
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error =
            "no password: there is no terminal to ask on; give --password-stdin, "
            "--password-file F or --password-file-raw F";
        return false;
    }
    LineRead got = LineRead::kError;
    {
        QuietTerminal quiet(fd);
        [[maybe_unused]] auto w = ::write(fd, prompt.data(), prompt.size());
        got = ReadLine(fd, buffer, /*drain_long_line=*/true);
    }
    ::close(fd);
    if (got == LineRead::kTooLong) {
        error = "the password is longer than 255 bytes";
    } else if (got != LineRead::kLine) {
        error = "no password was typed";
    }
    return got == LineRead::kLine;
}

bool FromStdin(SecretBuffer& buffer, std::string& error) {
    LineRead got = LineRead::kError;
    if (StdinIsTerminal()) {
        QuietTerminal quiet(STDIN_FILENO);
        ::fputs("Password: ", stderr);
        got = ReadLine(STDIN_FILENO, buffer, /*drain_long_line=*/true);
    } else {
        got = ReadLine(STDIN_FILENO, buffer, /*drain_long_line=*/false);
    }
    if (got == LineRead::kTooLong) {
        error = "the password on standard input is longer than 255 bytes";
    } else if (got != LineRead::kLine) {
        error = "no password on standard input";
    }
    return got == LineRead::kLine;
}

// The first line of the file (kFileLine) or all of it (kFileRaw), reading
// no more than a password and its line end can take.
bool FromFile(const PasswordSource& source, SecretBuffer& buffer, std::string& error) {
    const int fd = ::open(source.file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = "cannot read the password file " + source.file + ": " + std::strerror(errno);
        return false;
    }
    const bool line = source.kind == PasswordSource::Kind::kFileLine;
    const std::size_t room = line ? kLineRoom : Str255::kCapacity + 1;
    buffer.size = 0;
    const char* end = nullptr;
    while (buffer.size < room && end == nullptr) {
        const ssize_t got = ::read(fd, buffer.bytes + buffer.size, room - buffer.size);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = "cannot read the password file " + source.file + ": " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (got == 0) {
            break;
        }
        if (line) {
            end = static_cast<const char*>(std::memchr(buffer.bytes + buffer.size, '\n', got));
        }
        buffer.size += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (end != nullptr) {
        buffer.size = static_cast<std::size_t>(end - buffer.bytes);
        if (buffer.size > 0 && buffer.bytes[buffer.size - 1] == '\r') {
            --buffer.size;
        }
    }
    if (buffer.size > Str255::kCapacity) {
        error = "the password file " + source.file + " holds more than a password of 255 bytes" +
                (line ? " on its first line" : "");
        return false;
    }
    return true;
}

bool Read(const PasswordSource& source, const std::string& prompt, SecretBuffer& buffer,
          std::string& error) {
    switch (source.kind) {
        case PasswordSource::Kind::kTerminal:
            return FromTerminal(prompt, buffer, error);
        case PasswordSource::Kind::kStdin:
            return FromStdin(buffer, error);
        case PasswordSource::Kind::kFileLine:
        case PasswordSource::Kind::kFileRaw:
            return FromFile(source, buffer, error);
    }
    return false;
}

}  // namespace

bool ReadPassword(const PasswordSource& source, const std::string& prompt, bool confirm,
                  Str255& password, std::string& error, bool allow_empty) {
    SecretBuffer first;
    if (!Read(source, prompt, first, error)) {
        return false;
    }
    if (confirm && source.kind == PasswordSource::Kind::kTerminal) {
        SecretBuffer again;
        if (!Read(source, "Repeat: ", again, error)) {
            return false;
        }
        if (again.size != first.size || std::memcmp(again.bytes, first.bytes, first.size) != 0) {
            error = "the passwords do not match";
            return false;
        }
    }
    if (first.size == 0 && !allow_empty) {
        error = "the password is empty";
        return false;
    }
    password = Str255::FromBytes(first.bytes, first.size);
    return true;
}

}  // namespace tazu::terminal
