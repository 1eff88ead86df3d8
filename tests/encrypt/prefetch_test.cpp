// Reading small files ahead must not change a byte of the archive or what
// the walk reports; files it cannot read ahead fall back to the walk's own
// reading.
#include "encrypt/prefetch.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "cipher/constants.h"
#include "encrypt/folder_walk.h"
#include "tests/encrypt/fixture.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

TEST(FilePrefetcher, ReadsSmallRegularFilesAndLeavesTheRestToTheCaller) {
    TempDir dir;
    WriteFile(dir / "small", "small file");
    WriteFile(dir / "empty", "");
    WriteFile(dir / "large", std::string(FilePrefetcher::kMaxFileSize + 1, 'x'));
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    WriteFile(dir / "skipped", "never asked for");
    WriteFile(dir / "last", "last");

    FilePrefetcher prefetch;
    prefetch.Plan({dir / "small", dir / "empty", dir / "large", dir / "fifo", dir / "missing",
                   dir / "skipped", dir / "last"});
    auto small = prefetch.Take(dir / "small");
    ASSERT_TRUE(small);
    EXPECT_EQ(*small, "small file");
    EXPECT_FALSE(prefetch.Take(dir / "empty"));  // size 0: read by the walk to its end
    EXPECT_FALSE(prefetch.Take(dir / "large"));
    EXPECT_FALSE(prefetch.Take(dir / "fifo"));  // and the walk never blocks on it
    EXPECT_FALSE(prefetch.Take(dir / "missing"));
    auto last = prefetch.Take(dir / "last");
    ASSERT_TRUE(last);
    EXPECT_EQ(*last, "last");
    EXPECT_FALSE(prefetch.Take(dir / "not planned"));
}

// Files are opened by name in their folder, held from one file to the next:
// a file of the same name in another folder must never be read instead.
TEST(FilePrefetcher, SameNamesInOtherFoldersAreNotMixedUp) {
    TempDir dir;
    std::vector<fs::path> plan;
    for (int round = 0; round < 3; ++round) {
        for (const char* folder : {"a", "b", "a/inner"}) {
            fs::create_directories(dir / folder);
            WriteFile(dir / folder / "same", folder);
            plan.push_back(dir / folder / "same");
        }
    }
    FilePrefetcher prefetch;
    prefetch.Plan(plan);
    for (const fs::path& path : plan) {
        const auto content = prefetch.Take(path);
        ASSERT_TRUE(content) << path;
        EXPECT_EQ(*content, path.parent_path().lexically_relative(dir.path()).generic_string());
    }
}

// The walk over one tree, with or without reading ahead, from the same seed.
std::string WalkArchive(const fs::path& root, bool read_ahead, RecordingEncryptHost& host) {
    EncryptRunState state;
    SeededRandom random(7);
    EncryptContext ctx{state, host, random};
    Str255 chain;
    StringOutput out;
    EncryptCode code = EncryptCode::kOk;
    FilePrefetcher prefetch;
    WalkArgs walk{
        Str255("pw"), Str255(std::string(130, 'c')),    NoKeyMark(), false, chain, out, code, ctx,
        {},           read_ahead ? &prefetch : nullptr, {}};
    const auto prefix = RootStoredPrefix(root);
    EncryptFolderFiles(root, prefix, walk);
    EncryptSubfolders(root, prefix, walk);
    return out.bytes;
}

TEST(FilePrefetcher, WalkWritesTheSameArchiveWithAndWithoutIt) {
    TempDir dir;
    const fs::path root = dir / "Tree";
    for (int f = 0; f < 3; ++f) {
        fs::create_directories(root / ("sub" + std::to_string(f)));
        for (int i = 0; i < 40; ++i) {
            WriteFile(root / ("sub" + std::to_string(f)) / ("f" + std::to_string(i)),
                      std::string(static_cast<std::size_t>(i * 97 % 3000), static_cast<char>(i)));
        }
    }
    WriteFile(root / "big", std::string(FilePrefetcher::kMaxFileSize + 5000, 'b'));
    ASSERT_EQ(::mkfifo((root / "pipe").c_str(), 0600), 0);

    RecordingEncryptHost with_host;
    RecordingEncryptHost without_host;
    const std::string with = WalkArchive(root, true, with_host);
    const std::string without = WalkArchive(root, false, without_host);
    EXPECT_EQ(with.size(), without.size());
    EXPECT_TRUE(with == without);
    EXPECT_EQ(with_host.report, without_host.report);
    EXPECT_EQ(with_host.files, 122);
}

}  // namespace
}  // namespace tazu::test
