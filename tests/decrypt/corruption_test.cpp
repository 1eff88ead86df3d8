// Every cut and every single flipped byte of a small archive, with the
// outcome each must have: which code ends the run, which report lines it
// wrote, and which files it left (never one outside the destination, nor a
// temporary file).
#include "format/format.h"
#include "format/texts.h"
#include "tests/decrypt/decrypt_fixture.h"

namespace tazu::test {
namespace {

// The archive: entry "\D\a" holding "hello" (one block), entry "b" (empty,
// no block), then the trailer.
constexpr std::size_t kHeader = kFixedPartSize;           // 1794
constexpr std::size_t kBlock = kHeader;                   // n, 12 ciphertext bytes, signature
constexpr std::size_t kBlockData = kBlock + 1;            // the 5 bytes of "hello" enciphered
constexpr std::size_t kBlockNoise = kBlockData + 5;       // the 7 random bytes
constexpr std::size_t kEnd1 = kBlock + 1 + 12 + 2;        // end record of "\D\a"
constexpr std::size_t kEntry2 = kEnd1 + kEndRecordSize;   // 1812
constexpr std::size_t kEnd2 = kEntry2 + kHeader;          // end record of "b"
constexpr std::size_t kTrailer = kEnd2 + kEndRecordSize;  // 3609
constexpr std::size_t kUncompared = kMarkerSize - 1;      // the marker's 14th byte

// What a run must leave.
struct Outcome {
    DecryptCode code;
    std::vector<std::string> report;  // names; a line is "<prefix><path> - поврежден..."
    std::string a = "-";       // the content of D/a; "-": none; "?": anything else; "#n": n bytes
    std::string b = "-";       // the same for b
    bool blocks_line = false;  // "(блоков: 1 )." instead of the damaged line
};

class EveryOffset : public DecryptFixture {
  protected:
    void SetUp() override {
        SeededRandom random(11);
        archive_ = WriteArchive(7, Password(), {{"\\D\\a", "hello"}, {"b", ""}}, random);
        ASSERT_EQ(archive_.size(), kTrailer + kTrailerSize);
    }

    std::string Line(const std::string& name, bool blocks) const {
        const std::string path = ShownPath(dest() / name);
        return std::string(kFileLinePrefix) + path +
               (blocks ? " - поврежден (блоков: 1 )." : " - поврежден");
    }

    void Check(const std::string& bytes, std::size_t offset, const Outcome& want) {
        std::filesystem::remove_all(dest());
        std::filesystem::create_directories(dest());
        host = RecordingHost();
        state = DecryptRunState();
        StringInput input(bytes);
        DecryptCode code = DecryptCode::kOk;
        DecryptArchive(Password(), StoreA().personal_code, StoreA().key_mark, input, {}, dest(),
                       host, state, code);
        EXPECT_EQ(code, want.code) << offset;
        std::vector<std::string> lines;
        for (const std::string& name : want.report) {
            lines.push_back(Line(name, want.blocks_line));
        }
        EXPECT_EQ(host.report, lines) << offset;
        std::string a = "-";
        std::string b = "-";
        for (const auto& [name, content] : Output()) {
            ASSERT_TRUE(name == "D/a" || name == "b") << offset << " " << name;
            (name == "b" ? b : a) = content;
        }
        if (want.a == "?") {
            EXPECT_TRUE(a != "-" && a != "hello") << offset << " D/a: " << a;
        } else if (want.a[0] == '#') {
            EXPECT_EQ(a.size(), std::stoul(want.a.substr(1))) << offset;
        } else {
            EXPECT_EQ(a, want.a) << offset;
        }
        EXPECT_EQ(b, want.b) << offset;
    }

    std::string archive_;
};

Outcome FlipOutcome(std::size_t i) {
    using C = DecryptCode;
    if (i == kUncompared || i == kEntry2 + kUncompared) {
        return {C::kEndOfData, {}, "hello", ""};
    }
    if (i < kUncompared) {
        return {C::kBadVersion, {}};  // the first marker
    }
    if (i < kBlock) {
        return {C::kDamaged, {}};  // a header signature
    }
    if (i == kBlock || i == kEnd1) {
        // A length byte or the end marker read as another: the rest of the
        // archive read as blocks of "\D\a".
        return {C::kDamaged, {"D/a"}, "?"};
    }
    if (i < kBlockNoise) {
        return {C::kEndOfData, {"D/a"}, "?", ""};  // its data: the byte sum fails too
    }
    if (i < kEnd1) {
        return {C::kEndOfData, {"D/a"}, "hello", "", true};  // noise or block signature
    }
    if (i < kEntry2) {
        return {C::kEndOfData, {"D/a"}, "hello", ""};  // the end record's signature
    }
    if (i < kEnd2) {
        return {C::kDamaged, {}, "hello"};  // the second marker or header
    }
    if (i == kEnd2) {
        return {C::kDamaged, {"b"}, "hello", ""};
    }
    if (i < kTrailer) {
        return {C::kEndOfData, {"b"}, "hello", ""};
    }
    return {C::kDamaged, {}, "hello", ""};  // the trailer
}

Outcome CutOutcome(std::size_t cut) {
    using C = DecryptCode;
    if (cut == 0) {
        return {C::kEndOfData, {}};  // an empty file is an empty archive
    }
    if (cut < kMarkerSize) {
        return {C::kDamaged, {}};
    }
    if (cut < kBlock) {
        return {C::kReadError, {}};
    }
    if (cut < kEntry2) {
        // A cut block keeps what came of it without its last 7 bytes: whole
        // once all of "hello" and its noise came, only its length before
        // (the cipher runs over the whole block).
        const std::size_t came = std::min<std::size_t>(cut > kBlockData ? cut - kBlockData : 0, 12);
        const std::size_t kept = came > kBlockRandomBytes ? came - kBlockRandomBytes : 0;
        return {C::kDamaged, {"D/a"}, kept == 5 ? "hello" : "#" + std::to_string(kept)};
    }
    if (cut < kEntry2 + kMarkerSize) {
        return {C::kDamaged, {}, "hello"};
    }
    if (cut < kEnd2) {
        return {C::kReadError, {}, "hello"};
    }
    if (cut < kTrailer) {
        return {C::kDamaged, {"b"}, "hello", ""};
    }
    return {C::kDamaged, {}, "hello", ""};
}

TEST_F(EveryOffset, Truncation) {
    for (std::size_t cut = 0; cut < archive_.size(); ++cut) {
        Check(archive_.substr(0, cut), cut, CutOutcome(cut));
    }
}

TEST_F(EveryOffset, OneFlippedByte) {
    for (std::size_t i = 0; i < archive_.size(); ++i) {
        std::string bad = archive_;
        bad[i] = static_cast<char>(bad[i] ^ 0x5A);
        Check(bad, i, FlipOutcome(i));
    }
}

}  // namespace
}  // namespace tazu::test
