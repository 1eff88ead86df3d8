// Windows' path rules, which the Windows build's WidePath follows: joining,
// the parent folder and the last component with drives, server roots and
// both separators. And the file system queries of io/native.h, on the
// system the tests run on.
#include <gtest/gtest.h>

#include <string>

#include "io/native.h"
#include "io/wide_path.h"
#include "tests/support/test_files.h"

namespace tazu::test {
namespace {

std::wstring Join(const wchar_t* left, const wchar_t* right) {
    return (WidePath(left) / WidePath(right)).native();
}

TEST(WidePath, JoinsLikeWindowsPaths) {
    EXPECT_EQ(Join(L"C:\\a", L"b"), L"C:\\a\\b");
    EXPECT_EQ(Join(L"C:\\a\\", L"b"), L"C:\\a\\b");  // one separator at the joint
    EXPECT_EQ(Join(L"C:/a/", L"b"), L"C:/a/b");
    EXPECT_EQ(Join(L"", L"b"), L"b");               // no leading separator
    EXPECT_EQ(Join(L"C:", L"b"), L"C:b");           // the drive's current folder
    EXPECT_EQ(Join(L"C:\\a", L"D:\\b"), L"D:\\b");  // absolute replaces
    EXPECT_EQ(Join(L"C:\\a", L"D:b"), L"D:b");      // another drive replaces
    EXPECT_EQ(Join(L"C:\\a", L"\\b"), L"C:\\b");    // root folder keeps the drive
    EXPECT_EQ(Join(L"C:\\a", L"\\\\srv\\s"), L"\\\\srv\\s");
    EXPECT_EQ(Join(L"\\\\srv\\share", L"x"), L"\\\\srv\\share\\x");
}

TEST(WidePath, ParentAndFileName) {
    struct Case {
        const wchar_t* path;
        const wchar_t* parent;
        const wchar_t* name;
    };
    for (const Case& c :
         {Case{L"C:\\a\\b.txt", L"C:\\a", L"b.txt"}, Case{L"C:\\a", L"C:\\", L"a"},
          Case{L"C:\\", L"C:\\", L""}, Case{L"C:", L"C:", L""}, Case{L"C:x", L"C:", L"x"},
          Case{L"a", L"", L"a"}, Case{L"a/b", L"a", L"b"}, Case{L"a\\\\b", L"a", L"b"},
          Case{L"a\\b\\", L"a\\b", L""}, Case{L"\\\\srv\\share\\x", L"\\\\srv\\share", L"x"},
          Case{L"\\\\?\\C:\\x", L"\\\\?\\C:", L"x"}}) {
        const WidePath path(c.path);
        EXPECT_EQ(path.parent_path().native(), c.parent) << path.native().size();
        EXPECT_EQ(path.filename().native(), c.name) << path.native().size();
    }
}

TEST(WidePath, EveryParentChainEnds) {
    // Making a folder's missing parents walks up until the parent is empty
    // or the path itself.
    for (const wchar_t* text : {L"C:\\a\\b\\c", L"a\\b", L"\\\\srv\\share\\x\\y", L"C:x\\y",
                                L"\\a\\b", L"\\\\?\\C:\\a"}) {
        WidePath path(text);
        int steps = 0;
        while (!path.empty() && !(path.parent_path() == path) && steps < 10) {
            path = path.parent_path();
            ++steps;
        }
        EXPECT_LT(steps, 10) << std::wstring(text).size();
    }
}

TEST(WidePath, AbsoluteOnlyWithRootAndFolder) {
    EXPECT_TRUE(WidePath(L"C:\\x").is_absolute());
    EXPECT_TRUE(WidePath(L"c:/x").is_absolute());
    EXPECT_TRUE(WidePath(L"\\\\srv\\share").is_absolute());
    EXPECT_FALSE(WidePath(L"C:x").is_absolute());
    EXPECT_FALSE(WidePath(L"\\x").is_absolute());
    EXPECT_FALSE(WidePath(L"x\\y").is_absolute());
    EXPECT_FALSE(WidePath(L"1:\\x").is_absolute());
    EXPECT_TRUE(WidePath(L"C:/a\\b") == WidePath(L"C:\\a/b"));
    EXPECT_FALSE(WidePath(L"C:\\a") == WidePath(L"C:\\A"));
}

TEST(NativeFileQueries, LookSizeAndMakeFolders) {
    TempDir dir;
    WriteFile(dir / "f", "12345");
    const Path file = dir / "f";
    const Path missing = dir / "missing";
    EXPECT_EQ(LookAt(file), PathState::kPresent);
    EXPECT_EQ(LookAt(missing), PathState::kMissing);
    EXPECT_EQ(LookAt(missing / PathFromText("below")), PathState::kMissing);
    EXPECT_EQ(FileSizeOf(file), std::optional<std::uint64_t>(5));
    EXPECT_FALSE(FileSizeOf(missing));
    EXPECT_FALSE(FileSizeOf(dir.path()));  // a folder has no file size

    int error = 0;
    const Path deep = dir / "a" / "b" / "c";
    EXPECT_TRUE(MakeFolders(deep, error));
    EXPECT_TRUE(MakeFolders(deep, error));  // already there
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(deep)));
    EXPECT_FALSE(MakeFolders(file / PathFromText("x"), error));  // a file on the way
    EXPECT_NE(error, 0);
    error = 0;
    EXPECT_FALSE(MakeFolders(file, error));  // a file, not a folder
    EXPECT_NE(error, 0);

    RemoveEmptyFolder(dir / "a");  // not empty: stays
    EXPECT_EQ(LookAt(dir / "a"), PathState::kPresent);
    RemoveEmptyFolder(deep);
    EXPECT_EQ(LookAt(deep), PathState::kMissing);

    const Path absolute = AbsolutePath(PathFromText("rel"));
    EXPECT_TRUE(absolute.is_absolute());
    EXPECT_EQ(absolute.filename(), PathFromText("rel"));
}

// The user's own links are followed hop by hop, relative ones from their
// own folder; links that do not end are no path. (Another user's link in a
// sticky folder needs a second user: see the command line's disk tests.)
TEST(NativeFileQueries, OwnLinksAreFollowedToTheirEnd) {
#ifdef _WIN32
    GTEST_SKIP() << "the system follows links itself when a file is opened";
#endif
    TempDir dir;
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_symlink("../target", dir / "sub" / "hop");
    std::filesystem::create_symlink(dir / "sub" / "hop", dir / "first");
    Path resolved;
    EXPECT_EQ(FollowOwnLinks(dir / "first", resolved), LinkFollowing::kFollowed);
    EXPECT_EQ(resolved, dir / "sub" / ".." / "target");  // a new file there
    EXPECT_EQ(FollowOwnLinks(dir / "sub", resolved), LinkFollowing::kFollowed);
    EXPECT_EQ(resolved, dir / "sub");

    std::filesystem::create_symlink("loop", dir / "loop");
    EXPECT_EQ(FollowOwnLinks(dir / "loop", resolved), LinkFollowing::kEndless);
}

}  // namespace
}  // namespace tazu::test
