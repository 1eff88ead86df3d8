// The key-store commands of tazu16x32-cli, run as a separate process in a
// temporary folder with passwords given on standard input or in files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include "keystore/keystore_layout.h"
#include "tests/keystore/keystore_test_util.h"

namespace tazu::test {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class KeyStoreCliTest : public ::testing::Test {
  protected:
    // Runs the companion with the given arguments (shell words) and input.
    CliRun Cli(const std::string& args, const std::string& input = "") {
        WriteText("stdin.txt", input);
        const std::string command = "'" TAZU_CLI_PATH "' " + args + " <'" + P("stdin.txt") +
                                    "' >'" + P("out.txt") + "' 2>'" + P("err.txt") + "'";
        CliRun run;
        const int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = ReadText("out.txt");
        run.err = ReadText("err.txt");
        return run;
    }

    std::string P(const std::string& name) const { return (dir_ / name).string(); }
    void WriteText(const std::string& name, const std::string& text) {
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }
    std::string ReadText(const std::string& name) {
        const test::Bytes b = test::ReadAll(dir_ / name);
        return std::string(b.begin(), b.end());
    }
    // The lines of keystore-info that name the key mark and the personal
    // code's size (the tests run in the C locale, so in Russian).
    inline static const std::string kMark = "Метка ключа: ";
    inline static const std::string kCode = "Персональный код: ";

    static std::string Line(const std::string& text, const std::string& key) {
        const auto at = text.find(key);
        return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
    }

    test::TempDir dir_;
    std::string ks_ = "--keystore '" + P("Tazu16x32.key") + "'";
};

TEST_F(KeyStoreCliTest, NewThenInfo) {
    CliRun r = Cli("keystore-new " + ks_);
    ASSERT_EQ(r.status, 0) << r.err;
    const test::Bytes made = test::ReadAll(dir_ / "Tazu16x32.key");
    EXPECT_EQ(made.size(), keystore_layout::kFileSize);

    r = Cli("keystore-info " + ks_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Защищен: нет"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Байт настроек: 0x18"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("скрывать пароли при вводе: вкл"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("шифровать с персональным кодом: выкл"), std::string::npos);
    EXPECT_EQ(Line(r.out, kMark).size(), kMark.size() + 18u) << r.out;
    const std::string code_line = Line(r.out, kCode);
    ASSERT_FALSE(code_line.empty()) << r.out;
    const int code_size = std::atoi(code_line.c_str() + kCode.size());
    EXPECT_GE(code_size, 128);
    EXPECT_LE(code_size, 255);

    // An existing store is only replaced with --force.
    r = Cli("keystore-new --settings 0x9b " + ks_);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("--force"), std::string::npos);
    EXPECT_EQ(test::ReadAll(dir_ / "Tazu16x32.key"), made);
    r = Cli("keystore-new --force --settings 155 " + ks_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(Cli("keystore-info " + ks_).out.find("Байт настроек: 0x9B"), std::string::npos);
}

TEST_F(KeyStoreCliTest, PasswdProtectsAndUnprotects) {
    ASSERT_EQ(Cli("keystore-new " + ks_).status, 0);
    const std::string mark = Line(Cli("keystore-info " + ks_).out, kMark);

    CliRun r = Cli("keystore-passwd --password-stdin " + ks_, std::string("s\xC3\xA9\x01z\n"));
    ASSERT_EQ(r.status, 0) << r.err;

    // Protected now: no password, a wrong one and the right one.
    r = Cli("keystore-info " + ks_);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("--keystore-password-file"), std::string::npos) << r.err;
    WriteText("wrong", "s");
    r = Cli("keystore-info --keystore-password-file '" + P("wrong") + "' " + ks_);
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("пароль введен неверно"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1);  // one line
    WriteText("right", std::string("s\xC3\xA9\x01z"));
    r = Cli("keystore-info --keystore-password-file '" + P("right") + "' " + ks_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Защищен: да"), std::string::npos);
    EXPECT_EQ(Line(r.out, kMark), mark);

    // An empty line removes protection again; the values stay.
    r = Cli("keystore-passwd --password-stdin --keystore-password-file '" + P("right") + "' " + ks_,
            "\n");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli("keystore-info " + ks_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Защищен: нет"), std::string::npos);
    EXPECT_EQ(Line(r.out, kMark), mark);
    EXPECT_NE(r.out.find("Байт настроек: 0x18"), std::string::npos);
}

TEST_F(KeyStoreCliTest, NewWithProtectionAndBadInput) {
    CliRun r = Cli("keystore-new --protect --password-stdin " + ks_, "pw\n");
    ASSERT_EQ(r.status, 0) << r.err;
    WriteText("pw", "pw");
    EXPECT_EQ(Cli("keystore-info --keystore-password-file '" + P("pw") + "' " + ks_).status, 0);

    // No input at all is no password, not an empty one.
    r = Cli("keystore-passwd --password-stdin --keystore-password-file '" + P("pw") + "' " + ks_);
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(Cli("keystore-info --keystore-password-file '" + P("pw") + "' " + ks_).status, 0);

    r = Cli("keystore-info --keystore '" + P("missing.key") + "'");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("файл ключа не найден"), std::string::npos) << r.err;
    WriteText("foreign.key", std::string(3000, 'x'));
    r = Cli("keystore-info --keystore '" + P("foreign.key") + "'");
    EXPECT_NE(r.err.find("неверная версия файла ключа"), std::string::npos) << r.err;

    for (const char* bad :
         {"--settings 256", "--settings 0x", "--settings x1", "--bogus", "extra-argument"}) {
        r = Cli(std::string("keystore-new --force ") + bad + " " + ks_);
        EXPECT_NE(r.status, 0) << bad;
        EXPECT_FALSE(r.err.empty()) << bad;
    }
}

}  // namespace
}  // namespace tazu::test
