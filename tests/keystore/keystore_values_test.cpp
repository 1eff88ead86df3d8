// First stores, the base-n reader of the settings switches, and the texts.
#include <gtest/gtest.h>

#include <algorithm>

#include "cipher/constants.h"
#include "cipher/keyed.h"
#include "keystore/key_store.h"
#include "keystore_test_util.h"

namespace tazu::test {
namespace {

// Hands out zero bytes first, then seeded ones: the first key mark drawn is
// eighteen "0", which a first store must never keep.
class ZerosFirst final : public Random {
  public:
    explicit ZerosFirst(std::size_t zeros) : zeros_(zeros) {}

  protected:
    void Fill(std::uint8_t* out, std::size_t count) override {
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t b = 0;
            seeded_.Read(&b);
            out[i] = zeros_ > 0 ? 0 : b;
            zeros_ -= zeros_ > 0 ? 1 : 0;
        }
    }

  private:
    struct Seeded {
        std::uint64_t state = 1;
        void Read(std::uint8_t* b) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            *b = static_cast<std::uint8_t>(state >> 56);
        }
    } seeded_;
    std::size_t zeros_;
};

bool IsMarkCharacter(std::uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

TEST(FirstKeyStore, ValuesHaveTheRightShape) {
    SeededRandom random(1);
    std::size_t shortest = 255, longest = 0;
    for (int i = 0; i < 300; ++i) {
        const KeyStoreValues v = MakeFirstKeyStoreValues(0x18, random);
        EXPECT_EQ(v.settings, 0x18);
        shortest = std::min(shortest, v.personal_code.size());
        longest = std::max(longest, v.personal_code.size());
        ASSERT_EQ(v.key_mark.size(), 18u);
        for (std::size_t k = 0; k < 18; ++k) {
            EXPECT_TRUE(IsMarkCharacter(v.key_mark[k]));
        }
        EXPECT_FALSE(v.key_mark == NoKeyMark());
    }
    EXPECT_GE(shortest, 128u);
    EXPECT_LE(longest, 255u);
    EXPECT_GT(longest - shortest, 64u);  // the length is drawn, not fixed
}

TEST(FirstKeyStore, NeverKeepsTheNoKeyMark) {
    // 1 length byte + 128 code bytes + 18 key mark bytes, all zero.
    ZerosFirst random(1 + 128 + 18);
    const KeyStoreValues v = MakeFirstKeyStoreValues(0, random);
    EXPECT_EQ(v.personal_code.size(), 128u);
    EXPECT_EQ(v.key_mark.size(), 18u);
    EXPECT_FALSE(v.key_mark == NoKeyMark());
}

TEST(FirstKeyStore, CreatedStoreLoads) {
    test::TempDir dir;
    SeededRandom random(4);
    ASSERT_EQ(CreateKeyStoreFile(dir / "k", Str255("pw"), 0x18, random), KeyStoreSaveCode::kOk);
    KeyStoreValues v;
    EXPECT_EQ(ReadKeyStoreFile(dir / "k", Str255(), v), KeyStoreLoadCode::kWrongPassword);
    ASSERT_EQ(ReadKeyStoreFile(dir / "k", Str255("pw"), v), KeyStoreLoadCode::kOk);
    EXPECT_EQ(v.settings, 0x18);
    EXPECT_GE(v.personal_code.size(), 128u);
    EXPECT_EQ(v.key_mark.size(), 18u);
#ifndef _WIN32
    // Owner-only: the store holds the personal code. (Windows has no such
    // bits; the store lies in the user's own profile there.)
    const auto perms = std::filesystem::status(dir / "k").permissions();
    EXPECT_EQ(perms & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
              std::filesystem::perms::none);
#endif
}

TEST(ParseBaseN, ReadsTheSwitchTextAndOtherBases) {
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(ParseBaseN(ByteToBits(static_cast<std::uint8_t>(b)).view(), 2),
                  static_cast<std::uint32_t>(b));
    }
    EXPECT_EQ(ParseBaseN("00011000", 2), 0x18u);
    EXPECT_EQ(ParseBaseN("FF", 16), 255u);
    EXPECT_EQ(ParseBaseN("Z", 36), 35u);
    EXPECT_EQ(ParseBaseN("1A", 16), 26u);
    EXPECT_EQ(ParseBaseN("0042", 10), 42u);
    EXPECT_EQ(ParseBaseN("", 2), 0u);
}

TEST(KeyStoreTexts, AreTheProgramsTexts) {
    EXPECT_EQ(LoadCodeText(KeyStoreLoadCode::kOk), "");
    EXPECT_EQ(LoadCodeText(KeyStoreLoadCode::kWrongPassword), "пароль введен неверно");
    EXPECT_EQ(LoadCodeText(KeyStoreLoadCode::kCannotOpen), "ошибка открытия ключа");
    EXPECT_EQ(LoadCodeText(KeyStoreLoadCode::kBadVersion), "неверная версия файла ключа");
    EXPECT_EQ(LoadCodeText(KeyStoreLoadCode::kDamaged), "ключ поврежден");
    EXPECT_EQ(KeyStoreMissingText(), "файл ключа не найден");
    EXPECT_EQ(SaveCodeText(KeyStoreSaveCode::kOk), "Ключ успешно сохранен");
    EXPECT_EQ(SaveCodeText(KeyStoreSaveCode::kCannotCreate),
              "Ошибка записи ключа, возможно он поврежден");
    EXPECT_EQ(SaveCodeText(KeyStoreSaveCode::kShortWrite), "Ошибка сохранения ключа на диск");
}

}  // namespace
}  // namespace tazu::test
