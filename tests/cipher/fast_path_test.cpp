// The library's keyed transforms take arithmetic short cuts; these tests
// hold them to the direct byte-by-byte definitions on random inputs of every
// data and key length.
#include <gtest/gtest.h>

#include "cipher/keyed.h"
#include "cipher/random.h"
#include "tests/cipher/reference_keyed.h"
#include "tests/support/random_string.h"

namespace tazu::test {
namespace {

using Transform = Str255 (*)(const Str255&, const Str255&);

struct Variant {
    const char* name;
    Transform fast;
    Transform direct;
};

class FastTransformTest : public ::testing::TestWithParam<Variant> {};

TEST_P(FastTransformTest, MatchesTheDirectWalkForEveryLengthPair) {
    const Variant v = GetParam();
    SeededRandom random(2024);
    for (std::size_t len = 1; len <= 255; ++len) {
        for (std::size_t klen = 1; klen <= 255; klen += (klen < 40 ? 1 : 13)) {
            const Str255 data = RandomString(random, len);
            const Str255 key = RandomString(random, klen);
            ASSERT_EQ(v.fast(data, key), v.direct(data, key))
                << v.name << " data " << len << " key " << klen;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllVariants, FastTransformTest,
                         ::testing::Values(Variant{"Add", KeyedAdd, reference::KeyedAdd},
                                           Variant{"Sub", KeyedSub, reference::KeyedSub},
                                           Variant{"Add00", KeyedAdd00, reference::KeyedAdd00},
                                           Variant{"Sub00", KeyedSub00, reference::KeyedSub00},
                                           Variant{"Add02", KeyedAdd02, reference::KeyedAdd02},
                                           Variant{"Sub02", KeyedSub02, reference::KeyedSub02}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FastDigest, MatchesTheDirectSumForEveryLength) {
    SeededRandom random(77);
    for (std::size_t len = 1; len <= 255; ++len) {
        for (int round = 0; round < 8; ++round) {
            Str255 data = RandomString(random, len);
            if (round == 0) {
                std::memset(data.data(), 0xFF, len);  // largest sums, wrap-around
            }
            const Str255 key = round % 2 ? RandomString(random, 1 + random.Below(255)) : Str255();
            const std::size_t n = random.Below(256);
            ASSERT_EQ(KeyedDigest(data, n, key), reference::KeyedDigest(data, n, key))
                << "length " << len;
        }
    }
}

}  // namespace
}  // namespace tazu::test
