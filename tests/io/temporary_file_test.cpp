// A temporary file takes its final name only when committed, and leaves
// nothing behind otherwise; the one read loop keeps what came before an
// error or the end.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/file_io.h"
#include "io/temporary_file.h"
#include "tests/support/test_files.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

bool WriteText(TemporaryFile& file, const std::string& text) {
    return file.file().Write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// The names in the folder other than "." and "..".
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().native());
    }
    return names;
}

TEST(TemporaryFile, TakesTheFinalNameOnlyWhenCommitted) {
    TempDir dir;
    WriteFile(dir / "a.txt", "old");
    TemporaryFile file;
    ASSERT_TRUE(file.Create(dir / "a.txt", 0666));
    file.MakeDurable();
    ASSERT_TRUE(WriteText(file, "new"));
    ASSERT_TRUE(file.Finish());
    EXPECT_EQ(ReadFile(dir / "a.txt"), "old");  // finished, not yet renamed
    EXPECT_EQ(Names(dir.path()).size(), 2u);
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFile(dir / "a.txt"), "new");
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"a.txt"});
}

TEST(TemporaryFile, DroppedOrDiscardedLeavesNothingAndTheOldFileAsItWas) {
    TempDir dir;
    WriteFile(dir / "a.txt", "old");
    {
        TemporaryFile dropped;
        ASSERT_TRUE(dropped.Create(dir / "a.txt", 0666));
        ASSERT_TRUE(WriteText(dropped, "half"));
    }
    TemporaryFile discarded;
    ASSERT_TRUE(discarded.Create(dir / "a.txt", 0666));
    discarded.Discard();
    EXPECT_FALSE(discarded.Commit());  // nothing left to rename
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(ReadFile(dir / "a.txt"), "old");
}

TEST(TemporaryFile, ReplacesALinkNeverItsTargetAndOnlyARegularFileWhenAskedTo) {
    TempDir dir;
    WriteFile(dir / "target", "kept");
    fs::create_symlink(dir / "target", dir / "link");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);

    TemporaryFile over_link;
    ASSERT_TRUE(over_link.Create(dir / "link", 0666));
    ASSERT_TRUE(WriteText(over_link, "new") && over_link.Finish());
    ASSERT_TRUE(over_link.Commit());
    EXPECT_FALSE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadFile(dir / "link"), "new");
    EXPECT_EQ(ReadFile(dir / "target"), "kept");

    TemporaryFile over_fifo;
    ASSERT_TRUE(over_fifo.Create(dir / "fifo", 0666));
    ASSERT_TRUE(over_fifo.Finish());
    EXPECT_FALSE(over_fifo.Commit(TemporaryFile::Replace::kRegularFileOnly));
    over_fifo.Discard();
    EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
    EXPECT_EQ(Names(dir.path()).size(), 3u);
}

// A file for a free name, in a folder the caller holds open: it shows no
// name while written, takes the final one only when committed, and leaves
// the caller's folder open.
TEST(TemporaryFile, ForAFreeNameShowsNoNameUntilCommitted) {
    TempDir dir;
    const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    TemporaryFile::Known known;
    known.folder_held = true;
    known.folder_visited = true;
    known.final_name_free = true;
    {
        TemporaryFile file;
        ASSERT_TRUE(file.Create(folder, "a.txt", 0640, known));
        ASSERT_TRUE(WriteText(file, "new") && file.Finish());
        EXPECT_TRUE(Names(dir.path()).empty());
        ASSERT_TRUE(file.Commit());
    }
    {
        TemporaryFile dropped;
        ASSERT_TRUE(dropped.Create(folder, "b.txt", 0640, known));
        ASSERT_TRUE(WriteText(dropped, "half"));
    }
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(ReadFile(dir / "a.txt"), "new");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "a.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640 & ~mask);
    EXPECT_NE(::fcntl(folder, F_GETFD), -1);  // still the caller's
    ::close(folder);
}

// Something took the free name while the file was written: it is replaced
// by the whole new file, a link but never its target, and no temporary
// name is left.
TEST(TemporaryFile, AFreeNameTakenMeanwhileIsReplacedWithNothingLeft) {
    TempDir dir;
    WriteFile(dir / "target", "kept");
    const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(folder, 0);
    TemporaryFile::Known known;
    known.final_name_free = true;
    for (const char* name : {"a.txt", "link"}) {
        TemporaryFile file;
        ASSERT_TRUE(file.Create(folder, name, 0666, known));
        ASSERT_TRUE(WriteText(file, "new") && file.Finish());
        if (std::string(name) == "link") {
            fs::create_symlink(dir / "target", dir / "link");
        } else {
            WriteFile(dir / name, "other");
        }
        ASSERT_TRUE(file.Commit());
        EXPECT_EQ(ReadFile(dir / name), "new");
    }
    EXPECT_FALSE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(ReadFile(dir / "target"), "kept");
    EXPECT_EQ(Names(dir.path()).size(), 3u);
    ::close(folder);
}

TEST(TemporaryFile, CannotBeCreatedInAMissingFolder) {
    TempDir dir;
    TemporaryFile file;
    EXPECT_FALSE(file.Create(dir / "missing" / "a.txt", 0666));
    EXPECT_FALSE(file.Commit());
}

TEST(ReadFully, KeepsWhatCameBeforeTheEndAnErrorOrTheLimit) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    ASSERT_EQ(::write(fds[1], "abc", 3), 3);
    ASSERT_EQ(::write(fds[1], "defg", 4), 4);
    ::close(fds[1]);
    std::uint8_t buffer[16] = {};
    const ReadResult limited = ReadFully(fds[0], buffer, sizeof buffer, 2);
    EXPECT_GE(limited.count, 2u);  // stops once enough came, however the pipe splits it
    const ReadResult rest =
        ReadFully(fds[0], buffer + limited.count, sizeof buffer - limited.count);
    EXPECT_EQ(limited.count + rest.count, 7u);
    EXPECT_FALSE(rest.failed);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 7), "abcdefg");
    ::close(fds[0]);

    const ReadResult bad = ReadFully(-1, buffer, sizeof buffer);
    EXPECT_TRUE(bad.failed);
    EXPECT_EQ(bad.count, 0u);
}

}  // namespace
}  // namespace tazu::test
