// Pipes, output paths, listing and picking entries, the key store only
// where it is needed, and names that reach the terminal escaped.
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "program/process.h"
#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

class Pipes : public CliTest {
  protected:
    Pipes() {
        fs::create_directories(dir / "T" / "sub");
        WriteFile(dir / "T" / "one.txt", "first");
        WriteFile(dir / "T" / "sub" / "two.bin", std::string(3000, '\x07'));
        WriteFile(dir / "T" / ".hidden", "h");
    }
};

TEST_F(Pipes, TarThroughStandardInputAndOutput) {
    CliResult r = Shell("tar cf - T | TAZU encrypt - -o x.shf --name t.tar " + Pw());
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli("list x.shf " + Pw());
    EXPECT_NE(r.out.find("  нет  цел        t.tar\n"), std::string::npos) << r.out;
    fs::create_directories(dir / "back");
    r = Shell("TAZU decrypt x.shf --stdout " + Pw() + " | (cd back && tar xf -)");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ListTree(dir / "back" / "T"), ListTree(dir / "T"));
    EXPECT_EQ(r.out, "");
}

// Names of old Windows archives: kept as stored by default, converted from
// Windows-1251 with --names cp1251; a UTF-8 name stays as it is either way.
TEST_F(Pipes, Cp1251NamesOnlyWhenAsked) {
    const std::string old_name = "\xcf\xe8\xf1\xfc\xec\xee.txt";  // "Письмо.txt" in Windows-1251
    CliResult r =
        Shell("printf old | TAZU encrypt - -o old.shf --name " + Q(old_name) + " " + Pw());
    ASSERT_EQ(r.status, 0) << r.err;
    r = Shell("printf new | TAZU encrypt - -o new.shf --name Письмо.txt " + Pw());
    ASSERT_EQ(r.status, 0) << r.err;

    ASSERT_EQ(Cli("decrypt old.shf -d bytes " + Pw()).status, 0);
    EXPECT_EQ(ListTree(dir / "bytes"),
              (std::vector<std::pair<std::string, std::string>>{{old_name, "old"}}));
    r = Cli("decrypt old.shf -d converted --names cp1251 " + Pw());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(dir / "converted" / "Письмо.txt"), "old");
    ASSERT_EQ(Cli("decrypt new.shf -d converted --names cp1251 --on-exists skip " + Pw()).status,
              1);  // the same name: it exists, so it is skipped
    EXPECT_EQ(ReadFile(dir / "converted" / "Письмо.txt"), "old");

    r = Cli("decrypt old.shf -d x --names koi8 " + Pw());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--names принимает bytes или cp1251"), std::string::npos) << r.err;
}

TEST_F(Pipes, ArchivesThroughPipes) {
    CliResult r = Shell("TAZU encrypt T -o - " + Pw() + " | cat > piped.shf");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("Шифровывание успешно завершено"), std::string::npos);
    r = Shell("cat piped.shf | TAZU decrypt - -d out " + Pw());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ListTree(dir / "out" / "T"), ListTree(dir / "T"));
    // Data on standard input leave no room for the password there.
    r = Shell("cat piped.shf | TAZU decrypt - -d out2 --password-stdin");
    EXPECT_EQ(r.status, 2);
    // Nothing but the file on standard output with --stdout; a second file is refused.
    r = Cli("decrypt piped.shf --stdout T/one.txt " + Pw());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "first");
    r = Cli("decrypt piped.shf --stdout " + Pw());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");  // refused before anything was written
    EXPECT_NE(r.err.find("больше одного файла"), std::string::npos) << r.err;
    r = Shell("cat piped.shf | TAZU decrypt - --stdout " + Pw());
    EXPECT_EQ(r.status, 2);  // from a pipe it is found at the second file
}

