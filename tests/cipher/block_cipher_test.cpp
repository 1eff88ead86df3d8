// The fused block cipher must equal the separate transforms byte for byte,
// for the key lengths the writer makes and for any a damaged archive holds.
#include "cipher/block_cipher.h"

#include <gtest/gtest.h>

#include "cipher/keyed.h"
#include "cipher/random.h"
#include "tests/cipher/reference_keyed.h"
#include "tests/support/random_string.h"

namespace tazu::test {
namespace {

// The key lengths (B1, B2) to try: the writer's 254/255 and odd ones.
const std::pair<std::size_t, std::size_t> kKeyLengths[] = {
    {254, 254}, {255, 254}, {254, 255}, {255, 255}, {100, 255}, {255, 9}, {7, 3}, {7, 9}, {1, 1}};

TEST(BlockCipher, EncipherEqualsTheSeparateTransforms) {
    SeededRandom random(31);
    for (auto [l1, l2] : kKeyLengths) {
        Str255 b1 = RandomString(random, l1);
        const Str255 b2 = RandomString(random, l2);
        const Str255 sig_key = RandomString(random, 171);
        BlockCipher cipher(b1, b2, sig_key);
        for (std::size_t len = 0; len <= 248; ++len) {
            const Str255 chunk = RandomString(random, len);
            const Str255 s = RandomString(random, 7);
            std::uint8_t c[255];
            std::uint8_t sig[2];
            cipher.Encipher(chunk.data(), len, s.data(), c, sig);

            Str255 x = chunk;
            x.append(s);
            const Str255 expected = reference::KeyedAdd(reference::KeyedAdd(x, b1), b2);
            ASSERT_EQ(Str255::FromBytes(c, expected.size()), expected) << l1 << "/" << l2;
            ASSERT_EQ(Str255::FromBytes(sig, 2), reference::KeyedDigest(expected, 2, sig_key));
            b1 = reference::KeyedAdd(b1, s);
            ASSERT_EQ(cipher.BlockKey(), b1);
        }
    }
}

TEST(BlockCipher, RunsOfFullBlocksEqualTheSeparateTransforms) {
    // Blocks of one length in a row, as a file's data are, then shorter ones.
    SeededRandom random(34);
    for (auto [l1, l2] : kKeyLengths) {
        Str255 b1 = RandomString(random, l1);
        const Str255 b2 = RandomString(random, l2);
        const Str255 sig_key = RandomString(random, 171);
        BlockCipher writer(b1, b2, sig_key);
        BlockCipher reader(b1, b2, sig_key);
        for (std::size_t len : {245, 245, 245, 245, 100, 100, 245, 3, 245}) {
            const Str255 chunk = RandomString(random, len);
            const Str255 s = RandomString(random, 7);
            std::uint8_t c[255];
            std::uint8_t sig[2];
            writer.Encipher(chunk.data(), len, s.data(), c, sig);
            Str255 x = chunk;
            x.append(s);
            const Str255 expected = reference::KeyedAdd(reference::KeyedAdd(x, b1), b2);
            ASSERT_EQ(Str255::FromBytes(c, expected.size()), expected) << l1 << "/" << l2;
            std::uint8_t plain[255];
            ASSERT_EQ(reader.Decipher(c, len + 7, plain), len + 7);
            ASSERT_EQ(Str255::FromBytes(plain, len + 7), x);
            b1 = reference::KeyedAdd(b1, s);
            ASSERT_EQ(writer.BlockKey(), b1);
            ASSERT_EQ(reader.BlockKey(), b1);
        }
    }
}

TEST(BlockCipher, DecipherEqualsTheSeparateTransformsForEveryLength) {
    SeededRandom random(32);
    for (auto [l1, l2] : kKeyLengths) {
        Str255 b1 = RandomString(random, l1);
        const Str255 b2 = RandomString(random, l2);
        BlockCipher cipher(b1, b2, Str255("k"));
        for (std::size_t n = 1; n <= 255; ++n) {
            const Str255 c = RandomString(random, n);
            std::uint8_t plain[255];
            const std::size_t got = cipher.Decipher(c.data(), n, plain);
            const Str255 x = reference::KeyedSub(reference::KeyedSub(c, b2), b1);
            ASSERT_EQ(Str255::FromBytes(plain, got), x) << l1 << "/" << l2 << " n " << n;
            b1 = reference::KeyedAdd(b1, x.substr(x.size() >= 7 ? x.size() - 7 : 0));
            ASSERT_EQ(cipher.BlockKey(), b1);
        }
    }
}

TEST(BlockCipher, RoundTripsAndVerifies) {
    SeededRandom random(33);
    const Str255 b1 = RandomString(random, 255);
    const Str255 b2 = RandomString(random, 254);
    const Str255 sig_key = RandomString(random, 171);
    BlockCipher writer(b1, b2, sig_key);
    BlockCipher reader(b1, b2, sig_key);
    for (std::size_t len = 1; len <= 245; len += 17) {
        const Str255 chunk = RandomString(random, len);
        const Str255 s = RandomString(random, 7);
        std::uint8_t c[255];
        std::uint8_t sig[2];
        writer.Encipher(chunk.data(), len, s.data(), c, sig);
        EXPECT_TRUE(reader.Verify(c, len + 7, sig));
        sig[1] ^= 1;
        EXPECT_FALSE(reader.Verify(c, len + 7, sig));
        std::uint8_t plain[255];
        ASSERT_EQ(reader.Decipher(c, len + 7, plain), len + 7);
        EXPECT_EQ(Str255::FromBytes(plain, len), chunk);
    }
}

TEST(BlockCipher, EmptyKeysDecipherToNothing) {
    BlockCipher cipher(Str255(), Str255("abc"), Str255());
    std::uint8_t c[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::uint8_t plain[10];
    EXPECT_EQ(cipher.Decipher(c, 10, plain), 0u);
    EXPECT_TRUE(cipher.BlockKey().empty());
}

}  // namespace
}  // namespace tazu::test
