// The programs that handle secrets leave no core dump: each one, waiting for
// its password, is non-dumpable with a core-size limit of 0, though it was
// started with core dumps allowed.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cipher/platform.h"
#include "tests/support/test_files.h"

namespace tazu {
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

}  // namespace
}  // namespace tazu
