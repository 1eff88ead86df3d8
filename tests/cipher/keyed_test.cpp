#include "cipher/keyed.h"

#include <gtest/gtest.h>

#include "cipher/constants.h"
#include "cipher/random.h"
#include "tests/support/random_string.h"

namespace tazu::test {
namespace {

Str255 Bytes(std::initializer_list<int> values) {
    Str255 s;
    for (int v : values) {
        s.push_back(static_cast<std::uint8_t>(v));
    }
    return s;
}

TEST(KeyStepTable, IsTheAffinePermutation) {
    EXPECT_EQ(kKeyStepTable[0], 7);
    EXPECT_EQ(kKeyStepTable[1], 16);
    EXPECT_EQ(kKeyStepTable[255], 254);
    std::array<bool, 256> seen{};
    for (auto v : kKeyStepTable) {
        EXPECT_FALSE(seen[v]);
        seen[v] = true;
    }
}

TEST(AffineMod, WrapsAndTruncates) {
    EXPECT_EQ(AffineMod(3, 0), 0);  // m = 0 counts as 1
    EXPECT_EQ(AffineMod(110617, 511), 132);
    // 9 * 1453321755 + 7 wraps to 194993914.
    EXPECT_EQ(AffineMod(1453321755, 511), 194993914 % 511);
    // A wrapped negative product keeps its sign in the remainder.
    // 9 * 0x10000000 + 7 wraps to -1879048185, whose remainder is negative.
    EXPECT_EQ(AffineMod(0x10000000, 256), -1879048185 % 256);
    EXPECT_LT(AffineMod(0x10000000, 256), 0);
    EXPECT_EQ(AffineMod(INT32_MIN, -1), 0);
}

TEST(KeyedDigest, MatchesTheWorkedValues) {
    EXPECT_EQ(KeyedDigest(Str255("abc"), 2, Str255()), Bytes({132, 40}));
    Str255 all_ff;
    all_ff.resize(255);
    std::memset(all_ff.data(), 255, 255);
    EXPECT_EQ(KeyedDigest(all_ff, 2, Str255()), Bytes({146, 4}));
    EXPECT_TRUE(KeyedDigest(Str255(), 2, Str255()).empty());
    EXPECT_TRUE(KeyedDigest(Str255("abc"), 0, Str255()).empty());
    EXPECT_EQ(KeyedDigest(Str255("abc"), 5, Str255()).size(), 5u);
}

TEST(KeyedDigest, KeyedFormIsKeyedAddOfTheUnkeyedDigest) {
    const Str255 key("signature key");
    EXPECT_EQ(KeyedDigest(Str255("abc"), 2, key), KeyedAdd(Bytes({132, 40}), key));
    EXPECT_TRUE(VerifyDigest(Str255("abc"), KeyedDigest(Str255("abc"), 2, key), key));
    EXPECT_FALSE(VerifyDigest(Str255("abd"), KeyedDigest(Str255("abc"), 2, key), key));
    EXPECT_FALSE(VerifyDigest(Str255("abc"), KeyedDigest(Str255("abc"), 2, key), Str255("x")));
    EXPECT_FALSE(VerifyDigest(Str255(), Bytes({1, 2}), key));
    EXPECT_FALSE(VerifyDigest(Str255("abc"), Str255(), key));
}

TEST(PlainDigest, MatchesTheWorkedValue) {
    // N = 10 * (97 + 98 + 99) + 3 * 4 / 2 = 2946; (9 * 2946 + 7) mod 511 = 460.
    EXPECT_EQ(PlainDigest(Str255("abc"), 2), Bytes({0xCC, 0x01}));
    EXPECT_TRUE(PlainDigest(Str255(), 2).empty());
    EXPECT_TRUE(PlainDigest(Str255("abc"), 0).empty());
    EXPECT_TRUE(VerifyPlainDigest(Str255("abc"), Bytes({0xCC, 0x01})));
    EXPECT_FALSE(VerifyPlainDigest(Str255("abc"), Bytes({0xCC, 0x02})));
}

TEST(PlainDigest, WeighsPositionsByTheirRangeAndTakesEachByteFromItsOwnModulus) {
    // Bytes 1..11: the 11th weighs 100. N = 10 * 55 + 100 * 11 + 66 = 1716.
    Str255 eleven;
    for (int i = 1; i <= 11; ++i) {
        eleven.push_back(static_cast<std::uint8_t>(i));
    }
    EXPECT_EQ(PlainDigest(eleven, 3), Bytes({121, 151, 181}));  // mod 511, 510, 509
    // 101 sevens: the 101st weighs 1000. N = 7 * (100 + 9000 + 1000) + 5151 = 75851.
    EXPECT_EQ(PlainDigest(Str255(std::string(101, '\x07')), 2), Bytes({225, 30}));
    // The largest sum: 255 bytes of 0xFF, N = 41878140.
    EXPECT_EQ(PlainDigest(Str255(std::string(255, '\xFF')), 4), Bytes({142, 7, 218, 31}));
}

TEST(ByteToBits, GivesMostSignificantBitFirst) {
    EXPECT_EQ(ByteToBits(0).str(), "00000000");
    EXPECT_EQ(ByteToBits(5).str(), "00000101");
    EXPECT_EQ(ByteToBits(128).str(), "10000000");
    EXPECT_EQ(ByteToBits(255).str(), "11111111");
}

struct Pair {
    const char* name;
    Str255 (*add)(const Str255&, const Str255&);
    Str255 (*sub)(const Str255&, const Str255&);
};

class KeyedPairTest : public ::testing::TestWithParam<Pair> {};

TEST_P(KeyedPairTest, SubUndoesAddForEveryKeyLength) {
    auto [name, add, sub] = GetParam();
    SeededRandom random(7);
    for (std::size_t klen = 1; klen <= 255; ++klen) {
        const Str255 key = RandomString(random, klen);
        const Str255 key_copy = key;
        for (std::size_t dlen : {std::size_t{1}, std::size_t{3}, klen, std::size_t{255}}) {
            const Str255 data = RandomString(random, dlen);
            const Str255 enciphered = add(data, key);
            ASSERT_EQ(enciphered.size(), data.size());
            ASSERT_EQ(sub(enciphered, key), data) << "key length " << klen;
        }
        ASSERT_EQ(key, key_copy);
    }
}

TEST_P(KeyedPairTest, EmptyDataOrKeyGivesEmpty) {
    auto [name, add, sub] = GetParam();
    EXPECT_TRUE(add(Str255(), Str255("k")).empty());
    EXPECT_TRUE(add(Str255("abc"), Str255()).empty());
    EXPECT_TRUE(sub(Str255(), Str255("k")).empty());
    EXPECT_TRUE(sub(Str255("abc"), Str255()).empty());
}

INSTANTIATE_TEST_SUITE_P(AllPairs, KeyedPairTest,
                         ::testing::Values(Pair{"Current", KeyedAdd, KeyedSub},
                                           Pair{"V00", KeyedAdd00, KeyedSub00},
                                           Pair{"V02", KeyedAdd02, KeyedSub02}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeyedAdd, FollowsTheKeyWalkByHand) {
    // Data "\0\0\0" with key {1, 2}: bytes 1, 2, then the stepped T[1] = 16.
    // Stepped key after the walk: {T[T[1]] = 151, T[2] = 25}; S = 3 + 176 = 179.
    const std::int32_t s = 3 + 151 + 25;
    const auto delta = static_cast<std::uint8_t>(AffineMod(s, 256) + AffineMod(s, 255));
    const Str255 out = KeyedAdd(Bytes({0, 0, 0}), Bytes({1, 2}));
    EXPECT_EQ(out,
              Bytes({static_cast<std::uint8_t>(1 + delta), static_cast<std::uint8_t>(2 + delta),
                     static_cast<std::uint8_t>(16 + delta)}));
    // The older pairs differ only in the constant.
    const auto delta00 = static_cast<std::uint8_t>(2 + 3 + 176);
    EXPECT_EQ(KeyedAdd00(Bytes({0}), Bytes({1, 2})),
              Bytes({static_cast<std::uint8_t>(1 + 2 + 3 + 16 + 2)}))
        << "single byte: stepped key {16, 2}";
    EXPECT_EQ(KeyedAdd00(Bytes({0, 0, 0}), Bytes({1, 2}))[0],
              static_cast<std::uint8_t>(1 + delta00));
    const auto delta02 = static_cast<std::uint8_t>(AffineMod(176, 256) + 3 + AffineMod(176, 255));
    EXPECT_EQ(KeyedAdd02(Bytes({0, 0, 0}), Bytes({1, 2}))[0],
              static_cast<std::uint8_t>(1 + delta02));
}

TEST(Constants, HaveTheFixedSizes) {
    EXPECT_EQ(BuiltInKey().size(), 171u);
    EXPECT_EQ(BuiltInKey()[0], 0x95);
    EXPECT_EQ(BuiltInKey()[170], 0x26);
    EXPECT_EQ(ShortBuiltInKey().size(), 11u);
    EXPECT_EQ(DefaultPassword().size(), 67u);
    EXPECT_EQ(NoKeyMark().str(), "000000000000000000");
}

}  // namespace
}  // namespace tazu::test
