// tazu16x32-cli encrypt as a user runs it: a key store made by keystore-new,
// the password on standard input, and the archive read back.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "keystore/keystore_file.h"
#include "tests/encrypt/support.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

class CliEncryptTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(Cli("keystore-new --keystore '" + store.string() + "'"), 0) << err;
        fs::create_directories(dir / "Docs" / "Sub");
        WriteFile(dir / "Docs" / "a.txt", "alpha");
        WriteFile(dir / "Docs" / "Sub" / "b.bin", std::string(600, '\x80'));
    }
    // Runs the program with the password "pw" on standard input; keeps its
    // output in out and err.
    int Cli(const std::string& arguments) {
        const std::string command = "printf 'pw\\n' | '" + std::string(TAZU_CLI_PATH) + "' " +
                                    arguments + " >'" + (dir / "out.txt").string() + "' 2>'" +
                                    (dir / "err.txt").string() + "'";
        const int status = std::system(command.c_str());
        out = ReadFile(dir / "out.txt");
        err = ReadFile(dir / "err.txt");
        fs::remove(dir / "out.txt");
        fs::remove(dir / "err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Encrypt(const std::string& extra) {
        return "encrypt --password-stdin --keystore '" + store.string() + "' " + extra;
    }

    TempDir dir;
    fs::path store = dir / "Tazu16x32.key";
    std::string out, err;
};

TEST_F(CliEncryptTest, FolderTreeWithTheDefaultName) {
    ASSERT_EQ(Cli(Encrypt("'" + (dir / "Docs").string() + "/'")), 0) << err;
    EXPECT_EQ(out, "Шифровывание успешно завершено\n");
    ReadArchive a;
    ASSERT_EQ(ReadWholeArchive(ReadFile(dir / "Docs.shf"), 0, Str255("pw"), Str255("x"), a), "");
    ASSERT_EQ(a.entries.size(), 2u);
    EXPECT_EQ(a.entries[0].name, "\\Docs\\a.txt");
    EXPECT_EQ(a.entries[1].name, "\\Docs\\Sub\\b.bin");
    EXPECT_EQ(a.entries[1].data, std::string(600, '\x80'));
    EXPECT_EQ(a.entries[1].key_mark, "000000000000000000");
}

TEST_F(CliEncryptTest, PersonalCodeFromTheKeyStore) {
    ASSERT_EQ(Cli(Encrypt("--personal-code -o '" + (dir / "x" / "a.bin").string() + "' '" +
                          (dir / "Docs" / "a.txt").string() + "'")),
              0)
        << err;
    KeyStoreValues values;
    ASSERT_EQ(ReadKeyStoreFile(store, Str255(), values), KeyStoreLoadCode::kOk);
    ReadArchive a;
    ASSERT_EQ(
        ReadWholeArchive(ReadFile(dir / "x" / "a.bin"), 0, Str255("pw"), values.personal_code, a),
        "");
    ASSERT_EQ(a.entries.size(), 1u);
    EXPECT_EQ(a.entries[0].name, "a.txt");
    EXPECT_EQ(a.entries[0].key_mark, values.key_mark.str());
    EXPECT_EQ(a.entries[0].data, "alpha");
}

TEST_F(CliEncryptTest, ExistingArchiveNeedsForce) {
    WriteFile(dir / "Docs" / "a.shf", "keep me");
    const std::string args = "'" + (dir / "Docs" / "a.txt").string() + "'";
    EXPECT_EQ(Cli(Encrypt(args)), 2);
    EXPECT_NE(err.find("--force"), std::string::npos);
    EXPECT_EQ(ReadFile(dir / "Docs" / "a.shf"), "keep me");
    EXPECT_EQ(Cli(Encrypt("--force " + args)), 0) << err;
    EXPECT_NE(ReadFile(dir / "Docs" / "a.shf"), "keep me");
}

TEST_F(CliEncryptTest, SelfDecryptingOutput) {
    WriteFile(dir / "stub", "STUB");
    const std::string source = "'" + (dir / "Docs" / "a.txt").string() + "'";
    ASSERT_EQ(Cli(Encrypt("--sfx --stub '" + (dir / "stub").string() + "' " + source)), 0) << err;
    const fs::path exe = dir / "Docs" / "a.exe";
    EXPECT_EQ(ReadFile(exe).substr(0, 18), "STUBTazu16x32.07.0");
    EXPECT_NE(fs::status(exe).permissions() & fs::perms::owner_exec, fs::perms::none);
    fs::remove(exe);
    EXPECT_EQ(Cli(Encrypt("--sfx --stub '" + (dir / "none").string() + "' " + source)), 11);
    EXPECT_NE(err.find("Модуль саморасшифровки не найден"), std::string::npos);
    EXPECT_FALSE(fs::exists(exe));
}

TEST_F(CliEncryptTest, MissingSourceGivesTheReadErrorAndNoArchive) {
    EXPECT_EQ(Cli(Encrypt("'" + (dir / "gone.txt").string() + "'")), 4);
    EXPECT_EQ(out, "-) Файл: " + (dir / "gone.txt").string() + "- пропущен, ошибка чтения.\n");
    EXPECT_NE(err.find("Ошибка чтения из файла"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "gone.shf"));
}

TEST_F(CliEncryptTest, MissingKeyStoreStopsOnlyARunWithThePersonalCode) {
    fs::remove(store);
    EXPECT_EQ(Cli(Encrypt("--personal-code '" + (dir / "Docs").string() + "'")), 3);
    EXPECT_NE(err.find("файл ключа не найден"), std::string::npos) << err;
    EXPECT_NE(err.find("keystore-new"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir / "Docs.shf"));
    // Without the personal code no key store is read at all.
    EXPECT_EQ(Cli(Encrypt("'" + (dir / "Docs").string() + "'")), 0) << err;
    ReadArchive a;
    ASSERT_EQ(ReadWholeArchive(ReadFile(dir / "Docs.shf"), 0, Str255("pw"), Str255("x"), a), "");
    EXPECT_EQ(a.entries.size(), 2u);
}

}  // namespace
}  // namespace tazu::test
