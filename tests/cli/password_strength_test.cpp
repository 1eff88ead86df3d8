// The password command and the weak-password warning: the warning goes to
// standard error for a weak password only, never to standard output, and
// passphrases come out with the words asked for.
#include <sstream>

#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

class PasswordStrength : public CliTest {
  protected:
    PasswordStrength() {
        WriteFile(dir / "a.txt", "alpha");
        WriteFile(dir / "strong", "x7Rq2LmZ9pVw#4kT\n");
    }
    static bool Warns(const CliResult& r) {
        return r.err.find("пароль очень слабый") != std::string::npos;
    }
    static std::size_t WordCount(const std::string& line) {
        std::istringstream in(line);
        std::size_t n = 0;
        for (std::string w; in >> w;) {
            ++n;
        }
        return n;
    }
};

TEST_F(PasswordStrength, EncryptAndKeystorePasswdWarnAboutAWeakPasswordOnStderrOnly) {
    CliResult r = Cli("encrypt a.txt -o weak.shf " + Pw());
    ASSERT_EQ(r.status, 0) << r.err;  // a weak password still encrypts
    EXPECT_TRUE(Warns(r)) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // one line
    EXPECT_EQ(r.out.find("пароль"), std::string::npos) << r.out;
    // Standard output carrying the archive gets no warning either.
    r = Cli("encrypt a.txt -o - " + Pw() + " | cat >piped.shf");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Warns(r)) << r.err;
    EXPECT_EQ(ReadFile(dir / "piped.shf").find("пароль"), std::string::npos);

    r = Cli("encrypt a.txt -o strong.shf --password-file strong");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    ASSERT_EQ(Cli("keystore-new --keystore k.key").status, 0);
    r = Cli("keystore-passwd --keystore k.key " + Pw());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Warns(r)) << r.err;
    EXPECT_EQ(r.out.find("пароль"), std::string::npos) << r.out;
    WriteFile(dir / "old", "pw\n");
    r = Cli("keystore-passwd --keystore k.key --keystore-password-file old --password-file strong");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
}

TEST_F(PasswordStrength, PasswordPrintsTheEstimateAndGeneratesPassphrases) {
    CliResult r = Cli("password " + Pw());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("очень слабый: подбор ", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("у атакующего со 100 ядрами"), std::string::npos) << r.out;
    r = Cli("password --password-stdin", "x7Rq2LmZ9pVw#4kT\n");
    EXPECT_EQ(r.out.rfind("надёжный: подбор дольше 1000 лет\n", 0), 0u) << r.out;

    r = Cli("password --generate");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WordCount(r.out), 6u) << r.out;
    EXPECT_EQ(r.out.back(), '\n');
    const CliResult other = Cli("password --generate");
    EXPECT_NE(other.out, r.out);
    EXPECT_EQ(WordCount(Cli("password --generate --words 9").out), 9u);
    for (const char* bad : {"--generate --words 0", "--generate --words 25",
                            "--generate --words 5x", "--words 4", "--generate x"}) {
        r = Cli(std::string("password ") + bad);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_EQ(r.out, "") << bad;
    }
    EXPECT_EQ(Cli("password --generate " + Pw()).status, 2);
}

}  // namespace
}  // namespace tazu::test
