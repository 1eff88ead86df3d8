// Saving: failed saves leave the old store byte for byte, the in-memory key
// store keeps its masked values and the settings bits it does not own.
#include <gtest/gtest.h>
#include <unistd.h>

#include "cipher/constants.h"
#include "cipher/keyed.h"
#include "io/file_io.h"
#include "keystore/key_store.h"
#include "keystore/keystore_layout.h"
#include "keystore_test_util.h"

namespace tazu::test {
namespace {

using namespace keystore_layout;
using test::Bytes;

// Passes the first `budget` bytes through, then fails like a full disk.
class ShortWriter final : public OutputStream {
  public:
    ShortWriter(OutputStream& file, std::size_t budget) : file_(file), budget_(budget) {}
    bool Write(const std::uint8_t* data, std::size_t count) override {
        const std::size_t n = std::min(count, budget_);
        budget_ -= n;
        return file_.Write(data, n) && n == count;
    }
    bool Flush() override { return file_.Flush(); }

  private:
    OutputStream& file_;
    std::size_t budget_;
};

class KeyStoreSaveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(WriteKeyStoreFile(path_, Str255("old"), test::SampleValues(), random_),
                  KeyStoreSaveCode::kOk);
        old_ = test::ReadAll(path_);
    }

    // The old store is still there, byte for byte, and nothing else is left.
    void ExpectOldStoreOnly() {
        EXPECT_EQ(test::ReadAll(path_), old_);
        std::size_t entries = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_.path())) {
            ++entries;
        }
        EXPECT_EQ(entries, 1u);
    }

    test::TempDir dir_;
    std::filesystem::path path_ = dir_ / "Tazu16x32.key";
    SeededRandom random_{3};
    Bytes old_;
};

TEST_F(KeyStoreSaveTest, AShortWriteAnywhereKeepsTheOldStore) {
    for (std::size_t budget : {std::size_t{0}, std::size_t{15}, kCopySize - 1, kCopySize,
                               kCopySize + 500, kFileSize - 1}) {
        const auto code = WriteKeyStoreFile(
            path_, Str255("new"), test::SampleValues(0x40), random_,
            [budget](OutputStream& file) { return std::make_unique<ShortWriter>(file, budget); });
        EXPECT_EQ(code, KeyStoreSaveCode::kShortWrite) << budget;
        ExpectOldStoreOnly();
    }
    // With room for everything the same path saves.
    EXPECT_EQ(WriteKeyStoreFile(path_, Str255("new"), test::SampleValues(), random_,
                                [](OutputStream& file) {
                                    return std::make_unique<ShortWriter>(file, kFileSize);
                                }),
              KeyStoreSaveCode::kOk);
    KeyStoreValues values;
    EXPECT_EQ(ReadKeyStoreFile(path_, Str255("new"), values), KeyStoreLoadCode::kOk);
}

TEST_F(KeyStoreSaveTest, AFileThatCannotBeCreatedKeepsTheOldStore) {
    const auto code =
        WriteKeyStoreFile(path_, Str255("new"), test::SampleValues(), random_,
                          [](OutputStream&) { return std::unique_ptr<OutputStream>(); });
    EXPECT_EQ(code, KeyStoreSaveCode::kCannotCreate);
    ExpectOldStoreOnly();
}

TEST_F(KeyStoreSaveTest, AFolderThatCannotBeWrittenKeepsTheOldStore) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    std::filesystem::permissions(
        dir_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(WriteKeyStoreFile(path_, Str255("new"), test::SampleValues(), random_),
              KeyStoreSaveCode::kCannotCreate);
    std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_all);
    ExpectOldStoreOnly();
}

TEST_F(KeyStoreSaveTest, PathsThatCannotHoldAStoreAreCodeTwo) {
    EXPECT_EQ(
        WriteKeyStoreFile(dir_ / "no/such/folder.key", Str255(), test::SampleValues(), random_),
        KeyStoreSaveCode::kCannotCreate);
    EXPECT_EQ(
        WriteKeyStoreFile(path_ / "below-a-file.key", Str255(), test::SampleValues(), random_),
        KeyStoreSaveCode::kCannotCreate);
    std::filesystem::create_directory(dir_ / "folder");
    std::filesystem::create_directory(dir_ / "folder" / "inside");
    EXPECT_EQ(WriteKeyStoreFile(dir_ / "folder", Str255(), test::SampleValues(), random_),
              KeyStoreSaveCode::kCannotCreate);
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "folder" / "inside"));
}

TEST_F(KeyStoreSaveTest, ValuesNoStoreCanHoldAreRefused) {
    KeyStoreValues short_code = test::SampleValues();
    short_code.personal_code.resize(127);
    KeyStoreValues no_mark = test::SampleValues();
    no_mark.key_mark = Str255();
    KeyStoreValues long_mark = test::SampleValues();
    long_mark.key_mark = Str255(std::string(129, 'M'));
    for (const KeyStoreValues& v : {short_code, no_mark, long_mark}) {
        EXPECT_EQ(WriteKeyStoreFile(path_, Str255(), v, random_), KeyStoreSaveCode::kCannotCreate);
        ExpectOldStoreOnly();
    }
}

