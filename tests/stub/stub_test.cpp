// The self-decrypting stub end to end: outputs made by the writer with the
// real stub in front, run as programs in fresh folders.
#include <sys/stat.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cipher/constants.h"
#include "cipher/random.h"
#include "decrypt/decrypt_object.h"
#include "encrypt/encrypt_object.h"
#include "keystore/keystore_file.h"
#include "program/process.h"
#include "tests/support/quiet_encrypt_host.h"
#include "tests/support/test_files.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;
using test::ListTree;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

const fs::path kStub = TAZU_STUB_PATH;
const Str255 kPassword("stub password");
const Str255 kPersonalCode(std::string(140, 'q'));
const Str255 kKeyMark("STUBMARK0123456789");

// Encrypts source into archive, with the stub in front when sfx.
void Encrypt(const fs::path& source, const fs::path& archive, bool sfx, bool personal = false) {
    EncryptRunState state;
    QuietEncryptHost host;
    SeededRandom random(99);
    EncryptCode code = EncryptCode::kOk;
    EncryptObjectOptions options;
    options.self_decrypting = sfx;
    options.stub_path = kStub;
    const EncryptMode mode =
        fs::is_directory(source) ? EncryptMode::kFolder : EncryptMode::kSingleFile;
    ASSERT_TRUE(EncryptObject(kPassword, kPersonalCode, personal ? kKeyMark : NoKeyMark(), archive,
                              source, personal, mode, code, {state, host, random}, options))
        << static_cast<int>(code);
    if (sfx) {
        fs::permissions(archive, fs::perms::owner_exec, fs::perm_options::add);
    }
}

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs a command with the given standard input, from folder.
RunResult RunIn(const fs::path& folder, const std::string& command, const std::string& input) {
    WriteFile(folder / "stdin.txt", input);
    const std::string line =
        "cd '" + folder.string() + "' && " + command + " < stdin.txt > stdout.txt 2> stderr.txt";
    const int raw = std::system(line.c_str());
    RunResult r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadFile(folder / "stdout.txt");
    r.err = ReadFile(folder / "stderr.txt");
    for (const char* name : {"stdin.txt", "stdout.txt", "stderr.txt"}) {
        fs::remove(folder / name);
    }
    return r;
}

void MakeTree(const fs::path& root) {
    fs::create_directories(root / "Sub" / "Deeper");
    WriteFile(root / "a.txt", "first file\n");
    WriteFile(root / "Sub" / "b.bin", std::string(5000, '\xF0') + "tail");
    WriteFile(root / "Sub" / "Deeper" / "empty", "");
    WriteFile(root / ".hidden", "hidden");
}

