#include "cipher/random.h"

#include <gtest/gtest.h>

#include <array>

namespace tazu {
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
}  // namespace tazu
