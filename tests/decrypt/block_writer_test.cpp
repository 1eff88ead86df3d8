// The parallel block writer must write what the block-by-block loop writes
// for the same source and random bytes, leave the random source where the
// loop would, and stop cleanly when told to.
#include "encrypt/block_pipeline.h"

#include <gtest/gtest.h>

#include "format/format.h"
#include "io/batch_ring.h"
#include "tests/support/random_string.h"
#include "tests/support/test_files.h"

namespace tazu {
namespace {

struct Keys {
    Str255 b1, b2, sig;
};

struct Written {
    std::string records;
    std::uint32_t sum = 0;
    std::size_t progress_bytes = 0;
    std::uint64_t next_random = 0;  // the first random value after the blocks
};

// The block-by-block loop the pipeline stands for.
Written Sequential(const Keys& k, const std::string& source, std::uint64_t seed) {
    BlockCipher cipher(k.b1, k.b2, k.sig);
    SeededRandom random(seed);
    Written w;
    for (std::size_t pos = 0; pos < source.size(); pos += kChunkSize) {
        const std::size_t size = std::min(kChunkSize, source.size() - pos);
        const auto* chunk = reinterpret_cast<const std::uint8_t*>(source.data() + pos);
        AddToByteSum(w.sum, chunk, size);
        std::uint8_t noise[kBlockRandomBytes];
        random.Bytes(noise, sizeof noise);
        std::uint8_t record[kMaxBlockRecordSize];
        record[0] = static_cast<std::uint8_t>(size + kBlockRandomBytes);
        cipher.Encipher(chunk, size, noise, record + 1, record + 1 + record[0]);
        w.records.append(reinterpret_cast<const char*>(record), size + kBlockOverhead);
        w.progress_bytes += size;
    }
    w.next_random = random.Below(1u << 30);
    return w;
}

Written Parallel(const Keys& k, const std::string& source, std::uint64_t seed) {
    BlockCipher cipher(k.b1, k.b2, k.sig);
    SeededRandom random(seed);
    test::StringInput in(source);
    test::StringOutput out;
    Written w;
    EXPECT_EQ(EncipherBlocks(in, cipher, random, out, w.sum,
                             [&](std::size_t n) {
                                 w.progress_bytes += n;
                                 return true;
                             }),
              BlockWriteEnd::kSourceEnded);
    w.records = out.bytes;
    w.next_random = random.Below(1u << 30);
    return w;
}

TEST(BlockWriter, WritesWhatTheBlockLoopWritesForEverySourceLength) {
    if (!ParallelStagesWorthwhile()) {
        GTEST_SKIP() << "one processor: the caller's loop does the work";
    }
    SeededRandom random(81);
    const std::size_t lengths[] = {
        0, 1, kChunkSize, kChunkSize + 1, 1024 * 245, 1024 * 245 + 7, 5000 * 245 + 100};
    for (const std::size_t length : lengths) {
        const Keys k{RandomString(random, 254), RandomString(random, 255),
                     RandomString(random, 171)};
        std::string source(length, '\0');
        for (auto& c : source) {
            c = static_cast<char>(random.Below(256));
        }
        SCOPED_TRACE(length);
        const Written want = Sequential(k, source, length + 5);
        const Written got = Parallel(k, source, length + 5);
        EXPECT_TRUE(got.records == want.records);
        EXPECT_EQ(got.sum, want.sum);
        EXPECT_EQ(got.progress_bytes, want.progress_bytes);
        EXPECT_EQ(got.next_random, want.next_random);
    }
}

class FailingOutput final : public OutputStream {
  public:
    explicit FailingOutput(std::size_t room) : room_(room) {}
    bool Write(const std::uint8_t*, std::size_t count) override {
        written += count;
        return written < room_;
    }
    bool Flush() override { return true; }
    std::size_t written = 0;

  private:
    std::size_t room_;
};

TEST(BlockWriter, StopsOnAFailedWriteOrWhenProgressSaysSo) {
    if (!ParallelStagesWorthwhile()) {
        GTEST_SKIP() << "one processor: the caller's loop does the work";
    }
    SeededRandom random(82);
    const Keys k{RandomString(random, 255), RandomString(random, 254), RandomString(random, 9)};
    const std::string source(9000 * 245, 'x');
    // A write fails early on, or only the last batch's (written behind the
    // caller, so its failure is known only at the end).
    for (const std::size_t room : {std::size_t{600'000}, 9000 * kMaxBlockRecordSize - 1}) {
        BlockCipher cipher(k.b1, k.b2, k.sig);
        test::StringInput in(source);
        FailingOutput out(room);
        std::uint32_t sum = 0;
        EXPECT_EQ(EncipherBlocks(in, cipher, random, out, sum, [](std::size_t) { return true; }),
                  BlockWriteEnd::kWriteFailed);
    }
    for (int stop_after : {1, 2000, 8999}) {
        BlockCipher cipher(k.b1, k.b2, k.sig);
        test::StringInput in(source);
        test::StringOutput out;
        std::uint32_t sum = 0;
        int seen = 0;
        EXPECT_EQ(EncipherBlocks(in, cipher, random, out, sum,
                                 [&](std::size_t) { return ++seen < stop_after; }),
                  BlockWriteEnd::kStopped);
        EXPECT_EQ(seen, stop_after);
    }
}

}  // namespace
}  // namespace tazu
