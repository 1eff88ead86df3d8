// The dialogs' rules that need no window: proposed names, the order of the
// checks, the wrong-password rule and how names are shown.
#include "ui/dialog_rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "encrypt/archive_name.h"
#include "ui_logic_support.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

TEST(ProposedArchivePath, FilesFoldersAndTheRoot) {
    EXPECT_EQ(ProposedArchivePath("/a/b.txt", true, false), "/a/b.shf");
    EXPECT_EQ(ProposedArchivePath("/a/b.txt", true, true), "/a/b.exe");
    EXPECT_EQ(ProposedArchivePath("/a/b.tar.gz", true, false), "/a/b.tar.shf");
    EXPECT_EQ(ProposedArchivePath("/a/README", true, false), "/a/README.shf");
    EXPECT_EQ(ProposedArchivePath("/a/.bashrc", true, false), "/a/.bashrc.shf");
    EXPECT_EQ(ProposedArchivePath("/a/b.shf", true, false), "/a/b.shf");  // refused later
    EXPECT_EQ(ProposedArchivePath("/data/Docs", false, false), "/data/Docs.shf");
    EXPECT_EQ(ProposedArchivePath("/data/Docs/", false, true), "/data/Docs.exe");
    EXPECT_EQ(ProposedArchivePath("/data/v1.2", false, false), "/data/v1.2.shf");
    EXPECT_EQ(ProposedArchivePath("/", false, false), "/Disk(root).shf");
    EXPECT_EQ(ProposedArchivePath("/", false, true), "/Disk(root).exe");
}

TEST(ObjectDisplayText, FolderGetsItsWildcard) {
    EXPECT_EQ(ObjectDisplayText("/a/b.txt", true), "/a/b.txt");
    EXPECT_EQ(ObjectDisplayText("/data/Docs", false), "/data/Docs/*.*");
    EXPECT_EQ(ObjectDisplayText("/", false), "/*.*");
}

TEST(ArchiveName, UnusableNames) {
    TempFolder dir;
    const fs::path file = dir.path() / "a.txt";
    WriteAll(file, "x");
    fs::create_symlink(file, dir.path() / "link");
    EXPECT_TRUE(IsUnusableArchiveName("", "", file));
    EXPECT_TRUE(IsUnusableArchiveName("/tmp/", "/tmp/", file));
    EXPECT_TRUE(IsUnusableArchiveName(dir.path().string(), dir.path(), file));  // a folder
    EXPECT_TRUE(IsUnusableArchiveName(file.string(), file, file));              // itself
    EXPECT_TRUE(IsUnusableArchiveName("link", dir.path() / "link", file));      // through a link
    EXPECT_FALSE(IsUnusableArchiveName("a.shf", dir.path() / "a.shf", file));
    EXPECT_FALSE(IsUnusableArchiveName("a.shf", dir.path() / "new" / "a.shf", dir.path()));
}

TEST(ArchiveName, EachRefusalHasItsReason) {
    TempFolder dir;
    const fs::path file = dir.path() / "a.txt";
    WriteAll(file, "x");
    using P = ArchiveNameProblem;
    const P problems[] = {CheckArchiveName("", "", file), CheckArchiveName("/tmp/", "/tmp/", file),
                          CheckArchiveName(dir.path().string(), dir.path(), file),
                          CheckArchiveName(file.string(), file, file)};
    EXPECT_EQ(problems[0], P::kEmpty);
    EXPECT_EQ(problems[1], P::kEndsWithSeparator);
    EXPECT_EQ(problems[2], P::kExistingFolder);
    EXPECT_EQ(problems[3], P::kObjectItself);
    std::set<std::string_view> reasons;
    for (P p : problems) {
        EXPECT_FALSE(ArchiveNameReason(p).empty());
        reasons.insert(ArchiveNameReason(p));
    }
    EXPECT_EQ(reasons.size(), 4u);
}