TEST_F(Pipes, StandardInputReadsLikeTheFile) {
    // Several of the reader's buffers, in pieces of uneven size.
    std::string big;
    for (int i = 0; big.size() < (5u << 20); ++i) {
        big += std::to_string(static_cast<long long>(i) * 7919) + (i % 13 == 0 ? "\n" : " ");
    }
    WriteFile(dir / "big.bin", big);
    ASSERT_EQ(Cli("encrypt big.bin " + Pw()).status, 0);
    CliResult r = Shell("cat big.shf | TAZU decrypt - --stdout " + Pw() + " > piped.bin");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadFile(dir / "piped.bin") == big);
    for (const char* command : {"verify", "list"}) {
        r = Shell(std::string("cat big.shf | TAZU ") + command + " - " + Pw());
        EXPECT_EQ(r.status, 0) << command << r.err;
        EXPECT_EQ(r.out, Cli(std::string(command) + " big.shf " + Pw()).out) << command;
    }
    // A cut archive from a pipe is a cut archive.
    r = Shell("head -c 3000000 big.shf | TAZU verify - " + Pw());
    EXPECT_NE(r.status, 0) << r.err;
}

TEST_F(Pipes, OutputThroughALinkAndNeverOntoDevicesOrFifos) {
    fs::create_directories(dir / "real");
    fs::create_symlink("real/target.shf", dir / "link.shf");
    CliResult r = Cli("encrypt T/one.txt -o link.shf " + Pw());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(dir / "link.shf"));
    EXPECT_TRUE(fs::is_regular_file(dir / "real" / "target.shf"));
    r = Cli("encrypt T/one.txt -o link.shf --force " + Pw());  // replaced through the link
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_symlink(dir / "link.shf"));

    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_symlink("fifo", dir / "to-fifo");
    const bool device = ::mknod((dir / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    for (const char* target : {"fifo", "to-fifo", "null"}) {
        if (std::string(target) == "null" && !device) {
            continue;  // mknod is not permitted here
        }
        r = Cli(std::string("encrypt T/one.txt --force -o ") + target + " " + Pw());
        EXPECT_EQ(r.status, 2) << target;
        EXPECT_NE(r.err.find("не обычный файл"), std::string::npos) << r.err;
    }
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    if (device) {
        EXPECT_TRUE(fs::is_character_file(dir / "null"));
    }
}

TEST_F(Pipes, AnArchiveOverItsOwnSourceIsNamedAsSuch) {
    const CliResult r = Cli("encrypt T/one.txt -o T/one.txt --force " + Pw());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("архив заменил бы собственный источник"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFile(dir / "T" / "one.txt"), "first");
}

TEST_F(Pipes, ListAndPickEntries) {
    ASSERT_EQ(Cli("encrypt T " + Pw()).status, 0);
    CliResult r = Cli("list T.shf " + Pw());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "           1  нет  цел        \\T\\.hidden\n"
              "           5  нет  цел        \\T\\one.txt\n"
              "        3000  нет  цел        \\T\\sub\\two.bin\n");
    EXPECT_FALSE(fs::exists(dir / "T.shf.out"));
    r = Cli("decrypt T.shf -d out T/sub '\\T\\.hidden' " + Pw());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ListTree(dir / "out"),
              (std::vector<std::pair<std::string, std::string>>{
                  {"T/.hidden", "h"}, {"T/sub/two.bin", std::string(3000, '\x07')}}));
    r = Cli("decrypt T.shf -d out2 T/nothing " + Pw());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("нет в архиве: T/nothing"), std::string::npos) << r.err;
}

TEST_F(Pipes, ListsEveryGoldenArchive) {
    // The golden archives' version-07 entry uses this personal code.
    MakeKeyStore(dir / "a.key", Str255(std::string(160, 'p') + "code-A"), Str255("mark-A-1234"));
    WriteFile(dir / "golden-pw", "correct horse\n");
    SpeakEnglish();  // the list's English columns, as scripts of other locales read them
    for (int version = 0; version <= 7; ++version) {
        const std::string archive =
            Q(fs::path(TAZU_TEST_DATA_DIR) / ("golden-0" + std::to_string(version) + ".shf"));
        const CliResult r = Cli("list " + archive + " --keystore a.key --password-file golden-pw");
        EXPECT_EQ(r.status, 0) << version << r.err;
        const std::string pc = version == 7 ? "yes" : "no ";
        EXPECT_EQ(r.out,
                  "         300  no   intact   \\G\\a.txt\n"
                  "           8  " +
                      pc + "  intact   \\G\\Sub\\b\n")
            << version;
    }
}

