// The exit-status table row by row, each from a real run of the program.
#include <sys/stat.h>

#include "cipher/constants.h"
#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

class ExitStatus : public CliTest {
  protected:
    ExitStatus() {
        fs::create_directories(dir / "D" / "S");
        WriteFile(dir / "D" / "a.txt", "alpha");
        WriteFile(dir / "D" / "S" / "big", std::string(20000, 'b'));
    }
    // Encrypts D into D.shf; the archive's bytes.
    std::string MakeArchive() {
        const CliResult r = Cli("encrypt D " + Pw());
        EXPECT_EQ(r.status, 0) << r.err;
        return ReadFile(dir / "D.shf");
    }
    CliResult Decrypt(const std::string& extra = "") {
        return Cli("decrypt D.shf -d out " + Pw() + " " + extra);
    }
};

TEST_F(ExitStatus, CompleteRunsEndWithZero) {
    MakeArchive();
    const CliResult r = Decrypt();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Расшифровка успешно завершена\n");
    EXPECT_EQ(ReadFile(dir / "out" / "D" / "a.txt"), "alpha");
    EXPECT_EQ(Cli("verify D.shf " + Pw()).status, 0);
}

TEST_F(ExitStatus, ADamagedBlockCompletesWithOne) {
    std::string bytes = MakeArchive();
    bytes[bytes.size() - 10000] ^= 0x20;  // inside the data blocks of "big"
    WriteFile(dir / "D.shf", bytes);
    const CliResult r = Decrypt();
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("big - поврежден"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Расшифровка успешно завершена"), std::string::npos);
    EXPECT_EQ(fs::file_size(dir / "out" / "D" / "S" / "big"), 20000u);  // written all the same
    EXPECT_EQ(Cli("verify D.shf " + Pw()).status, 1);
}

TEST_F(ExitStatus, ADamagedEndOfTheArchiveIsFive) {
    std::string bytes = MakeArchive();
    bytes.back() ^= 0x01;
    WriteFile(dir / "D.shf", bytes);
    const CliResult r = Decrypt();
    EXPECT_EQ(r.status, 5) << r.err;
    EXPECT_NE(r.err.find("Файл поврежден"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("D.shf"), std::string::npos) << r.err;
}

TEST_F(ExitStatus, SkippedExistingAndNoAccessFilesCompleteWithOne) {
    MakeArchive();
    ASSERT_EQ(Decrypt().status, 0);
    CliResult r = Decrypt();  // no terminal: existing files are skipped
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("a.txt - пропущен, уже существует"), std::string::npos) << r.out;
    EXPECT_EQ(Decrypt("--on-exists replace").status, 0);

    // A folder where a file is to go: "нет доступа", even for root.
    fs::remove_all(dir / "out");
    fs::create_directories(dir / "out" / "D" / "a.txt");
    r = Decrypt();
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("a.txt - пропущен, нет доступа"), std::string::npos) << r.out;
    EXPECT_EQ(fs::file_size(dir / "out" / "D" / "S" / "big"), 20000u);
}

TEST_F(ExitStatus, UnreadableSources) {
    // The one file: nothing to write, 4, and the file named with the cause.
    CliResult r = Cli("encrypt gone.txt " + Pw());
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("Ошибка чтения из файла"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("gone.txt: нет такого файла или папки"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "gone.shf"));
    // A file of a folder that cannot be read (a FIFO): the run completes with 1.
    ASSERT_EQ(::mkfifo((dir / "D" / "fifo").c_str(), 0600), 0);
    r = Cli("encrypt D " + Pw());
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("fifo- пропущен, ошибка чтения."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Шифровывание успешно завершено"), std::string::npos);
    // An archive that is not there.
    r = Cli("decrypt nothing.shf " + Pw());
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.find("nothing.shf: нет такого файла или папки"), std::string::npos) << r.err;
}

TEST_F(ExitStatus, WrongPasswordIsEight) {
    MakeArchive();
    WriteFile(dir / "other", "not pw\n");
    const CliResult r = Cli("decrypt D.shf -d out --password-file other");
    EXPECT_EQ(r.status, 8);
    EXPECT_NE(r.err.find("Пароль введен неверно"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "out" / "D" / "a.txt"));
}

TEST_F(ExitStatus, AnotherKeyStoreIsSixWithAHint) {
    MakeKeyStore(dir / "a.key", Str255(std::string(130, 'a')), Str255("MARK-A"));
    MakeKeyStore(dir / "b.key", Str255(std::string(130, 'b')), Str255("MARK-B"));
    ASSERT_EQ(Cli("encrypt D --personal-code --keystore a.key " + Pw()).status, 0);
    CliResult r = Decrypt("--keystore b.key");
    EXPECT_EQ(r.status, 6);
    EXPECT_NE(r.err.find("Файл не совместим с данной копией программы"), std::string::npos);
    EXPECT_NE(r.err.find("--keystore"), std::string::npos) << r.err;
    r = Decrypt("--keystore a.key");
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(ExitStatus, UsageErrorsAreTwo) {
    EXPECT_EQ(Cli("encrypt D --no-such-option " + Pw()).status, 2);
    EXPECT_EQ(Cli("encrypt " + Pw()).status, 2);
    EXPECT_EQ(Cli("frobnicate").status, 2);
    EXPECT_EQ(Cli("").status, 2);
    EXPECT_EQ(Cli("decrypt D.shf --on-exists maybe " + Pw()).status, 2);
    const CliResult r = Cli("encrypt D --password-stdin " + Pw());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("укажите только один из"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "D.shf"));
}

