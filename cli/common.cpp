#include "cli/common.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "cipher/constants.h"
#include "cipher/platform.h"
#include "keystore/keystore_location.h"

namespace tazu::cli {

Args::Args(const std::vector<std::string>& argv, const std::vector<std::string>& value_options,
           const std::vector<std::string>& flags) {
    auto known = [](const std::vector<std::string>& list, const std::string& s) {
        return std::find(list.begin(), list.end(), s) != list.end();
    };
    bool only_positional = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (only_positional || a.empty() || a[0] != '-' || a == "-") {
            positional_.push_back(a);
        } else if (a == "--") {
            only_positional = true;
        } else if (known(value_options, a)) {
            if (i + 1 >= argv.size()) {
                error_ = a + " needs a value";
                return;
            }
            values_.emplace_back(a, argv[++i]);
        } else if (known(flags, a)) {
            flags_.push_back(a);
        } else {
            error_ = "unknown option " + a;
            return;
        }
    }
}

bool Args::Has(const std::string& name) const {
    return std::find(flags_.begin(), flags_.end(), name) != flags_.end() || Value(name).has_value();
}

std::optional<std::string> Args::Value(const std::string& name) const {
    std::optional<std::string> found;
    for (const auto& [k, v] : values_) {
        if (k == name) {
            found = v;  // the last one wins
        }
    }
    return found;
}

PasswordSource PasswordSourceFrom(const Args& args) {
    PasswordSource source;
    source.from_stdin = args.Has("--password-stdin");
    source.file = args.Value("--password-file").value_or("");
    return source;
}

bool StdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}
bool StderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

namespace {

// Reads one line from fd without its newline. False at end of input with
// nothing read.
bool ReadLineFd(int fd, std::string& line) {
    line.clear();
    char c = 0;
    bool any = false;
    for (;;) {
        const ssize_t got = ::read(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return any;
        }
        any = true;
        if (c == '\n') {
            return true;
        }
        line.push_back(c);
    }
}

// Asks on the controlling terminal with echo off.
bool AskHidden(const std::string& prompt, std::string& answer) {
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    termios old{};
    const bool has_termios = ::tcgetattr(fd, &old) == 0;
    if (has_termios) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    [[maybe_unused]] auto w = ::write(fd, prompt.data(), prompt.size());
    const bool ok = ReadLineFd(fd, answer);
    if (has_termios) {
        ::tcsetattr(fd, TCSAFLUSH, &old);
    }
    ::close(fd);
    return ok;
}

bool CheckLength(const std::string& bytes, std::string& error) {
    if (bytes.empty()) {
        error = "the password is empty";
        return false;
    }
    if (bytes.size() > Str255::kCapacity) {
        error = "the password is longer than 255 bytes";
        return false;
    }
    return true;
}

}  // namespace

bool ReadPassword(const PasswordSource& source, const std::string& prompt, bool confirm,
                  Str255& password, std::string& error, bool allow_empty) {
    std::string bytes;
    if (!source.file.empty()) {
        std::ifstream in(source.file, std::ios::binary);
        if (!in) {
            error = "cannot read the password file " + source.file;
            return false;
        }
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else if (source.from_stdin || !StdinIsTerminal()) {
        if (!ReadLineFd(STDIN_FILENO, bytes)) {
            error = "no password on standard input";
            return false;
        }
    } else {
        if (!AskHidden(prompt, bytes)) {
            error = "cannot ask for the password: no terminal";
            return false;
        }
        if (confirm) {
            std::string again;
            if (!AskHidden("Repeat: ", again) || again != bytes) {
                error = "the passwords do not match";
                return false;
            }
        }
    }
    if (!(allow_empty && bytes.empty()) && !CheckLength(bytes, error)) {
        return false;
    }
    password = Str255(bytes);
    std::fill(bytes.begin(), bytes.end(), '\0');
    return true;
}

bool AskYesNo(const std::string& question) {
    if (!StdinIsTerminal()) {
        return false;
    }
    std::cerr << question << " [y/N] " << std::flush;
    std::string answer;
    if (!ReadLineFd(STDIN_FILENO, answer)) {
        return false;
    }
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "да" || answer == "д";
}

std::filesystem::path KeyStorePath(const Args& args) {
    if (auto p = args.Value("--keystore")) {
        return *p;
    }
    return LocateKeyStore().path;
}

namespace {
volatile sig_atomic_t g_interrupted = 0;
void OnInterrupt(int) {
    g_interrupted = 1;
}

double Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

std::string Human(double bytes) {
    const char* units[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    int u = 0;
    while (bytes >= 1024 && u < 4) {
        bytes /= 1024;
        ++u;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, u == 0 ? "%.0f %s" : "%.1f %s", bytes, units[u]);
    return buf;
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

ProgressLine::ProgressLine(std::uint64_t total_bytes)
    : enabled_(StderrIsTerminal()), total_(total_bytes), start_(Now()) {}

void ProgressLine::Update(std::uint64_t bytes, std::uint64_t files) {
    if (!enabled_) {
        return;
    }
    const double now = Now();
    if (drawn_ && now - last_ < 0.1) {
        return;
    }
    last_ = now;
    drawn_ = true;
    const double elapsed = std::max(now - start_, 1e-3);
    const double rate = bytes / elapsed;
    std::string line = Human(static_cast<double>(bytes));
    if (total_ > 0) {
        const int pct = static_cast<int>(std::min<std::uint64_t>(100, bytes * 100 / total_));
        line += " / " + Human(static_cast<double>(total_)) + " (" + std::to_string(pct) + "%)";
    }
    line += ", files: " + std::to_string(files) + ", " + Human(rate) + "/s";
    if (total_ > bytes && rate > 0) {
        const auto left = static_cast<long long>((total_ - bytes) / rate);
        line += ", left " + std::to_string(left / 60) + ":" + (left % 60 < 10 ? "0" : "") +
                std::to_string(left % 60);
    }
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
}

void ProgressLine::Finish() {
    if (enabled_ && drawn_) {
        std::fprintf(stderr, "\r\033[K");
        std::fflush(stderr);
    }
}

void PrintError(const std::string& message) {
    std::cerr << "tazu16x32-cli: " << message << "\n";
}

}  // namespace tazu::cli
