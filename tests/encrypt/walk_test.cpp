// Folder mode: stored names, order, and what the walk stores or skips.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "encrypt/encrypt_messages.h"
#include "encrypt/folder_listing.h"
#include "tests/encrypt/fixture.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Names(const ReadArchive& a) {
    std::vector<std::string> names;
    for (const ReadEntry& e : a.entries) {
        names.push_back(e.name);
    }
    return names;
}

class WalkTest : public WriterTest {
  protected:
    void SetUp() override {
        root = dir / "Docs";
        archive = dir / "Docs.shf";
        fs::create_directories(root);
    }
    fs::path root;
};

TEST_F(WalkTest, OwnFilesFirstThenEachSubfolderInByteOrder) {
    fs::create_directories(root / "b" / "deep");
    fs::create_directories(root / "a");
    fs::create_directories(root / "empty" / "emptier");
    WriteFile(root / "z.txt", "z");
    WriteFile(root / "B.txt", "B");
    WriteFile(root / ".hidden", "h");
    WriteFile(root / "b" / "deep" / "d", "d");
    WriteFile(root / "b" / "x", "x");
    WriteFile(root / "a" / "\xd0\xaf", "ya");  // not ASCII: sorted by bytes
    WriteFile(root / "a" / "A", "A");
    ASSERT_TRUE(Run(root, EncryptMode::kFolder));
    EXPECT_EQ(code, EncryptCode::kOk);
    const ReadArchive a = Read();
    EXPECT_EQ(Names(a), (std::vector<std::string>{
                            "\\Docs\\.hidden", "\\Docs\\B.txt", "\\Docs\\z.txt", "\\Docs\\a\\A",
                            "\\Docs\\a\\\xd0\xaf", "\\Docs\\b\\x", "\\Docs\\b\\deep\\d"}));
    EXPECT_EQ(a.entries[4].data, "ya");
    EXPECT_EQ(host.files, 7);
    EXPECT_TRUE(host.report.empty());
}

TEST_F(WalkTest, TrailingSlashAndDotsDoNotChangeTheNames) {
    WriteFile(root / "f", "1");
    ASSERT_TRUE(Run(root.string() + "/./", EncryptMode::kFolder));
    EXPECT_EQ(Names(Read()), std::vector<std::string>{"\\Docs\\f"});
}

TEST_F(WalkTest, EmptyTreeGivesTheSingleTrailerByte) {
    fs::create_directories(root / "x" / "y");
    ASSERT_TRUE(Run(root, EncryptMode::kFolder));
    EXPECT_EQ(ReadFile(archive), "\xff");
}

TEST_F(WalkTest, LinksToFilesAreStoredLinksToFoldersAreNotEntered) {
    WriteFile(dir / "outside.txt", "target bytes");
    fs::create_directories(root / "sub");
    fs::create_symlink(dir / "outside.txt", root / "link.txt");
    fs::create_symlink(root, root / "sub" / "loop");  // a cycle through a link
    fs::create_symlink(dir / "missing", root / "dangling");
    ASSERT_TRUE(Run(root, EncryptMode::kFolder));
    const ReadArchive a = Read();
    ASSERT_EQ(Names(a), std::vector<std::string>{"\\Docs\\link.txt"});
    EXPECT_EQ(a.entries[0].data, "target bytes");
    // Neither the broken link nor the link to a folder is left out silently.
    EXPECT_EQ(host.report,
              (std::vector<std::string>{ReadErrorReportLine((root / "dangling").string()),
                                        FolderLinkReportLine((root / "sub" / "loop").string())}));
}

TEST_F(WalkTest, FifoIsSkippedWithoutBeingOpened) {
    ASSERT_EQ(::mkfifo((root / "pipe").c_str(), 0600), 0);
    WriteFile(root / "plain", "p");
    ASSERT_TRUE(Run(root, EncryptMode::kFolder));  // would hang if the FIFO were opened
    EXPECT_EQ(Names(Read()), std::vector<std::string>{"\\Docs\\plain"});
    ASSERT_EQ(host.report.size(), 1u);
    EXPECT_EQ(host.report[0],
              "-) Файл: " + (root / "pipe").string() + "- пропущен, ошибка чтения.");
}

