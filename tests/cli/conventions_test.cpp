// The habits scripts bring from other tools: "--opt=value", "--", grouped
// short switches, an error for an option given twice, a suggestion for a
// typo; several archives in one call; names from list given back to decrypt;
// and the exit statuses of the cases that used to look complete.
#include "tests/cli/cli_run.h"

#include <unistd.h>

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

class Conventions : public CliTest {
  protected:
    Conventions() {
        fs::create_directories(dir / "D" / "Sub");
        WriteFile(dir / "D" / "a.txt", "alpha");
        WriteFile(dir / "D" / "tab\there.txt", "tab");
        WriteFile(dir / "D" / "bad\xffname.txt", "bad");
        WriteFile(dir / "D" / "Sub" / "deep.dat", "deep");
    }
};

TEST_F(Conventions, EqualsDoubleDashAndGroupedSwitches) {
    WriteFile(dir / "-weird", "odd name");
    EXPECT_EQ(Cli("encrypt --password-file=pw -- -weird").status, 0);
    EXPECT_TRUE(fs::exists(dir / "-weird.shf"));
    // -f, -q and -o grouped: the archive is replaced without a word.
    const CliResult q = Cli("encrypt -fqo -weird.shf --password-file pw -- -weird");
    EXPECT_EQ(q.status, 0) << q.err;
    EXPECT_EQ(q.out, "");
    const CliResult back = Cli("decrypt -weird.shf --stdout --password-file=pw", "");
    EXPECT_EQ(back.status, 2);  // an archive named -weird.shf must follow --
    EXPECT_EQ(Cli("decrypt --stdout --password-file=pw -- -weird.shf").out, "odd name");
}

TEST_F(Conventions, MistakesAreNamedAndNothingIsWritten) {
    CliResult r = Cli("encrypt D -o a.shf -o b.shf " + Pw());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("-o указан больше одного раза"), std::string::npos) << r.err;
    r = Cli("decript D.shf " + Pw());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("может быть, decrypt?"), std::string::npos) << r.err;
    r = Cli("encrypt D --pasword-file pw");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("может быть, --password-file?"), std::string::npos) << r.err;
    // The option after -d is not taken as the destination.
    r = Cli("decrypt D.shf -d --password-file pw");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("после -d нужно значение"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "--password-file"));
    for (const char* name : {"a.shf", "b.shf", "D.shf"}) {
        EXPECT_FALSE(fs::exists(dir / name)) << name;
    }
}

TEST_F(Conventions, NamesFromListComeBackThroughDecrypt) {
    ASSERT_EQ(Cli("encrypt D " + Pw()).status, 0);
    const CliResult list = Cli("list D.shf " + Pw());
    ASSERT_EQ(list.status, 0) << list.err;
    int lines = 0;
    for (std::size_t at = 0; at < list.out.size(); at = list.out.find('\n', at) + 1) {
        const std::string line = list.out.substr(at, list.out.find('\n', at) - at);
        const std::string shown =
            line.substr(line.find("цел        ") + std::string("цел        ").size());
        fs::remove_all(dir / "out");
        const CliResult r = Cli("decrypt D.shf " + Q(shown) + " -d out " + Pw());
        EXPECT_EQ(r.status, 0) << shown << r.err;
        int files = 0;
        for (const auto& e : fs::recursive_directory_iterator(dir / "out")) {
            files += e.is_regular_file() ? 1 : 0;
        }
        EXPECT_EQ(files, 1) << shown;
        ++lines;
    }
    EXPECT_EQ(lines, 4);
    // Raw bytes, the other separator and wildcards.
    fs::remove_all(dir / "out");
    EXPECT_EQ(
        Cli("decrypt D.shf " + Q("D/bad\xffname.txt") + " 'D\\Sub' 'D/t?b*' -d out " + Pw()).status,
        0);
    EXPECT_EQ(ReadFile(dir / "out" / "D" / "bad\xffname.txt"), "bad");
    EXPECT_EQ(ReadFile(dir / "out" / "D" / "Sub" / "deep.dat"), "deep");
    EXPECT_EQ(ReadFile(dir / "out" / "D" / "tab\there.txt"), "tab");
    EXPECT_FALSE(fs::exists(dir / "out" / "D" / "a.txt"));
    const CliResult none = Cli("decrypt D.shf 'D/*.none' -d out2 " + Pw());
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("нет в архиве: D/*.none"), std::string::npos) << none.err;
}

TEST_F(Conventions, SeveralArchivesInOneCallGiveTheWorstStatus) {
    WriteFile(dir / "D" / "big", std::string(200000, 'b'));
    ASSERT_EQ(Cli("encrypt D -o good.shf " + Pw()).status, 0);
    std::string bytes = ReadFile(dir / "good.shf");
    bytes[bytes.size() / 2] ^= 0x01;
    WriteFile(dir / "damaged.shf", bytes);
    CliResult r = Cli("verify good.shf damaged.shf " + Pw());
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_NE(r.out.find("good.shf: 0 выполнено"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("damaged.shf: 1 выполнено, но"), std::string::npos) << r.out;
    r = Cli("verify good.shf missing.shf damaged.shf " + Pw());
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.out.find("missing.shf: 4 "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("damaged.shf: 1 "), std::string::npos) << r.out;
    r = Cli("list good.shf good.shf -q " + Pw());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 10) << r.out;
}

TEST_F(Conventions, FailuresThatUsedToLookCompleteHaveTheirStatus) {
    ASSERT_EQ(Cli("encrypt D " + Pw()).status, 0);
    CliResult r = Cli("list D.shf " + Pw() + " >/dev/full");
    EXPECT_EQ(r.status, 7);
    EXPECT_NE(r.err.find("не удалось записать на стандартный вывод"), std::string::npos) << r.err;
    // A destination that is a file: one error before the run.
    WriteFile(dir / "file", "x");
    r = Cli("decrypt D.shf -d file/out " + Pw());
    EXPECT_EQ(r.status, 7);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    if (::geteuid() != 0) {  // a read-only folder does not stop root
        fs::create_directories(dir / "ro");
        fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec);
        r = Cli("decrypt D.shf -d ro " + Pw());
        EXPECT_EQ(r.status, 7);
        EXPECT_EQ(r.out, "");
        fs::permissions(dir / "ro", fs::perms::owner_all);
    }
}

}  // namespace
}  // namespace tazu::test
