// The parallel block reader must write, count and sum exactly what the
// block-by-block loop does, for entries long enough to start its threads,
// with damaged and cut blocks, and stop cleanly when told to.
#include "decrypt/block_pipeline.h"

#include <gtest/gtest.h>

#include "cipher/random.h"
#include "format/format.h"
#include "io/batch_ring.h"
#include "tests/support/random_string.h"
#include "tests/support/test_files.h"

namespace tazu {
namespace {

struct Keys {
    Str255 b1, b2, sig;
};

Keys MakeKeys(SeededRandom& random) {
    return {RandomString(random, 254 + random.Below(2)),
            RandomString(random, 254 + random.Below(2)), RandomString(random, 171)};
}

// Block records of `blocks` chunks (mostly full, some short), then the end
// record marker and one more byte.
std::string WriteBlocks(const Keys& k, SeededRandom& random, std::size_t blocks) {
    BlockCipher cipher(k.b1, k.b2, k.sig);
    std::string out;
    for (std::size_t i = 0; i < blocks; ++i) {
        const std::size_t len = i % 97 == 5 ? random.Below(kChunkSize) : kChunkSize;
        const Str255 chunk = RandomString(random, len);
        const Str255 noise = RandomString(random, kBlockRandomBytes);
        std::uint8_t record[kMaxBlockRecordSize];
        record[0] = static_cast<std::uint8_t>(len + kBlockRandomBytes);
        cipher.Encipher(chunk.data(), len, noise.data(), record + 1, record + 1 + record[0]);
        out.append(reinterpret_cast<const char*>(record), 1 + record[0] + kSignatureSize);
    }
    out.push_back(static_cast<char>(kEndRecordMarker));
    out.push_back('E');
    return out;
}

struct Result {
    std::string plain;
    BlockRunTotals totals;
    bool cut = false;
    std::size_t progress_bytes = 0;
};

// The block-by-block loop the pipeline stands for.
Result Sequential(const Keys& k, const std::string& data) {
    BlockCipher cipher(k.b1, k.b2, k.sig);
    Result r;
    std::size_t pos = 0;
    while (pos < data.size() && static_cast<std::uint8_t>(data[pos]) != kEndRecordMarker) {
        const std::size_t n = static_cast<std::uint8_t>(data[pos]);
        const auto* c = reinterpret_cast<const std::uint8_t*>(data.data() + pos + 1);
        const std::size_t have = std::min(n, data.size() - pos - 1);
        const bool whole = pos + 1 + n + kSignatureSize <= data.size();
        if (!whole || !cipher.Verify(c, n, c + n)) {
            ++r.totals.damaged;
        }
        std::uint8_t plain[255];
        const std::size_t got = have > 0 ? cipher.Decipher(c, have, plain) : 0;
        const std::size_t size = got > kBlockRandomBytes ? got - kBlockRandomBytes : 0;
        AddToByteSum(r.totals.sum, plain, size);
        r.plain.append(reinterpret_cast<const char*>(plain), size);
        if (!whole) {
            r.cut = true;
            break;
        }
        r.progress_bytes += size;
        pos += 1 + n + kSignatureSize;
    }
    return r;
}

Result Parallel(const Keys& k, const std::string& data, BlockRunEnd expected_end) {
    BlockCipher cipher(k.b1, k.b2, k.sig);
    test::StringInput in(data);
    test::StringOutput out;
    Result r;
    const BlockRunEnd end = DecipherBlocks(in, cipher, out, r.totals, [&](std::size_t n) {
        r.progress_bytes += n;
        return true;
    });
    EXPECT_EQ(end, expected_end);
    r.cut = end == BlockRunEnd::kCutInsideBlock;
    r.plain = out.bytes;
    if (!r.cut) {
        std::uint8_t rest[2] = {};
        EXPECT_EQ(in.Read(rest, 2), 2u);  // left right at the end record
        EXPECT_EQ(rest[0], kEndRecordMarker);
        EXPECT_EQ(rest[1], 'E');
    }
    return r;
}

void ExpectSame(const Result& got, const Result& want) {
    EXPECT_EQ(got.plain.size(), want.plain.size());
    EXPECT_TRUE(got.plain == want.plain);
    EXPECT_EQ(got.totals.damaged, want.totals.damaged);
    EXPECT_EQ(got.totals.sum, want.totals.sum);
    EXPECT_EQ(got.cut, want.cut);
    EXPECT_EQ(got.progress_bytes, want.progress_bytes);
}

TEST(BlockPipeline, WritesWhatTheBlockLoopWritesForShortAndLongEntries) {
    if (!ParallelStagesWorthwhile()) {
        GTEST_SKIP() << "one processor: the caller\'s loop does the work";
    }
    SeededRandom random(71);
    for (std::size_t blocks : {0, 1, 3, 2047, 2048, 2049, 9000}) {
        const Keys k = MakeKeys(random);
        const std::string data = WriteBlocks(k, random, blocks);
        SCOPED_TRACE(blocks);
        const Result want = Sequential(k, data);
        EXPECT_EQ(want.totals.damaged, 0);
        ExpectSame(Parallel(k, data, BlockRunEnd::kRecordBoundary), want);
    }
}

TEST(BlockPipeline, CountsDamagedBlocksAndDeciphersThemAsTheLoopDoes) {
    if (!ParallelStagesWorthwhile()) {
        GTEST_SKIP() << "one processor: the caller\'s loop does the work";
    }
    SeededRandom random(72);
    const Keys k = MakeKeys(random);
    std::string data = WriteBlocks(k, random, 5000);
    data[3] ^= 0x40;                 // ciphertext of the first block
    data[1 + 252 + 1] ^= 1;          // its signature
    data[2500 * 255 + 100] ^= 0x01;  // a block in the middle
    data[data.size() - 4] ^= 0x10;   // the last block's signature
    const Result want = Sequential(k, data);
    EXPECT_GE(want.totals.damaged, 3);
    ExpectSame(Parallel(k, data, BlockRunEnd::kRecordBoundary), want);
}

TEST(BlockPipeline, DataCutInsideABlockEndsTheRunLikeTheLoop) {
    if (!ParallelStagesWorthwhile()) {
        GTEST_SKIP() << "one processor: the caller\'s loop does the work";
    }
    SeededRandom random(73);
    const Keys k = MakeKeys(random);
    const std::string data = WriteBlocks(k, random, 4200);
    // Inside the length byte's block: its ciphertext, its signature, after
    // its first byte.
    for (std::size_t cut : {4100 * 255 + 1, 4100 * 255 + 120, 4100 * 255 + 254, 300 * 255 + 1}) {
        SCOPED_TRACE(cut);
        const std::string part = data.substr(0, cut);
        const Result want = Sequential(k, part);
        EXPECT_TRUE(want.cut);
        ExpectSame(Parallel(k, part, BlockRunEnd::kCutInsideBlock), want);
    }
    // Cut at a record boundary: no end record, but no cut block either.
    const std::string whole = WriteBlocks(k, random, 4000);
    const std::string at_boundary = whole.substr(0, whole.size() - 2);
    BlockCipher cipher(k.b1, k.b2, k.sig);
    test::StringInput in(at_boundary);
    test::StringOutput out;
    BlockRunTotals totals;
    EXPECT_EQ(DecipherBlocks(in, cipher, out, totals, [](std::size_t) { return true; }),
              BlockRunEnd::kRecordBoundary);
    EXPECT_EQ(out.bytes, Sequential(k, at_boundary).plain);
}

class FailingOutput final : public OutputStream {
  public:
    explicit FailingOutput(std::size_t room) : room_(room) {}
    bool Write(const std::uint8_t*, std::size_t count) override {
        if (count > room_) {
            return false;
        }
        room_ -= count;
        return true;
    }
    bool Flush() override { return true; }