TEST_F(ExitStatus, KeyStoreFailuresAreThree) {
    CliResult r = Cli("encrypt D --personal-code --keystore none.key " + Pw());
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("keystore-new --keystore none.key"), std::string::npos) << r.err;
    WriteFile(dir / "bad.key", std::string(600, 'x'));
    r = Cli("decrypt D.shf --keystore bad.key " + Pw());
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("bad.key"), std::string::npos) << r.err;
}

TEST_F(ExitStatus, WriteFailuresAreSevenWithTheCause) {
    fs::create_directories(dir / "folder.shf");
    const CliResult r = Cli("encrypt D -o folder.shf --force " + Pw());
    EXPECT_EQ(r.status, 7);
    EXPECT_NE(r.err.find("Ошибка записи на диск, возможно он переполнен"), std::string::npos);
    EXPECT_NE(r.err.find("\ntazu16x32-cli: не удалось записать folder.shf: это папка"),
              std::string::npos)
        << r.err;
}

TEST_F(ExitStatus, AnUnknownVersionIsTen) {
    WriteFile(dir / "x.shf", "Tazu16x32.09.0" + std::string(100, 'z'));
    const CliResult r = Cli("decrypt x.shf -d out " + Pw());
    EXPECT_EQ(r.status, 10);
    EXPECT_NE(r.err.find("Файл не совместим с данной версией программы"), std::string::npos);
}

TEST_F(ExitStatus, AnInterruptedRunIsNineAndLeavesNoArchive) {
    // Stopped while it waits for more input on a pipe.
    const CliResult r = Shell("(sleep 3; echo late) | TAZU encrypt - -o x.shf " + Pw() +
                              " & p=$!; sleep 0.7; kill -TERM $p; wait $p");
    EXPECT_EQ(r.status, 9) << r.err;
    EXPECT_NE(r.err.find("Шифрование прервано по желанию пользователя"), std::string::npos)
        << r.err;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        EXPECT_EQ(e.path().filename().string().find("x.shf"), std::string::npos) << e.path();
        EXPECT_EQ(e.path().filename().string().find(".part"), std::string::npos) << e.path();
    }
}

TEST_F(ExitStatus, AnInterruptedPipeNeverLooksComplete) {
    const CliResult r = Shell("(sleep 3; echo late) | TAZU encrypt - -o - " + Pw() +
                              " >piped.shf & p=$!; sleep 0.7; kill -TERM $p; wait $p");
    EXPECT_EQ(r.status, 9) << r.err;
    EXPECT_NE(Cli("decrypt piped.shf -d out " + Pw()).status, 0);  // no trailer: damaged
}

TEST_F(ExitStatus, TheTableIsInTheHelp) {
    CliResult r = Cli("--help");
    EXPECT_NE(r.out.find("   8  пароль введен неверно\n"), std::string::npos) << r.out;
    SpeakEnglish();
    r = Cli("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* row :
         {"   0  complete", "   1  complete, but", "   2  usage", "   3  key store",
          "   6  made with another", "  10  unknown archive version"}) {
        EXPECT_NE(r.out.find(row), std::string::npos) << row;
    }
    EXPECT_EQ(Cli("decrypt --help").out.find("Exit status:") == std::string::npos, false);
}

TEST_F(ExitStatus, TheManPageKeepsInStepWithTheHelp) {
    SpeakEnglish();  // the man page's language
    const std::string man = ReadFile(TAZU_MAN_PAGE);
    const std::string help = Cli("--help").out;
    const std::string table = help.substr(help.find("Exit status:\n") + 13);
    int rows = 0;
    for (std::size_t at = 0; at < table.size(); at = table.find('\n', at) + 1) {
        const std::string line = table.substr(at, table.find('\n', at) - at);
        const std::size_t text = line.find_first_not_of(' ', line.find_first_not_of(' ') + 2);
        const std::string number = line.substr(0, text);
        const std::string row =
            ".B " +
            number.substr(number.find_first_not_of(' '),
                          number.find_last_not_of(' ') - number.find_first_not_of(' ') + 1) +
            "\n" + line.substr(text) + "\n";
        EXPECT_NE(man.find(row), std::string::npos) << row;
        ++rows;
    }
    EXPECT_EQ(rows, 13);
    for (const char* command : {"encrypt", "decrypt", "verify", "list", "keystore-new",
                                "keystore-info", "keystore-passwd"}) {
        EXPECT_NE(man.find(std::string(".B tazu16x32-cli ") + command + "\n"), std::string::npos)
            << command;
        EXPECT_NE(help.find(std::string("tazu16x32-cli ") + command + " "), std::string::npos)
            << command;
    }
}

}  // namespace
}  // namespace tazu::test