TEST(KeyStoreSave, AFullLengthPersonalCodeSurvives) {
    test::TempDir dir;
    SeededRandom random(5);
    KeyStoreValues v = test::SampleValues();
    v.personal_code = Str255(std::string(255, '\xA5'));
    v.key_mark = Str255(std::string(128, 'K'));
    ASSERT_EQ(WriteKeyStoreFile(dir / "k", Str255(), v, random), KeyStoreSaveCode::kOk);
    KeyStoreValues loaded;
    ASSERT_EQ(ReadKeyStoreFile(dir / "k", Str255(), loaded), KeyStoreLoadCode::kOk);
    EXPECT_TRUE(test::SameValues(loaded, v));
}

TEST_F(KeyStoreSaveTest, KeyStoreSavesItsMaskedValuesWithTheKeptBits) {
    // A store whose settings have bits 7, 1 and 0 set and a marker ending in '7'.
    ASSERT_EQ(WriteKeyStoreFile(path_, Str255(), test::SampleValues(0x83 | 0x18), random_),
              KeyStoreSaveCode::kOk);
    Bytes bytes = test::ReadAll(path_);
    bytes[13] = bytes[kCopySize + 13] = '7';
    test::WriteAll(path_, bytes);

    KeyStore store(random_);
    ASSERT_EQ(store.Load(path_, Str255()), KeyStoreLoadCode::kOk);
    EXPECT_TRUE(store.Loaded());
    EXPECT_FALSE(store.IsProtected());
    EXPECT_EQ(store.Settings(), 0x9B);
    EXPECT_EQ(store.GetKeyStoreValue(1), DefaultPassword());
    EXPECT_EQ(store.GetKeyStoreValue(2), test::SampleValues().personal_code);
    EXPECT_EQ(store.GetKeyStoreValue(3), test::SampleValues().key_mark);
    EXPECT_TRUE(store.GetKeyStoreValue(0).empty());
    EXPECT_TRUE(store.GetKeyStoreValue(4).empty());

    // The switches ask for 0x40 with every kept bit clear: the kept bits stay.
    ASSERT_EQ(store.Save(path_, 0x40), KeyStoreSaveCode::kOk);
    EXPECT_EQ(store.Settings(), 0xC3);
    bytes = test::ReadAll(path_);
    EXPECT_EQ(bytes[13], '0');
    EXPECT_EQ(bytes[kCopySize + 13], '0');
    EXPECT_EQ(bytes[kSettingsOffset], 0xC3);
    // And every other bit follows the switches.
    ASSERT_EQ(store.Save(path_, 0x7C), KeyStoreSaveCode::kOk);
    EXPECT_EQ(store.Settings(), 0xFF);

    // Protection on, saved, then loaded by a new run.
    store.SetProtectionPassword(Str255("pw"));
    EXPECT_TRUE(store.IsProtected());
    ASSERT_EQ(store.Save(path_, store.Settings()), KeyStoreSaveCode::kOk);
    KeyStore next(random_);
    EXPECT_EQ(next.Load(path_, Str255()), KeyStoreLoadCode::kWrongPassword);
    EXPECT_FALSE(next.Loaded());
    EXPECT_TRUE(next.GetKeyStoreValue(2).empty());
    ASSERT_EQ(next.Load(path_, Str255("pw")), KeyStoreLoadCode::kOk);
    EXPECT_TRUE(next.IsProtected());
    EXPECT_EQ(next.GetKeyStoreValue(2), test::SampleValues().personal_code);

    // Protection off again: the empty password stands for the default one.
    next.SetProtectionPassword(Str255());
    EXPECT_FALSE(next.IsProtected());
    ASSERT_EQ(next.Save(path_, next.Settings()), KeyStoreSaveCode::kOk);
    KeyStoreValues values;
    EXPECT_EQ(ReadKeyStoreFile(path_, Str255(), values), KeyStoreLoadCode::kOk);
}

TEST_F(KeyStoreSaveTest, AFailedSaveChangesNeitherFileNorSettings) {
    KeyStore store(random_);
    EXPECT_EQ(store.Save(path_, 0x18), KeyStoreSaveCode::kCannotCreate);  // nothing loaded
    ExpectOldStoreOnly();
    ASSERT_EQ(store.Load(path_, Str255("old")), KeyStoreLoadCode::kOk);
    EXPECT_EQ(store.Save(dir_ / "no/such/folder/k", 0x00), KeyStoreSaveCode::kCannotCreate);
    EXPECT_EQ(store.Settings(), 0x18);
}

TEST_F(KeyStoreSaveTest, ASaveKeepsTheStoresModeAndANewStoreIsOwnerOnly) {
    auto mode_of = [](const std::filesystem::path& p) {
        return std::filesystem::status(p).permissions() & std::filesystem::perms::mask;
    };
    std::filesystem::permissions(path_, std::filesystem::perms(0640));
    ASSERT_EQ(WriteKeyStoreFile(path_, Str255("new"), test::SampleValues(), random_),
              KeyStoreSaveCode::kOk);
    EXPECT_EQ(mode_of(path_), std::filesystem::perms(0640));
    EXPECT_NE(test::ReadAll(path_), old_);

    const std::filesystem::path fresh = dir_ / "fresh.key";
    ASSERT_EQ(WriteKeyStoreFile(fresh, Str255(), test::SampleValues(), random_),
              KeyStoreSaveCode::kOk);
    EXPECT_EQ(mode_of(fresh) & std::filesystem::perms(0077), std::filesystem::perms::none);
}

}  // namespace
}  // namespace tazu::test
