#include "cipher/random.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "cipher/chacha.h"

namespace tazu::test {
namespace {

TEST(Random, BelowStaysInRangeAndCoversIt) {
    SeededRandom random(99);
    for (std::uint32_t n : {1u, 2u, 3u, 7u, 16u, 128u, 255u, 256u, 1000u, 100000u}) {
        std::vector<int> counts(std::min<std::uint32_t>(n, 1000), 0);
        for (int i = 0; i < 20000; ++i) {
            const std::uint32_t v = random.Below(n);
            ASSERT_LT(v, n);
            if (v < counts.size()) {
                ++counts[v];
            }
        }
        if (n <= 256) {
            for (std::uint32_t v = 0; v < n; ++v) {
                EXPECT_GT(counts[v], 0) << "value " << v << " of " << n;
            }
        }
    }
    EXPECT_EQ(random.Below(0), 0u);
}

TEST(Random, Below255HasNoModuloBias) {
    // With a plain modulo, 0 would come twice as often as the other values.
    SeededRandom random(5);
    std::array<int, 255> counts{};
    const int draws = 255 * 400;
    for (int i = 0; i < draws; ++i) {
        ++counts[random.Below(255)];
    }
    EXPECT_LT(counts[0], 400 * 1.3);
}

TEST(Random, SeededIsReproducibleAndSystemVaries) {
    SeededRandom a(42);
    SeededRandom b(42);
    for (int i = 0; i < 10000; ++i) {
        ASSERT_EQ(a.Byte(), b.Byte());
    }
    SystemRandom s1;
    SystemRandom s2;
    int same = 0;
    for (int i = 0; i < 64; ++i) {
        same += s1.Byte() == s2.Byte() ? 1 : 0;
    }
    EXPECT_LT(same, 16);
}

}  // namespace
}  // namespace tazu::test

namespace tazu::test {
namespace {

TEST(ChaCha, MatchesTheReferenceBlock) {
    // The block function's published test vector: key 00..1f, nonce
    // 00 00 00 09 00 00 00 4a 00 00 00 00, block counter 1.
    std::uint8_t key[32];
    for (int i = 0; i < 32; ++i) {
        key[i] = static_cast<std::uint8_t>(i);
    }
    const std::uint8_t nonce[12] = {0, 0, 0, 9, 0, 0, 0, 0x4a, 0, 0, 0, 0};
    const std::uint8_t expected[16] = {0x10, 0xf1, 0xe7, 0xe4, 0xd1, 0x3b, 0x59, 0x15,
                                       0x50, 0x0f, 0xdd, 0x1f, 0xa3, 0x20, 0x71, 0xc4};
    const std::uint8_t expected_tail[4] = {0xa2, 0x50, 0x3c, 0x4e};
    // Nine blocks: a full group of eight and one more, each checked against
    // the same block computed alone.
    std::uint8_t many[9 * kChaChaBlockSize];
    ChaChaBlocks(key, nonce, 1, 9, many);
    EXPECT_EQ(std::memcmp(many, expected, 16), 0);
    EXPECT_EQ(std::memcmp(many + 60, expected_tail, 4), 0);
    for (std::uint32_t b = 0; b < 9; ++b) {
        std::uint8_t one[kChaChaBlockSize];
        ChaChaBlocks(key, nonce, 1 + b, 1, one);
        EXPECT_EQ(std::memcmp(one, many + b * kChaChaBlockSize, kChaChaBlockSize), 0) << b;
    }
}

}  // namespace
}  // namespace tazu::test
