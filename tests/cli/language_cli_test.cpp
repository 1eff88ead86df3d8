// The command line and the stub in English: a whole run, its report lines
// and its errors included, shows no Russian text.
#include <sys/stat.h>

#include <string>

#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

class EnglishRun : public CliTest {
  protected:
    EnglishRun() {
        fs::create_directories(dir / "D" / "S");
        WriteFile(dir / "D" / "a.txt", "alpha");
        WriteFile(dir / "D" / "S" / "big", std::string(20000, 'b'));
    }
    // Runs the program with an English locale (the tests run in C).
    CliResult English(const std::string& args, const std::string& input = "") {
        return Shell("LC_ALL=en_US.UTF-8 TAZU " + args, input);
    }
    // Both outputs, checked for Russian text.
    static std::string Shown(const CliResult& r) {
        const std::string all = r.out + r.err;
        EXPECT_FALSE(HasCyrillic(all)) << all;
        return all;
    }
};

TEST_F(EnglishRun, EncryptDecryptVerifyAndTheirErrorsAreEnglish) {
    ASSERT_EQ(::mkfifo((dir / "D" / "fifo").c_str(), 0600), 0);  // a file that cannot be read
    CliResult r = English("encrypt D " + Pw());
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(Shown(r).find("fifo - skipped, read error."), std::string::npos);
    EXPECT_NE(Shown(r).find("Encryption completed successfully"), std::string::npos);

    r = English("decrypt D.shf -d out " + Pw());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Decryption completed successfully\n");
    EXPECT_EQ(Shown(r).find("Personal code: No"), r.out.size()) << r.err;
    r = English("decrypt D.shf -d out " + Pw());
    EXPECT_NE(Shown(r).find("a.txt - skipped, already exists"), std::string::npos);
    EXPECT_EQ(English("verify D.shf " + Pw()).status, 0);
    Shown(English("list D.shf " + Pw()));

    WriteFile(dir / "other", "not pw\n");
    r = English("decrypt D.shf -d out2 --password-file other");
    EXPECT_EQ(r.status, 8);
    EXPECT_NE(Shown(r).find("Wrong password"), std::string::npos);

    std::string bytes = ReadFile(dir / "D.shf");
    bytes[bytes.size() - 10000] ^= 0x20;  // inside the data blocks of "big"
    WriteFile(dir / "D.shf", bytes);
    r = English("verify D.shf " + Pw());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(Shown(r).find("big - damaged"), std::string::npos);
    Shown(English("list D.shf " + Pw()));
    Shown(English("encrypt gone.txt " + Pw()));
    Shown(English("decrypt nothing.shf " + Pw()));
    Shown(English("keystore-info --keystore none.key"));
}

TEST_F(EnglishRun, TheStubSpeaksEnglishToo) {
    ASSERT_EQ(Cli("encrypt D " + Pw()).status, 0);
    const std::string stub = "LC_ALL=en_US.UTF-8 " + Q(TAZU_STUB_PATH);
    CliResult r = Shell(stub + " /filr:D.shf /parh:out", "pw\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Shown(r).find("Decryption completed successfully"), std::string::npos);
    r = Shell(stub + " /filr:D.shf /parh:out", "wrong\n");
    EXPECT_NE(Shown(r).find("Wrong password"), std::string::npos);
    r = Shell(stub + " /help");
    EXPECT_NE(Shown(r).find("decrypts a self-decrypting file"), std::string::npos);
    EXPECT_NE(Shown(Shell(stub)).find("No encrypted data found"), std::string::npos);
    // The same stub in the C locale keeps its Russian.
    EXPECT_TRUE(HasCyrillic(Shell(Q(TAZU_STUB_PATH) + " /help").err));
}

}  // namespace
}  // namespace tazu::test
