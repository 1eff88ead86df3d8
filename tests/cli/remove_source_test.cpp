// encrypt --remove-source: the stored files and the folders they leave empty
// go, only after the archive read back matches them; any doubt keeps all.
#include <sys/stat.h>

#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

class RemoveSource : public CliTest {
  protected:
    RemoveSource() {
        fs::create_directories(dir / "D" / "Sub" / "Deep");
        WriteFile(dir / "D" / "a.txt", "alpha");
        WriteFile(dir / "D" / "Sub" / "b.txt", std::string(100000, 'b'));
        WriteFile(dir / "D" / "Sub" / "Deep" / "c.txt", "gamma");
        WriteFile(dir / "beside.txt", "not chosen");
    }
    bool AllSourcesThere() const {
        return ReadFile(dir / "D" / "a.txt") == "alpha" &&
               fs::file_size(dir / "D" / "Sub" / "b.txt") >= 100000 &&
               ReadFile(dir / "D" / "Sub" / "Deep" / "c.txt") == "gamma";
    }
};

TEST_F(RemoveSource, TheStoredTreeGoesAndTheArchiveHoldsIt) {
    const CliResult r = Cli("encrypt D --remove-source " + Pw());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists(dir / "D"));
    EXPECT_EQ(ReadFile(dir / "beside.txt"), "not chosen");
    ASSERT_EQ(Cli("decrypt D.shf -d out " + Pw()).status, 0);
    EXPECT_EQ(ReadFile(dir / "out" / "D" / "Sub" / "Deep" / "c.txt"), "gamma");
    // One file: the file goes, its folder stays.
    EXPECT_EQ(Cli("encrypt beside.txt --remove-source " + Pw()).status, 0);
    EXPECT_FALSE(fs::exists(dir / "beside.txt"));
    EXPECT_TRUE(fs::exists(dir / "beside.shf"));
}

TEST_F(RemoveSource, AnyDoubtKeepsEverySource) {
    // The archive is damaged between writing and the check.
    CliResult r =
        Shell("T16X32_TEST_BEFORE_CHECK=archive TAZU encrypt D -f --remove-source " + Pw());
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.err.find("источники остаются"), std::string::npos) << r.err;
    EXPECT_TRUE(AllSourcesThere());
    // A file that changed after it was read.
    r = Shell("T16X32_TEST_BEFORE_CHECK=append:D/Sub/b.txt TAZU encrypt D -f --remove-source " +
              Pw());
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(AllSourcesThere());
    // A file that could not be stored (a FIFO is never read) stays, and so
    // does what the report leaves in doubt.
    ASSERT_EQ(::mkfifo((dir / "D" / "pipe").c_str(), 0600), 0);
    r = Cli("encrypt D -f --remove-source " + Pw());
    EXPECT_NE(r.status, 0);
    EXPECT_TRUE(fs::exists(dir / "D" / "pipe"));
    // Not with standard input or output.
    EXPECT_EQ(Cli("encrypt D -o - --remove-source " + Pw() + " >x").status, 2);
}

}  // namespace
}  // namespace tazu::test
