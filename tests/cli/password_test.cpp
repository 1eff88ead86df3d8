// Where passwords come from: never from standard input unasked, the first
// line of a password file, every byte with --password-file-raw, and no
// more read than a password can be.
#include <chrono>

#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

class Passwords : public CliTest {
  protected:
    Passwords() {
        SpeakEnglish();  // the messages checked are the English ones
        WriteFile(dir / "a.txt", "alpha");
        WriteFile(dir / "b.txt", "beta");
    }
    int Opens(const std::string& archive, const std::string& password_options) {
        fs::remove_all(dir / "out");
        return Cli("decrypt " + archive + " -d out " + password_options).status;
    }
};

TEST_F(Passwords, AListReadInALoopNeverBecomesAPassword) {
    WriteFile(dir / "list", "a.txt\nb.txt\n");
    const CliResult r =
        Shell("while read f; do TAZU encrypt \"$f\"; echo \"status $?\"; done <list");
    EXPECT_EQ(r.out, "status 2\nstatus 2\n") << r.err;
    EXPECT_NE(r.err.find("no password"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "a.shf"));
    EXPECT_FALSE(fs::exists(dir / "b.shf"));
    // With a password file the loop works and the list is read whole.
    const CliResult ok = Shell("while read f; do TAZU encrypt \"$f\" " + Pw() + "; done <list");
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_TRUE(fs::exists(dir / "a.shf"));
    EXPECT_TRUE(fs::exists(dir / "b.shf"));
}

TEST_F(Passwords, AFileGivesItsFirstLineWithoutTheLineEnd) {
    ASSERT_EQ(Cli("encrypt a.txt " + Pw()).status, 0);
    WriteFile(dir / "bare", "pw");
    WriteFile(dir / "crlf", "pw\r\nsecond line\n");
    EXPECT_EQ(Opens("a.shf", "--password-file bare"), 0);
    EXPECT_EQ(Opens("a.shf", "--password-file crlf"), 0);
    EXPECT_EQ(Cli("decrypt a.shf -d out-stdin --password-stdin", "pw\n").status, 0);
    EXPECT_EQ(Opens("a.shf", "--password-file-raw bare"), 0);
    // Raw keeps every byte: "pw\n" is another password.
    EXPECT_EQ(Opens("a.shf", "--password-file-raw pw"), 8);
}

TEST_F(Passwords, RawFilesCarryAnyBytes) {
    WriteFile(dir / "raw", std::string("\n\0\xff pw\r\n", 7));
    ASSERT_EQ(Cli("encrypt a.txt --password-file-raw raw").status, 0);
    EXPECT_EQ(Opens("a.shf", "--password-file-raw raw"), 0);
    EXPECT_EQ(Opens("a.shf", "--password-file raw"), 2);  // its first line is empty
}

TEST_F(Passwords, OversizedInputIsRefusedQuickly) {
    WriteFile(dir / "huge", std::string(1 << 20, 'x'));
    WriteFile(dir / "long", std::string(256, 'x') + "\n");
    WriteFile(dir / "max", std::string(255, 'x') + "\n");
    const auto start = std::chrono::steady_clock::now();
    for (const char* options :
         {"--password-file huge", "--password-file-raw huge", "--password-file /dev/zero",
          "--password-file-raw /dev/zero", "--password-file long"}) {
        const CliResult r = Cli(std::string("encrypt a.txt ") + options);
        EXPECT_EQ(r.status, 2) << options;
        EXPECT_NE(r.err.find("255 bytes"), std::string::npos) << options << r.err;
    }
    const CliResult r = Cli("encrypt a.txt --password-stdin </dev/zero");
    EXPECT_EQ(r.status, 2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_FALSE(fs::exists(dir / "a.shf"));
    EXPECT_EQ(Cli("encrypt a.txt --password-file max").status, 0);
}

TEST_F(Passwords, UnreadablePasswordFilesAreNamed) {
    const CliResult r = Cli("encrypt a.txt --password-file missing");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("missing: No such file or directory"), std::string::npos) << r.err;
    WriteFile(dir / "empty", "");
    EXPECT_EQ(Cli("encrypt a.txt --password-file empty").status, 2);
}

TEST_F(Passwords, TheKeyStorePasswordFollowsTheSameRules) {
    WriteFile(dir / "kpw", "store secret\n");
    ASSERT_EQ(Cli("keystore-new --protect --keystore k.key --password-file kpw").status, 0);
    CliResult r = Cli("keystore-info --keystore k.key --keystore-password-file kpw");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Protected: yes"), std::string::npos);
    r = Cli("keystore-info --keystore k.key", "store secret\n");
    EXPECT_EQ(r.status, 3);  // not read from standard input unasked
    EXPECT_NE(r.err.find("--keystore-password-file"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tazu::test