// An archive chosen to be encrypted again proposes a name that is not its
// own (which would be refused); everything else proposes as the command
// line does.
TEST(ProposedDialogArchivePath, NeverTheObjectItself) {
    EXPECT_EQ(ProposedDialogArchivePath("/a/b.shf", true, false), "/a/b.shf.shf");
    EXPECT_EQ(ProposedDialogArchivePath("/a/b.exe", true, true), "/a/b.exe.exe");
    EXPECT_EQ(ProposedDialogArchivePath("/a/b.exe", true, false), "/a/b.shf");
    EXPECT_EQ(ProposedDialogArchivePath("/a/b.txt", true, false), "/a/b.shf");
    EXPECT_EQ(ProposedDialogArchivePath("/a/b.shf", false, false), "/a/b.shf.shf");  // a folder
    EXPECT_EQ(ProposedDialogArchivePath("/", false, false), "/Disk(root).shf");
}

TEST(CheckEncryptRequest, NameThenConfirmationThenPassword) {
    using P = EncryptRequestProblem;
    EXPECT_EQ(CheckEncryptRequest(true, true, true, true), P::kBadName);
    EXPECT_EQ(CheckEncryptRequest(false, true, true, false), P::kMismatch);
    EXPECT_EQ(CheckEncryptRequest(false, false, true, false), P::kNone);  // clear: not asked
    EXPECT_EQ(CheckEncryptRequest(false, false, true, true), P::kNoPassword);
    EXPECT_EQ(CheckEncryptRequest(false, true, false, true), P::kNoPassword);
}

TEST(Destination, ArchiveFolderWithItsSeparator) {
    EXPECT_EQ(ProposedDestination("/home/ann/x.shf"), "/home/ann/");
    EXPECT_EQ(ProposedDestination("/x.shf"), "/");
    EXPECT_EQ(ProposedDestination("x.shf"), "");
    EXPECT_EQ(WithFinalSeparator("/out"), "/out/");
    EXPECT_EQ(WithFinalSeparator("/out/"), "/out/");
    EXPECT_EQ(WithFinalSeparator(""), "");
}

TEST(WrongPasswordRule, FromTheFourthAttemptZeroSevenAndNineClose) {
    for (std::uint8_t draw = 0; draw < 10; ++draw) {
        ValueRandom random(draw);
        std::uint8_t counter = 0;
        for (int attempt = 1; attempt <= 3; ++attempt) {
            EXPECT_FALSE(WrongPasswordClosesDialog(counter, random));
        }
        EXPECT_EQ(counter, 3);
        EXPECT_EQ(WrongPasswordClosesDialog(counter, random), draw == 0 || draw == 7 || draw == 9)
            << int(draw);
    }
    ValueRandom random(3);
    std::uint8_t counter = 255;
    WrongPasswordClosesDialog(counter, random);
    EXPECT_EQ(counter, 255);  // no wrap back to a fresh start
}

TEST(VisibleText, ControlsMarksAndBadBytesAreEscaped) {
    EXPECT_EQ(VisibleText("Папка/a.txt"), "Папка/a.txt");
    EXPECT_EQ(VisibleText("a\nb"), "a\\x0Ab");
    EXPECT_EQ(VisibleText("\x1b[31mred\a"), "\\x1B[31mred\\x07");
    EXPECT_EQ(VisibleText("x\x7f"), "x\\x7F");
    EXPECT_EQ(VisibleText("\xc2\x85"), "\\u{0085}");                          // C1 next line
    EXPECT_EQ(VisibleText("abc\xe2\x80\xaetxt.exe"), "abc\\u{202E}txt.exe");  // override
    EXPECT_EQ(VisibleText("\xe2\x81\xa6x"), "\\u{2066}x");                    // isolate
    EXPECT_EQ(VisibleText("\xff\xc3"), "\\xFF\\xC3");                         // not UTF-8, cut
    EXPECT_EQ(VisibleText("\xc0\xaf"), "\\xC0\\xAF");                         // overlong
    EXPECT_EQ(VisibleText("\xed\xa0\x80"), "\\xED\\xA0\\x80");                // surrogate
    EXPECT_EQ(VisibleText("😀"), "😀");
}

}  // namespace
}  // namespace tazu::test
