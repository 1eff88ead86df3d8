// Every cut and every single flipped byte of a small archive: the reader
// ends cleanly, never writes outside the destination, and leaves no
// temporary file behind.
#include "tests/decrypt/decrypt_fixture.h"

namespace tazu::test {
namespace {

class EveryOffset : public DecryptFixture {
  protected:
    void SetUp() override {
        SeededRandom random(11);
        archive_ = WriteArchive(7, Password(), {{"\\D\\a", "hello"}, {"b", ""}}, random);
    }
    void Check(const std::string& bytes, std::size_t offset) {
        std::filesystem::remove_all(dest());
        std::filesystem::create_directories(dest());
        host = RecordingHost();
        state = DecryptRunState();
        StringInput input(bytes);
        DecryptCode code = DecryptCode::kOk;
        DecryptArchive(Password(), StoreA().personal_code, StoreA().key_mark, input, {}, dest(),
                       host, state, code);
        EXPECT_NE(code, DecryptCode::kOk) << offset;
        for (const auto& [name, content] : Output()) {
            EXPECT_TRUE(name == "D/a" || name == "b") << offset << " " << name;
        }
    }
    std::string archive_;
};

TEST_F(EveryOffset, Truncation) {
    for (std::size_t cut = 0; cut < archive_.size(); ++cut) {
        Check(archive_.substr(0, cut), cut);
    }
}

TEST_F(EveryOffset, OneFlippedByte) {
    for (std::size_t i = 0; i < archive_.size(); ++i) {
        std::string bad = archive_;
        bad[i] = static_cast<char>(bad[i] ^ 0x5A);
        Check(bad, i);
    }
}

}  // namespace
}  // namespace tazu::test
