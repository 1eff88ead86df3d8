// One stored file: record sizes, what each record holds, the random draw
// order and the byte sum.
#include <gtest/gtest.h>

#include "cipher/constants.h"
#include "cipher/envelope.h"
#include "cipher/keyed.h"
#include "cipher/salt_keys.h"
#include "format/format.h"
#include "tests/encrypt/fixture.h"

namespace tazu::test {
namespace {

std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        s[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    }
    return s;
}

struct SizeCase {
    std::size_t source_size;
    std::vector<std::size_t> blocks;
    std::size_t archive_size;
};

class EntrySizeTest : public WriterTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(EntrySizeTest, RecordsHaveTheirFixedSizesAndDecipherBack) {
    const SizeCase& c = GetParam();
    const auto source = dir / "report.doc";
    WriteFile(source, Pattern(c.source_size));
    ASSERT_TRUE(Run(source, EncryptMode::kSingleFile));
    EXPECT_EQ(code, EncryptCode::kNone);
    EXPECT_EQ(std::filesystem::file_size(archive), c.archive_size);
    const ReadArchive a = Read();
    ASSERT_EQ(a.entries.size(), 1u);
    const ReadEntry& e = a.entries[0];
    EXPECT_EQ(e.name, "report.doc");
    EXPECT_EQ(e.key_mark, "000000000000000000");
    EXPECT_EQ(e.data, Pattern(c.source_size));
    EXPECT_EQ(e.block_sizes, c.blocks);
    EXPECT_EQ(e.size, kFixedPartSize + (c.blocks.empty() ? 0 : [&] {
                          std::size_t s = 0;
                          for (auto b : c.blocks) s += b;
                          return s;
                      }()) + kEndRecordSize);
    EXPECT_EQ(a.trailer_size, 3u);
    EXPECT_EQ(host.bytes, static_cast<std::int64_t>(c.source_size));
    EXPECT_EQ(host.files, 0);  // single-file mode does not count files
}

INSTANTIATE_TEST_SUITE_P(Sizes, EntrySizeTest,
                         ::testing::Values(SizeCase{0, {}, 1794 + 3 + 3},
                                           SizeCase{245, {255}, 1794 + 255 + 3 + 3},
                                           SizeCase{246, {255, 11}, 1794 + 266 + 3 + 3},
                                           SizeCase{490, {255, 255}, 1794 + 510 + 3 + 3},
                                           SizeCase{1000, {255, 255, 255, 255, 30}, 2850}));

class NameLengthTest : public WriterTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(NameLengthTest, LongNamesTakeAContinuationRecord) {
    const std::size_t n = GetParam();
    const std::string name = std::string(n, 'n');
    WriteFile(dir / name, "abc");
    ASSERT_TRUE(Run(dir / name, EncryptMode::kSingleFile));
    const std::string bytes = ReadFile(archive);
    const bool long_name = n > 128;
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[777]), long_name ? 0xFE : 0x00);
    EXPECT_EQ(bytes.size(), (long_name ? 2048u : 1794u) + 13 + 3 + 3);
    const ReadArchive a = Read();
    ASSERT_EQ(a.entries.size(), 1u);
    EXPECT_EQ(a.entries[0].name, name);
    EXPECT_EQ(a.entries[0].long_name, long_name);
    EXPECT_EQ(a.entries[0].data, "abc");
}

INSTANTIATE_TEST_SUITE_P(Lengths, NameLengthTest, ::testing::Values(1, 128, 129, 255));

TEST_F(WriterTest, PersonalCodeEnciphersTheBlockKeysAndRecordsTheKeyMark) {
    use_personal_code = true;
    WriteFile(dir / "a", Pattern(700));
    ASSERT_TRUE(Run(dir / "a", EncryptMode::kSingleFile));
    const ReadArchive a = Read();  // deciphers only when B = KeyedSub(B', personal code)
    ASSERT_EQ(a.entries.size(), 1u);
    EXPECT_EQ(a.entries[0].key_mark, "mark-of-the-store");
    EXPECT_EQ(a.entries[0].data, Pattern(700));
}