TEST_F(WalkTest, TheArchiveInsideTheFolderIsSkippedNotPacked) {
    archive = root / "self.shf";
    WriteFile(archive, "old archive");
    WriteFile(root / "data", "d");
    ASSERT_TRUE(Run(root, EncryptMode::kFolder));
    EXPECT_EQ(Names(Read()), std::vector<std::string>{"\\Docs\\data"});
    // The old archive and the temporary file (named after it) are both met
    // and skipped; one line names the archive, never the temporary file.
    EXPECT_EQ(host.report, std::vector<std::string>{ReadErrorReportLine(archive.string())});
    EXPECT_EQ(FolderNames(root).size(), 2u);  // no temporary file left

    // A new archive: only its temporary file is met, with the same one line.
    host.report.clear();
    fs::remove(archive);
    ASSERT_TRUE(Run(root, EncryptMode::kFolder));
    EXPECT_EQ(host.report, std::vector<std::string>{ReadErrorReportLine(archive.string())});
}

TEST_F(WalkTest, NamesThatCannotBeStoredAreSkippedWithALine) {
    const std::string long_dir(200, 'd');
    fs::create_directories(root / long_dir);
    WriteFile(root / long_dir / std::string(60, 'f'), "too long");  // 1+4+1+200+1+60 > 255
    WriteFile(root / long_dir / std::string(40, 'f'), "fits");
    WriteFile(root / "back\\slash", "b");
    ASSERT_TRUE(Run(root, EncryptMode::kFolder));
    const ReadArchive a = Read();
    ASSERT_EQ(a.entries.size(), 1u);
    EXPECT_EQ(a.entries[0].name, "\\Docs\\" + long_dir + "\\" + std::string(40, 'f'));
    EXPECT_EQ(host.report,
              (std::vector<std::string>{
                  InvalidNameReportLine((root / "back\\slash").string()),
                  InvalidNameReportLine((root / long_dir / std::string(60, 'f')).string())}));
}

TEST_F(WalkTest, UnreadableFileIsReportedAndTheRunSucceeds) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    WriteFile(root / "locked", "l");
    WriteFile(root / "open", "o");
    fs::permissions(root / "locked", fs::perms::none);
    ASSERT_TRUE(Run(root, EncryptMode::kFolder));
    EXPECT_EQ(code, EncryptCode::kOk);
    EXPECT_EQ(Names(Read()), std::vector<std::string>{"\\Docs\\open"});
    EXPECT_EQ(host.report,
              std::vector<std::string>{ReadErrorReportLine((root / "locked").string())});
    EXPECT_EQ(host.files, 2);
}

TEST_F(WalkTest, MissingFolderFailsWithNothingCreated) {
    EXPECT_FALSE(Run(dir / "nowhere", EncryptMode::kFolder));
    EXPECT_EQ(code, EncryptCode::kSourceUnreadable);
    EXPECT_FALSE(fs::exists(archive));
}

// 253 files: the chain is digested at the 127th and the 253rd; the reader
// helper rebuilds it and checks the trailer's signature over it.
TEST_F(WalkTest, EntryChainIsDigestedAtThe127thAnd253rdFile) {
    for (int i = 0; i < 253; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "%03d", i);
        WriteFile(root / name, "");
    }
    ASSERT_TRUE(Run(root, EncryptMode::kFolder));
    const ReadArchive a = Read();
    ASSERT_EQ(a.entries.size(), 253u);
    EXPECT_EQ(a.trailer_size, 3u);
}

// A listing larger than its first blocks keeps every name and kind, and
// sorts by unsigned bytes as std::string does.
TEST(FolderListingTest, ManyNamesAcrossBlocksSortByBytes) {
    SeededRandom random(3);
    FolderListing listing;
    std::vector<std::pair<std::string, FolderEntryKind>> expected;
    for (int i = 0; i < 20000; ++i) {
        std::string name(1 + random.Below(40), 'a');
        for (char& c : name) {
            c = static_cast<char>(1 + random.Below(255));  // any byte but NUL
        }
        const auto kind = static_cast<FolderEntryKind>(random.Below(5));
        listing.Add(name, kind);
        expected.emplace_back(name, kind);
    }
    listing.Add(std::string(255, '\xff'), FolderEntryKind::kFile);
    expected.emplace_back(std::string(255, '\xff'), FolderEntryKind::kFile);
    listing.Sort();
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    ASSERT_EQ(listing.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(listing.Name(i), expected[i].first) << i;
        const bool unique =
            (i == 0 || expected[i - 1].first != expected[i].first) &&
            (i + 1 == expected.size() || expected[i].first != expected[i + 1].first);
        if (unique) {  // equal names may come in either order
            ASSERT_EQ(listing.Kind(i), expected[i].second) << i;
        }
    }
}

}  // namespace
}  // namespace tazu::test
