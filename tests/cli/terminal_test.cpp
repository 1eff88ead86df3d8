// The password prompt on a real (pseudo-)terminal: the program is the
// terminal's foreground process, and echo is checked after it ended.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

// The program on a new pseudo-terminal as its controlling terminal.
class OnTerminal {
  public:
    OnTerminal(const fs::path& folder, const std::vector<std::string>& args, bool stdin_too,
               unsigned short columns = 80) {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = columns;
        if (::openpty(&master_, &slave_, nullptr, nullptr, &size) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setsid();
            ::ioctl(slave_, TIOCSCTTY, 0);
            if (stdin_too) {
                ::dup2(slave_, STDIN_FILENO);
            } else {
                const int null = ::open("/dev/null", O_RDONLY);
                ::dup2(null, STDIN_FILENO);
            }
            ::dup2(slave_, STDOUT_FILENO);
            ::dup2(slave_, STDERR_FILENO);
            ::close(master_);
            if (::chdir(folder.c_str()) != 0) {
                ::_exit(127);
            }
            std::vector<char*> argv{const_cast<char*>(TAZU_CLI_PATH)};
            for (const std::string& a : args) {
                argv.push_back(const_cast<char*>(a.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(TAZU_CLI_PATH, argv.data());
            ::_exit(127);
        }
    }
    ~OnTerminal() {
        if (pid_ > 0 && !waited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(master_);
        ::close(slave_);
    }
    bool Ok() const { return pid_ > 0; }

    // Reads what the terminal shows until text appears (or the time passes).
    bool WaitFor(const std::string& text,
                 std::chrono::milliseconds patience = std::chrono::seconds(10)) {
        const auto end = std::chrono::steady_clock::now() + patience;
        while (seen_.find(text) == std::string::npos && std::chrono::steady_clock::now() < end) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                char buf[256];
                const ssize_t got = ::read(master_, buf, sizeof buf);
                if (got > 0) {
                    seen_.append(buf, static_cast<std::size_t>(got));
                }
            }
        }
        return seen_.find(text) != std::string::npos;
    }
    void Type(const std::string& text) {
        [[maybe_unused]] auto w = ::write(master_, text.data(), text.size());
    }
    // The exit status, or 128 + the signal that ended it.
    int Wait() {
        int raw = 0;
        for (int i = 0; i < 200 && ::waitpid(pid_, &raw, WNOHANG) == 0; ++i) {
            WaitFor("\x01never", std::chrono::milliseconds(50));  // drains the terminal
        }
        waited_ = true;
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    bool EchoOn() const {
        termios t{};
        return ::tcgetattr(slave_, &t) == 0 && (t.c_lflag & ECHO) != 0;
    }
    const std::string& seen() const { return seen_; }

  private:
    int master_ = -1;
    int slave_ = -1;
    pid_t pid_ = -1;
    bool waited_ = false;
    std::string seen_;
};

class Terminal : public CliTest {
  protected:
    Terminal() { WriteFile(dir / "a.txt", "alpha"); }
};

TEST_F(Terminal, CtrlCAtThePromptLeavesEchoOn) {
    OnTerminal t(dir.path(), {"encrypt", "a.txt"}, false);
    ASSERT_TRUE(t.Ok());
    ASSERT_TRUE(t.WaitFor("Пароль: ")) << t.seen();
    t.Type("half");
    t.Type("\x03");  // the terminal's interrupt character
    EXPECT_EQ(t.Wait(), 128 + SIGINT);
    EXPECT_TRUE(t.EchoOn());
    EXPECT_FALSE(fs::exists(dir / "a.shf"));
}

TEST_F(Terminal, ThePromptAsksTwiceWithoutEcho) {
    OnTerminal t(dir.path(), {"encrypt", "a.txt"}, false);
    ASSERT_TRUE(t.Ok());
    ASSERT_TRUE(t.WaitFor("Пароль: "));
    t.Type("secret1\n");
    ASSERT_TRUE(t.WaitFor("Повторите: "));
    t.Type("secret1\n");
    EXPECT_EQ(t.Wait(), 0) << t.seen();
    EXPECT_EQ(t.seen().find("secret1"), std::string::npos) << t.seen();
    EXPECT_TRUE(t.EchoOn());
    EXPECT_TRUE(fs::exists(dir / "a.shf"));
}

TEST_F(Terminal, NoToTheReplaceQuestionIsACancel) {
    WriteFile(dir / "a.shf", "old");
    OnTerminal t(dir.path(), {"encrypt", "a.txt", "--password-file", "pw"}, true);
    ASSERT_TRUE(t.Ok());
    ASSERT_TRUE(t.WaitFor("Заменить файл? [д/Н] ")) << t.seen();
    t.Type("n\n");
    EXPECT_EQ(t.Wait(), 9) << t.seen();
    EXPECT_EQ(ReadFile(dir / "a.shf"), "old");
}

// The progress lines drawn: what follows each "clear the line" up to the
// next carriage return or line end, when it is a progress line.
std::vector<std::string> ProgressLines(const std::string& seen) {
    std::vector<std::string> lines;
    const std::string clear = "\r\033[K";
    for (std::size_t at = seen.find(clear); at != std::string::npos; at = seen.find(clear, at)) {
        at += clear.size();
        const std::string line = seen.substr(at, seen.find_first_of("\r\n", at) - at);
        if (!line.empty() && line[0] == '[') {
            lines.push_back(line);
        }
    }
    return lines;
}

TEST_F(Terminal, TheProgressLineFitsTheTerminalAndCountsOneFile) {
    for (const unsigned short columns : {30, 120}) {
        OnTerminal t(dir.path(), {"encrypt", "a.txt", "-f", "--password-file", "pw"}, false,
                     columns);
        ASSERT_TRUE(t.Ok());
        EXPECT_EQ(t.Wait(), 0) << t.seen();
        const std::vector<std::string> lines = ProgressLines(t.seen());
        ASSERT_FALSE(lines.empty()) << t.seen();
        for (const std::string& line : lines) {
            // Columns are characters (Russian letters take two bytes), and a
            // line cut to fit ends with a whole one.
            const auto characters = std::count_if(line.begin(), line.end(), [](char c) {
                return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            });
            EXPECT_LT(characters, columns) << line;
            EXPECT_LT(static_cast<unsigned char>(line.back()), 0xC0) << line;
        }
        if (columns > 100) {
            EXPECT_NE(lines.back().find("100%"), std::string::npos) << lines.back();
            EXPECT_NE(lines.back().find("файлов: 1"), std::string::npos) << lines.back();
        }
        // Cleared before the run's message.
        EXPECT_NE(t.seen().find("\r\033[KШифровывание успешно завершено"), std::string::npos);
    }
}

TEST_F(Terminal, PasswordStdinOnATerminalIsNotEchoed) {
    OnTerminal t(dir.path(), {"encrypt", "a.txt", "--password-stdin"}, true);
    ASSERT_TRUE(t.Ok());
    ASSERT_TRUE(t.WaitFor("Пароль: "));
    t.Type("secret2\n");
    EXPECT_EQ(t.Wait(), 0) << t.seen();
    EXPECT_EQ(t.seen().find("secret2"), std::string::npos) << t.seen();
    EXPECT_TRUE(t.EchoOn());
}

}  // namespace
}  // namespace tazu::test
