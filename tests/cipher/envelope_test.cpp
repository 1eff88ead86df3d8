#include "cipher/envelope.h"

#include <gtest/gtest.h>

#include "cipher/keyed.h"
#include "tests/support/random_string.h"

namespace tazu::test {
namespace {

// Replays a fixed list of values first, then falls back to a seeded stream,
// so a test can choose the envelope's stored length and position bytes.
class ScriptedRandom : public Random {
  public:
    void Script(std::vector<std::uint8_t> bytes) { script_ = std::move(bytes); }

  protected:
    void Fill(std::uint8_t* out, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) {
            out[i] = i < script_.size() ? script_[i] : static_cast<std::uint8_t>(i * 31 + 5);
        }
    }

  private:
    std::vector<std::uint8_t> script_;
};

using Seal = Str255 (*)(const Str255&, const Str255&, Random&, const CipherPair&);
using Open = Str255 (*)(const Str255&, const Str255&, const CipherPair&);

struct EnvelopeKind {
    const char* name;
    Seal sealer;
    Open opener;
    CipherPair pair;
    std::size_t size;
    std::size_t max_data;

    Str255 seal(const Str255& data, const Str255& key, Random& random) const {
        return sealer(data, key, random, pair);
    }
    Str255 open(const Str255& record, const Str255& key) const { return opener(record, key, pair); }
};

class EnvelopeKindTest : public ::testing::TestWithParam<EnvelopeKind> {};

TEST_P(EnvelopeKindTest, RoundTripsEveryLengthAtFixedSize) {
    const EnvelopeKind kind = GetParam();
    SeededRandom random(11);
    for (std::size_t len = 1; len <= kind.max_data; ++len) {
        for (std::size_t klen : {std::size_t{1}, std::size_t{41}, std::size_t{255}}) {
            const Str255 data = RandomString(random, len);
            const Str255 key = RandomString(random, klen);
            const Str255 key_copy = key;
            const Str255 record = kind.seal(data, key, random);
            ASSERT_EQ(record.size(), kind.size);
            ASSERT_EQ(kind.open(record, key), data) << "length " << len;
            ASSERT_EQ(key, key_copy);
        }
    }
}

TEST_P(EnvelopeKindTest, RefusesBadInput) {
    const EnvelopeKind kind = GetParam();
    SeededRandom random(3);
    EXPECT_TRUE(kind.seal(Str255(), Str255("k"), random).empty());
    EXPECT_TRUE(kind.seal(Str255("x"), Str255(), random).empty());
    EXPECT_TRUE(kind.seal(RandomString(random, kind.max_data + 1), Str255("k"), random).empty());
    EXPECT_TRUE(kind.open(Str255(), Str255("k")).empty());
    EXPECT_TRUE(kind.open(Str255("abc"), Str255()).empty());
    // Short or malformed records never read out of bounds.
    for (std::size_t len = 1; len < 20; ++len) {
        kind.open(RandomString(random, len), Str255("key"));
    }
}

TEST_P(EnvelopeKindTest, FreshNoiseEveryTime) {
    const EnvelopeKind kind = GetParam();
    SeededRandom random(5);
    const Str255 data("same data");
    const Str255 key("same key");
    EXPECT_NE(kind.seal(data, key, random), kind.seal(data, key, random));
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, EnvelopeKindTest,
    ::testing::Values(
        EnvelopeKind{"Single", Envelope, OpenEnvelope, kCurrentPair, 252, 128},
        EnvelopeKind{"Double", DoubleEnvelope, OpenDoubleEnvelope, kCurrentPair, 253, 64},
        EnvelopeKind{"Single00", Envelope, OpenEnvelope, kPair00, 252, 128},
        EnvelopeKind{"Double00", DoubleEnvelope, OpenDoubleEnvelope, kPair00, 253, 64},
        EnvelopeKind{"Single02", Envelope, OpenEnvelope, kPair02, 252, 128},
        EnvelopeKind{"Double02", DoubleEnvelope, OpenDoubleEnvelope, kPair02, 253, 64}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Envelope, FullLengthRoundTripsWithEitherStoredLengthByte) {
    SeededRandom seeded(1);
    const Str255 data = RandomString(seeded, 128);
    const Str255 key("k");
    for (std::uint8_t r : {0, 1}) {
        ScriptedRandom random;
        std::vector<std::uint8_t> script(250, 9);
        script.push_back(r);   // the length byte becomes 128 or 0
        script.push_back(77);  // position byte
        random.Script(script);
        const Str255 record = Envelope(data, key, random);
        const Str255 plain = KeyedSub(record, key);
        EXPECT_EQ(plain[250], r ? 0 : 128);
        EXPECT_EQ(OpenEnvelope(record, key), data);
    }
}

TEST(DoubleEnvelope, FullLengthRoundTripsWithEveryStoredLengthByte) {
    SeededRandom seeded(2);
    const Str255 data = RandomString(seeded, 64);
    const Str255 key("k");
    const std::uint8_t expected[] = {64, 128, 192, 0};
    for (std::uint8_t s = 0; s < 4; ++s) {
        ScriptedRandom random;
        std::vector<std::uint8_t> script(250, 3);
        script.push_back(s);
        script.push_back(200);  // c1
        script.push_back(31);   // c2
        random.Script(script);
        const Str255 record = DoubleEnvelope(data, key, random);
        EXPECT_EQ(KeyedSub(record, key)[250], expected[s]);
        EXPECT_EQ(OpenDoubleEnvelope(record, key), data);
    }
}

TEST(DoubleEnvelope, WrongKeyGivesEmpty) {
    SeededRandom random(17);
    const Str255 salt = RandomString(random, 56);
    const Str255 password("correct horse");
    const Str255 record = DoubleEnvelope(salt, password, random);
    int opened = 0;
    for (int i = 0; i < 2000; ++i) {
        const Str255 wrong = RandomString(random, 1 + random.Below(255));
        if (wrong == password) {
            continue;
        }
        opened += OpenDoubleEnvelope(record, wrong).empty() ? 0 : 1;
    }
    EXPECT_EQ(opened, 0);
}

TEST(DoubleEnvelope, CopiesStayInTheirHalves) {
    // Byte 125 of the plain record belongs to neither half: changing it does
    // not change what opens.
    SeededRandom random(23);
    const Str255 data = RandomString(random, 64);
    const Str255 key("key");
    Str255 plain = KeyedSub(DoubleEnvelope(data, key, random), key);
    plain[124] = static_cast<std::uint8_t>(plain[124] + 1);
    EXPECT_EQ(OpenDoubleEnvelope(KeyedAdd(plain, key), key), data);
}

}  // namespace
}  // namespace tazu::test