  private:
    std::size_t room_;
};

TEST(BlockPipeline, StopsOnAFailedWriteOrWhenProgressSaysSo) {
    if (!ParallelStagesWorthwhile()) {
        GTEST_SKIP() << "one processor: the caller\'s loop does the work";
    }
    SeededRandom random(74);
    const Keys k = MakeKeys(random);
    const std::string data = WriteBlocks(k, random, 9000);
    // A write fails early on, or only the last batch's (written behind the
    // caller, so its failure is known only at the end).
    for (const std::size_t room : {std::size_t{1'000'000}, Sequential(k, data).plain.size() - 1}) {
        BlockCipher cipher(k.b1, k.b2, k.sig);
        test::StringInput in(data);
        FailingOutput out(room);
        BlockRunTotals totals;
        EXPECT_EQ(DecipherBlocks(in, cipher, out, totals, [](std::size_t) { return true; }),
                  BlockRunEnd::kWriteFailed);
    }
    for (int stop_after : {1, 1500, 4000}) {
        BlockCipher cipher(k.b1, k.b2, k.sig);
        test::StringInput in(data);
        test::StringOutput out;
        BlockRunTotals totals;
        int seen = 0;
        EXPECT_EQ(DecipherBlocks(in, cipher, out, totals,
                                 [&](std::size_t) { return ++seen < stop_after; }),
                  BlockRunEnd::kStopped);
        EXPECT_EQ(seen, stop_after);
    }
}

}  // namespace
}  // namespace tazu