TEST_F(Pipes, TheKeyStoreOnlyWhereItIsNeeded) {
    if (fs::exists(fs::path(TAZU_CLI_PATH).parent_path() / std::string(kKeyStoreFileName))) {
        GTEST_SKIP() << "a key store lies beside the program";
    }
    ASSERT_EQ(Cli("encrypt T " + Pw()).status, 0);
    EXPECT_EQ(Cli("decrypt T.shf -d out " + Pw()).status, 0);
    MakeKeyStore(dir / "a.key", Str255(std::string(130, 'a')), Str255("MARK-A"));
    ASSERT_EQ(Cli("encrypt T/one.txt -o p.shf --personal-code --keystore a.key " + Pw()).status, 0);
    const CliResult r = Cli("decrypt p.shf -d out3 " + Pw());
    EXPECT_EQ(r.status, 6);
    EXPECT_NE(r.err.find("Файл не совместим с данной копией программы\n"), std::string::npos);
    EXPECT_NE(r.err.find("укажите его через --keystore ПУТЬ"), std::string::npos) << r.err;
}

TEST_F(Pipes, HostileNamesReachTheTerminalEscaped) {
    // Controls, and a right-to-left override that would turn "txt.exe" around.
    const std::string name = "bad\x1b[31mred\x07\nline\u202Etxt.exe";
    fs::create_directories(dir / "H");
    WriteFile(dir / "H" / name, "x");
    ASSERT_EQ(Cli("encrypt H " + Pw()).status, 0);
    ASSERT_EQ(Cli("decrypt H.shf -d out " + Pw()).status, 0);
    EXPECT_EQ(ReadFile(dir / "out" / "H" / name), "x");  // the real name on disk
    const std::string shown = "bad\\x1B[31mred\\x07\\x0Aline\\u{202E}txt.exe";
    CliResult r = Cli("decrypt H.shf -d out " + Pw());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(shown + " - пропущен, уже существует"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.out.find("\u202E"), std::string::npos);
    r = Cli("list H.shf " + Pw());
    EXPECT_NE(r.out.find("\\H\\" + shown + "\n"), std::string::npos) << r.out;
    // The stub says the same.
    r = Shell(Q(TAZU_STUB_PATH) + " /filr:H.shf /parh:out", "pw\n");
    EXPECT_EQ(r.status, 1);  // the file was skipped: the run is not complete
    EXPECT_NE(r.out.find(shown + " - пропущен, уже существует"), std::string::npos) << r.out;
    for (const std::string raw : {"\x1b", "\x07", "\u202E"}) {
        EXPECT_EQ(r.out.find(raw), std::string::npos);
    }
}

TEST_F(Pipes, VersionAndHelpForEveryCommand) {
    EXPECT_EQ(Cli("--version").out.rfind("tazu16x32-cli ", 0), 0u);
    for (const char* command : {"encrypt", "decrypt", "verify", "list", "keystore-new",
                                "keystore-info", "keystore-passwd"}) {
        const CliResult a = Cli(std::string(command) + " --help");
        const CliResult b = Cli(std::string("help ") + command);
        EXPECT_EQ(a.status, 0) << command;
        EXPECT_EQ(a.out, b.out) << command;
        EXPECT_EQ(a.out.rfind(std::string("Использование: tazu16x32-cli ") + command, 0), 0u)
            << a.out;
    }
    EXPECT_EQ(Cli("help nothing").status, 2);
}

}  // namespace
}  // namespace tazu::test
