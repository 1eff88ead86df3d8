// Stored names and symbolic links can never make the reader write outside
// the destination folder.
#include <unistd.h>

#include "decrypt/output_target.h"
#include "tests/decrypt/decrypt_fixture.h"

namespace tazu::test {
namespace {

TEST(StoredName, UnsafeNamesAreRefused) {
    std::vector<std::string> parts;
    for (const std::string& name :
         {std::string("\\..\\x"), std::string("\\a\\..\\..\\x"), std::string("..\\x"),
          std::string("a/../../x"), std::string("C:\\x"), std::string("c:x"),
          std::string("\\\\srv\\s"), std::string("a\0b", 3), std::string(), std::string("\\"),
          std::string("."), std::string("a\\"), std::string("a\\.\\b"), std::string("//x")}) {
        EXPECT_FALSE(SplitStoredName(Str255(name), parts)) << name;
        EXPECT_TRUE(parts.empty());
    }
}

TEST(StoredName, SafeNamesSplitAtBothSeparators) {
    std::vector<std::string> parts;
    ASSERT_TRUE(SplitStoredName(Str255("\\Docs\\Sub/a..b.txt"), parts));
    EXPECT_EQ(parts, (std::vector<std::string>{"Docs", "Sub", "a..b.txt"}));
    ASSERT_TRUE(SplitStoredName(Str255("report.doc"), parts));
    EXPECT_EQ(JoinOutputPath("/out/", parts), std::filesystem::path("/out/report.doc"));
    EXPECT_EQ(JoinOutputPath("/", parts), std::filesystem::path("/report.doc"));
}

class Hostile : public DecryptFixture, public ::testing::WithParamInterface<int> {};

TEST_P(Hostile, NamesAreSkippedAndTheRunGoesOn) {
    const int version = GetParam();
    std::vector<StoredFile> files;
    const std::vector<std::string> names = {
        "\\..\\x", "\\a\\..\\..\\x",      "..\\x", "a/../../x", "C:\\x", "\\\\srv\\s", "\\",
        ".",       std::string("x\0y", 3)};
    for (const std::string& name : names) {
        files.push_back({name, "evil"});
    }
    files.push_back({"ok", "fine"});
    SeededRandom random(9);
    EXPECT_EQ(Run(WriteArchive(version, Password(), files, random)), DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), (Files{{"ok", "fine"}}));
    ASSERT_EQ(host.report.size(), names.size());
    const std::string prefix = version >= 5 ? "-) Файл: " : "Файл: ";
    EXPECT_EQ(host.report[0], prefix + "\\..\\x - пропущен, недопустимое имя");
    // The host is told each refusal with the stored bytes, whatever they hold.
    ASSERT_EQ(host.results.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(host.results[i], names[i] + ": skipped недопустимое имя");
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, Hostile, ::testing::Values(0, 3, 5, 7));

class Links : public DecryptFixture {
  protected:
    std::string Archive(const std::string& name) {
        SeededRandom random(10);
        return WriteArchive(7, Password(), {{name, "payload"}}, random);
    }
};

TEST_F(Links, ReplacingALinkReplacesTheLinkNotItsTarget) {
    std::filesystem::create_symlink(sentinel(), dest() / "a");
    host.answers = {ExistingFileChoice::Replace};
    EXPECT_EQ(Run(Archive("a")), DecryptCode::kEndOfData);
    EXPECT_FALSE(std::filesystem::is_symlink(dest() / "a"));
    EXPECT_EQ(ReadFile(dest() / "a"), "payload");
}

TEST_F(Links, SkippingALinkLeavesIt) {
    std::filesystem::create_symlink(sentinel(), dest() / "a");
    host.answers = {ExistingFileChoice::Skip};
    EXPECT_EQ(Run(Archive("a")), DecryptCode::kEndOfData);
    EXPECT_TRUE(std::filesystem::is_symlink(dest() / "a"));
}

TEST_F(Links, LinkedFolderOnTheWayIsNoAccess) {
    std::filesystem::create_directories(dir / "elsewhere");
    std::filesystem::create_directory_symlink(dir / "elsewhere", dest() / "Docs");
    EXPECT_EQ(Run(Archive("\\Docs\\a")), DecryptCode::kEndOfData);
    EXPECT_TRUE(std::filesystem::is_empty(dir / "elsewhere"));
    EXPECT_EQ(host.report, std::vector<std::string>{"-) Файл: " + (dest() / "Docs/a").string() +
                                                    " - пропущен, нет доступа"});
}

TEST_F(Links, ReadOnlyFolderIsNoAccessAndNothingLingers) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes everywhere";
    }
    std::filesystem::create_directories(dest() / "ro");
    std::filesystem::permissions(
        dest() / "ro", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(Run(Archive("\\ro\\a")), DecryptCode::kEndOfData);
    std::filesystem::permissions(dest() / "ro", std::filesystem::perms::owner_all);
    EXPECT_TRUE(std::filesystem::is_empty(dest() / "ro"));
    EXPECT_EQ(host.report.size(), 1u);
}

}  // namespace
}  // namespace tazu::test