// Rebuilds the fixed part and the first block from the same seed, drawing in
// the documented order, and expects the writer's bytes exactly.
TEST_F(WriterTest, RandomValuesAreDrawnInTheDocumentedOrder) {
    use_personal_code = true;
    WriteFile(dir / "f", Pattern(300));
    ASSERT_TRUE(Run(dir / "f", EncryptMode::kSingleFile));
    const std::string bytes = ReadFile(archive);

    SeededRandom r(42);
    std::string expect(kMarker07);
    auto bytes_of = [&](std::size_t n) {
        Str255 s;
        for (std::size_t i = 0; i < n; ++i)
            s.push_back(r.Byte());
        return s;
    };
    const Str255 salt = bytes_of(48 + r.Below(16));
    Str255 rec = DoubleEnvelope(salt, password, r);
    expect += rec.str() + KeyedDigest(rec, 2, BuiltInKey()).str();
    const Str255 rsk = RecordSignatureKey(salt);
    auto add_env = [&](const Str255& data, const Str255& key) {
        const Str255 env = Envelope(data, key, r);
        expect += env.str() + KeyedDigest(env, 2, rsk).str();
    };
    add_env(key_mark, salt.substr(7));
    add_env(Str255("f"), salt.substr(7));
    expect += '\0';
    Str255 b[2];
    for (Str255& key : b) {
        key = bytes_of(254 + r.Below(2));
        const Str255 stored = KeyedAdd(key, personal_code);
        add_env(stored.substr(0, 128), password);
        add_env(stored.substr(128), password);
    }
    Str255 plain = Str255(Pattern(245));
    plain.append(bytes_of(7));
    const Str255 c = KeyedAdd(KeyedAdd(plain, b[0]), b[1]);
    expect += static_cast<char>(252) + c.str() + KeyedDigest(c, 2, rsk).str();
    EXPECT_EQ(bytes.substr(0, expect.size()), expect);
}

TEST_F(WriterTest, TwoRunsOfTheSameFileShareNoRecord) {
    WriteFile(dir / "f", Pattern(500));
    ASSERT_TRUE(Run(dir / "f", EncryptMode::kSingleFile));
    const std::string first = ReadFile(archive);
    ASSERT_TRUE(Run(dir / "f", EncryptMode::kSingleFile));
    const std::string second = ReadFile(archive);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t off : {14u, 269u, 523u, 778u, 1032u, 1286u, 1540u, 1794u, 2049u}) {
        EXPECT_NE(first.substr(off, 250), second.substr(off, 250)) << off;
    }
}

TEST(ByteSumTest, WrapsToANegativeSignedText) {
    std::uint32_t sum = 0x7FFFFFFFu;
    AddToByteSum(sum, Str255(std::string(1, '\x01')));
    EXPECT_EQ(ByteSumText(sum).str(), "-2147483648");
    sum = 0xFFFFFF00u;
    AddToByteSum(sum, Str255(std::string(2, '\xff')));
    EXPECT_EQ(sum, 0xFEu);
    EXPECT_EQ(ByteSumText(0).str(), "0");
}

// 8.5 MB of 0xFF bytes sum to more than 2^31 - 1: the end record must sign
// the negative text.
TEST_F(WriterTest, LargeByteSumSignsANegativeText) {
    const std::size_t n = 8'500'000;
    WriteFile(dir / "big", std::string(n, '\xff'));
    state.EncryptBlocksPerUpdate = 1'000'000;
    ASSERT_TRUE(Run(dir / "big", EncryptMode::kSingleFile));
    const std::string bytes = ReadFile(archive);
    const std::size_t end = bytes.size() - 3 - 3;
    ASSERT_EQ(bytes[end], '\0');
    const std::uint32_t sum = static_cast<std::uint32_t>(n) * 255u;
    ASSERT_EQ(ByteSumText(sum).str().front(), '-');
    Str255 salt = OpenDoubleEnvelope(Str255::FromBytes(bytes.data() + 14, 253), password);
    const Str255 sig = Str255::FromBytes(bytes.data() + end + 1, 2);
    EXPECT_TRUE(VerifyDigest(ByteSumText(sum), sig, RecordSignatureKey(salt)));
}

}  // namespace
}  // namespace tazu::test
