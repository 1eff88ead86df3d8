// What the writer stores and what it leaves out, end to end: names the
// reader would refuse are refused before anything is written (or mapped
// when harmless), everything the walk passes over gets a report line and
// status 1, a source changed while read is reported, and a failed write
// names the file it failed on.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

class TrustNames : public CliTest {};

TEST_F(TrustNames, ALeadingDotSlashIsMappedAndComesBackIdentical) {
    CliResult r = Cli("encrypt - -o t.shf --name ./docs.tar " + Pw(), "tar bytes\n");
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli("list t.shf " + Pw());
    EXPECT_NE(r.out.find(" docs.tar\n"), std::string::npos) << r.out;
    r = Cli("decrypt t.shf -d out " + Pw());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(ReadFile(dir / "out" / "docs.tar"), "tar bytes\n");
}

TEST_F(TrustNames, NamesTheReaderWouldRefuseAreRefusedBeforeWriting) {
    const std::string too_long(256, 'n');
    for (const std::string name : {"docs.tar/", "a//b", "../x", "", too_long.c_str()}) {
        const CliResult r = Cli("encrypt - -o t.shf --name " + Q(name) + " " + Pw(), "data");
        EXPECT_EQ(r.status, 2) << name << r.err;
        EXPECT_NE(r.err.find("\"" + name + "\""), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir / "t.shf")) << name;
    }
    // Files whose own names are legal here but unsafe in an archive.
    for (const std::string name : {"c:notes.txt", "..\\x", "x\\", "Z:"}) {
        WriteFile(dir / name, "data");
        const CliResult r = Cli("encrypt " + Q(name) + " -o t.shf " + Pw());
        EXPECT_EQ(r.status, 2) << name << r.err;
        EXPECT_NE(r.err.find("(файл " + name + ") нельзя сохранить"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir / "t.shf")) << name;
    }
}

// The user who runs the program when a file must be unreadable to it:
// root reads everything, so a root run goes through "nobody".
std::string AsUserWhoCannotRead() {
    if (::geteuid() != 0) {
        return "";
    }
    if (std::system("command -v setpriv >/dev/null") != 0) {
        return "!";
    }
    return "setpriv --reuid=65534 --regid=65534 --clear-groups ";
}

TEST_F(TrustNames, EverythingTheWalkPassesOverIsReported) {
    fs::create_directories(dir / "real");
    WriteFile(dir / "real" / "inside.txt", "inside");
    fs::create_directories(dir / "sl");
    WriteFile(dir / "sl" / "plain.txt", "plain");
    WriteFile(dir / "sl" / "secret.txt", "secret");
    fs::permissions(dir / "sl" / "secret.txt", fs::perms::none);
    fs::create_directory_symlink("../real", dir / "sl" / "linkdir");
    fs::create_symlink("plain.txt", dir / "sl" / "linkfile");
    ASSERT_EQ(::mkfifo((dir / "sl" / "fifo").c_str(), 0600), 0);
    const std::string user = AsUserWhoCannotRead();
    if (user == "!") {
        GTEST_SKIP() << "running as root without setpriv: no user to whom a file is unreadable";
    }
    for (const fs::path& p : {dir.path(), dir / "sl", dir / "real"}) {
        fs::permissions(p, fs::perms::all);
    }
    fs::permissions(dir / "pw", fs::perms::owner_read | fs::perms::others_read);

    CliResult r = Shell(user + "TAZU encrypt sl -o sl.shf " + Pw());
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    const std::string base = (dir / "sl").string() + "/";
    EXPECT_NE(r.out.find(base + "linkdir- пропущен, ссылка на папку."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(base + "fifo- пропущен, ошибка чтения."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(base + "secret.txt- пропущен, ошибка чтения."), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Шифровывание успешно завершено"), std::string::npos) << r.out;

    // The link to a file is stored with its target's content.
    r = Cli("decrypt sl.shf -d out " + Pw());
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(ReadFile(dir / "out" / "sl" / "linkfile"), "plain");
    EXPECT_EQ(ReadFile(dir / "out" / "sl" / "plain.txt"), "plain");
    EXPECT_FALSE(fs::exists(dir / "out" / "sl" / "secret.txt"));
}

TEST_F(TrustNames, ASourceChangedWhileReadIsReported) {
    WriteFile(dir / "big.bin", std::string(1 << 20, 'b'));
    ::setenv("TAZU_TEST_CHANGE_SOURCE", "1", 1);  // the hook cuts the file once it is open
    const CliResult r = Cli("encrypt big.bin " + Pw());
    ::unsetenv("TAZU_TEST_CHANGE_SOURCE");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find((dir / "big.bin").string() + "- изменился во время чтения"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(Cli("verify big.shf " + Pw()).status, 0);  // stored as read, and intact
}

TEST_F(TrustNames, AFailedWriteNamesTheFileItFailedOn) {
    fs::create_directories(dir / "D");
    WriteFile(dir / "D" / "big", std::string(300000, 'x'));
    ASSERT_EQ(Cli("encrypt D " + Pw()).status, 0);
    // Files may not grow past 100 KiB: the write fails with EFBIG, not a signal.
    const CliResult r = Shell("trap '' XFSZ; ulimit -f 100; TAZU decrypt D.shf -d out " + Pw());
    EXPECT_EQ(r.status, 7) << r.err;
    // The file itself, with the room left when it failed.
    EXPECT_NE(r.err.find("не удалось записать out/D/big: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" свободно в out/D\n"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tazu::test