TEST(Stub, IsSmallAndNeedsNoQt) {
    EXPECT_LE(fs::file_size(kStub), 614400u);
    TempDir dir;
    const RunResult r = RunIn(dir.path(), "ldd '" + kStub.string() + "'", "");
    EXPECT_EQ(r.out.find("Qt"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("asan"), std::string::npos) << r.out;
}

TEST(Stub, SelfDecryptingFolderComesBackIdentical) {
    TempDir work;
    MakeTree(work / "Docs");
    Encrypt(work / "Docs", work / "Docs.exe", true);
    TempDir run;
    fs::copy_file(work / "Docs.exe", run / "Docs.exe");
    const RunResult r = RunIn(run.path(), "./Docs.exe /parh:out", kPassword.str() + "\n");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Расшифровка успешно завершена"), std::string::npos) << r.out;
    EXPECT_EQ(ListTree(run / "out" / "Docs"), ListTree(work / "Docs"));
}

TEST(Stub, DecryptsAPlainArchiveGivenWithFilr) {
    TempDir work;
    MakeTree(work / "Docs");
    Encrypt(work / "Docs" / "a.txt", work / "a.shf", false);
    const RunResult r =
        RunIn(work.path(), "'" + kStub.string() + "' /filr:a.shf /parh:" + (work / "x").string(),
              kPassword.str() + "\n");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(ReadFile(work / "x" / "a.txt"), "first file\n");
}

TEST(Stub, FailuresGiveTheirMessageAndStatus) {
    TempDir work;
    MakeTree(work / "Docs");
    Encrypt(work / "Docs", work / "Docs.exe", true);

    // Nothing appended: the stub alone.
    fs::copy_file(kStub, work / "bare.exe");
    RunResult r = RunIn(work.path(), "./bare.exe /parh:o1", kPassword.str() + "\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Зашифрованные данные не найдены"), std::string::npos) << r.err;

    // A wrong password writes nothing.
    r = RunIn(work.path(), "./Docs.exe /parh:o2", "wrong\n");
    EXPECT_EQ(r.status, 8);
    EXPECT_NE(r.out.find("Пароль введен неверно"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(work / "o2" / "Docs"));

    // No password at all (standard input empty, no terminal): said so, not
    // called a wrong password.
    r = RunIn(work.path(), "./Docs.exe /parh:o4", "");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Пароль не прочитан"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("Пароль введен неверно"), std::string::npos) << r.out;

    // A header record of the first entry damaged.
    std::string bytes = ReadFile(work / "Docs.exe");
    const std::size_t entry = fs::file_size(kStub);  // the first entry starts here
    bytes[entry + 14 + 255 + 10] ^= 0x55;            // inside the key-mark record
    WriteFile(work / "bad.exe", bytes);
    fs::permissions(work / "bad.exe", fs::perms::owner_exec, fs::perm_options::add);
    r = RunIn(work.path(), "./bad.exe /parh:o3", kPassword.str() + "\n");
    EXPECT_EQ(r.status, 5);
    EXPECT_NE(r.out.find("Файл поврежден"), std::string::npos) << r.out;
}

TEST(Stub, EmptyFolderEndsSuccessfullyWritingNothing) {
    TempDir work;
    fs::create_directories(work / "Empty" / "Sub");
    Encrypt(work / "Empty", work / "e.exe", true);
    EXPECT_EQ(fs::file_size(work / "e.exe"), fs::file_size(kStub) + 1);
    const RunResult r = RunIn(work.path(), "./e.exe /parh:out", kPassword.str() + "\n");
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("Расшифровка успешно завершена"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(work / "out"));
}

TEST(Stub, PersonalCodeNeedsTheKeyStoreBesideTheFile) {
    TempDir work;
    MakeTree(work / "Docs");
    Encrypt(work / "Docs", work / "p.exe", true, /*personal=*/true);

    RunResult r = RunIn(work.path(), "./p.exe /parh:without", kPassword.str() + "\n");
    EXPECT_EQ(r.status, 6);
    EXPECT_NE(r.out.find("Файл не совместим с данной копией программы"), std::string::npos);
    // The key store it needs is named.
    EXPECT_NE(r.out.find("положите ключ " + (work / std::string(kKeyStoreFileName)).string()),
              std::string::npos)
        << r.out;

    KeyStoreValues values;
    values.personal_code = kPersonalCode;
    values.key_mark = kKeyMark;
    SeededRandom random(5);
    ASSERT_EQ(WriteKeyStoreFile(work / std::string(kKeyStoreFileName), Str255(), values, random),
              KeyStoreSaveCode::kOk);
    r = RunIn(work.path(), "./p.exe /parh:with", kPassword.str() + "\n");
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(ListTree(work / "with" / "Docs"), ListTree(work / "Docs"));
}

TEST(Stub, TheProgramsReaderCallsASelfDecryptingOutputIncompatible) {
    TempDir work;
    MakeTree(work / "Docs");
    Encrypt(work / "Docs", work / "Docs.exe", true);
    test::RecordingHost host;
    DecryptRunState state;
    DecryptCode code = DecryptCode::kOk;
    DecryptObject(kPassword, kPersonalCode, kKeyMark, work / "Docs.exe", work / "out", host, state,
                  code);
    EXPECT_EQ(code, DecryptCode::kBadVersion);
}

}  // namespace
}  // namespace tazu::test
