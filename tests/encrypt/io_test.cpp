// The writer's building blocks: the clock arithmetic, chunked reading and
// buffered writing whose failures must be seen.
#include <gtest/gtest.h>

#include "io/clock.h"
#include "io/file_io.h"
#include "tests/encrypt/support.h"

namespace tazu::test {
namespace {

struct ElapsedCase {
    TimeOfDay start, end;
    double seconds;
};

class ElapsedTest : public ::testing::TestWithParam<ElapsedCase> {};

TEST_P(ElapsedTest, BorrowsDownwardsModuloOneHour) {
    EXPECT_DOUBLE_EQ(ElapsedSeconds(GetParam().start, GetParam().end), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(Cases, ElapsedTest,
                         ::testing::Values(ElapsedCase{{1, 2, 300}, {1, 2, 500}, 0.2},
                                           ElapsedCase{{1, 2, 900}, {1, 3, 100}, 0.2},
                                           ElapsedCase{{1, 59, 900}, {2, 0, 100}, 0.2},
                                           ElapsedCase{{59, 59, 900}, {0, 0, 100}, 0.2},
                                           ElapsedCase{{5, 0, 0}, {4, 0, 0}, 3540.0}));

TEST(AdaptTest, MovesOneStepTowardsFiveUpdatesASecond) {
    std::int32_t n = 1;
    AdaptBlocksPerUpdate(n, 0.5);
    AdaptBlocksPerUpdate(n, 0.5);
    EXPECT_EQ(n, -1);  // no lower bound: every block then updates
    AdaptBlocksPerUpdate(n, 0.1);
    EXPECT_EQ(n, 0);
    AdaptBlocksPerUpdate(n, 0.2);
    EXPECT_EQ(n, 0);
}

TEST(ReadChunkTest, ReportsAShortLastChunkThenNothing) {
    TempDir dir;
    WriteFile(dir / "f", std::string(300, 'x'));
    FileReader reader(64);  // smaller than a chunk: reads cross the buffer
    ASSERT_TRUE(reader.Open(dir / "f"));
    Str255 chunk;
    EXPECT_TRUE(ReadChunk(reader, 245, chunk));
    EXPECT_EQ(chunk.size(), 245u);
    EXPECT_FALSE(ReadChunk(reader, 245, chunk));
    EXPECT_EQ(chunk.size(), 55u);
    EXPECT_FALSE(ReadChunk(reader, 245, chunk));
    EXPECT_TRUE(chunk.empty());
}

TEST(FileWriterTest, AFullDiskIsSeenAtTheLatestOnClose) {
    FileWriter writer;
    ASSERT_TRUE(writer.Create("/dev/full"));
    EXPECT_TRUE(WriteRawBytes(Str255("buffered, not yet written"), writer));
    EXPECT_FALSE(writer.Close());
    EXPECT_FALSE(WriteByte(1, writer));  // a failure sticks
}

}  // namespace
}  // namespace tazu::test
