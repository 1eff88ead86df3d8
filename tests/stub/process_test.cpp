// The programs as processes. Those that handle secrets leave no core dump:
// each one, waiting for its password, is non-dumpable with a core-size limit
// of 0, though it was started with core dumps allowed. A run killed half-way
// leaves a temporary file named after its target, and the next run in that
// folder removes it.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cipher/random.h"
#include "encrypt/encrypt_object.h"
#include "program/process.h"
#include "tests/support/test_files.h"

namespace tazu::test {
namespace {

// The "Max core file size" soft and hard limits of process pid, as
// /proc/pid/limits shows them ("0 0", "unlimited unlimited"), or "".
std::string CoreLimits(pid_t pid) {
    std::ifstream limits("/proc/" + std::to_string(pid) + "/limits");
    std::string line;
    while (std::getline(limits, line)) {
        if (line.rfind("Max core file size", 0) == 0) {
            std::istringstream fields(line.substr(std::string("Max core file size").size()));
            std::string soft, hard;
            fields >> soft >> hard;
            return soft + " " + hard;
        }
    }
    return "";
}

// Starts the program with core dumps allowed (up to the hard limit) and a
// standard input that never delivers anything, waits until its limits read
// "0 0" (5 s at most), stops it and returns the limits last seen.
std::string CoreLimitsOfWaitingProgram(std::vector<std::string> args) {
    int input[2];
    if (::pipe(input) != 0) {
        return "no pipe";
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        struct rlimit core {};
        ::getrlimit(RLIMIT_CORE, &core);
        core.rlim_cur = core.rlim_max;
        ::setrlimit(RLIMIT_CORE, &core);
        ::dup2(input[0], STDIN_FILENO);
        ::close(input[0]);
        ::close(input[1]);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(input[0]);
    std::string seen;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (pid > 0 && std::chrono::steady_clock::now() < deadline) {
        seen = CoreLimits(pid);
        if (seen == "0 0") {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    ::close(input[1]);
    return seen;
}

TEST(CoreDumps, TheProtectionMakesTheProcessNonDumpableWithoutCores) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        struct rlimit core {};
        ::getrlimit(RLIMIT_CORE, &core);
        core.rlim_cur = core.rlim_max;
        ::setrlimit(RLIMIT_CORE, &core);
        const bool ok = KeepSecretsOutOfCoreDumps();
        ::getrlimit(RLIMIT_CORE, &core);
        ::_exit(ok && ::prctl(PR_GET_DUMPABLE) == 0 && core.rlim_cur == 0 && core.rlim_max == 0
                    ? 0
                    : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(CoreDumps, TheCommandLineProtectsItselfBeforeAskingForAPassword) {
    test::TempDir dir;
    EXPECT_EQ(
        CoreLimitsOfWaitingProgram({TAZU_CLI_PATH, "keystore-new", "--protect", "--password-stdin",
                                    "--keystore", (dir / "Tazu16x32.key").string()}),
        "0 0");
}

TEST(CoreDumps, TheStubProtectsItselfBeforeAskingForAPassword) {
    test::TempDir dir;
    test::WriteFile(dir / "a.shf", "");
    EXPECT_EQ(CoreLimitsOfWaitingProgram({TAZU_STUB_PATH, "/filr:" + (dir / "a.shf").string(),
                                          "/parh:" + (dir / "out").string()}),
              "0 0");
}

// Once a MiB is encrypted, signals the test and waits to be killed.
class StoppingHost final : public EncryptHost {
  public:
    explicit StoppingHost(int signal_fd) : signal_fd_(signal_fd) {}
    void AddBytesProcessed(std::int64_t count) override {
        if ((done_ += count) < (1 << 20)) {
            return;
        }
        [[maybe_unused]] const ssize_t sent = ::write(signal_fd_, "x", 1);
        for (;;) {
            ::pause();
        }
    }
    void AddFileEncrypted() override {}
    void ProcessEvents() override {}
    void AppendReport(const std::string&) override {}

  private:
    int signal_fd_;
    std::int64_t done_ = 0;
};

TEST(KilledRun, LeavesATemporaryFileNamedAfterItsTargetThatTheNextRunRemoves) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    test::WriteFile(dir / "big.dat", std::string(8 << 20, 'b'));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        EncryptRunState state;
        StoppingHost host(ready[1]);
        SeededRandom random(1);
        EncryptCode code = EncryptCode::kOk;
        EncryptObject(Str255("pw"), Str255("code"), Str255("mark"), dir / "big.shf",
                      dir / "big.dat", false, EncryptMode::kSingleFile, code,
                      {state, host, random});
        ::_exit(1);
    }
    ::close(ready[1]);
    char got = 0;
    const bool stopped = ::read(ready[0], &got, 1) == 1;
    ::close(ready[0]);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(stopped);
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 2u);
    const std::string leftover = names[1];
    EXPECT_EQ(leftover.rfind("big.shf.tazu16x32-" + std::to_string(child) + "-", 0), 0u)
        << leftover;
    EXPECT_EQ(leftover.substr(leftover.size() - 5), ".part");
    EXPECT_GT(fs::file_size(dir / leftover), 0u);

    // The next run in the folder (here the command line making a key store).
    const std::string next = "'" + std::string(TAZU_CLI_PATH) + "' keystore-new --keystore '" +
                             (dir / "Tazu16x32.key").string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(next.c_str()), 0);
    EXPECT_TRUE(fs::exists(dir / "Tazu16x32.key"));
    EXPECT_FALSE(fs::exists(dir / leftover));
    EXPECT_TRUE(fs::exists(dir / "big.dat"));
}

}  // namespace
}  // namespace tazu::test
