// Reading stores: round trips, the file's shape, and damaged, cut, padded and
// foreign files, each with the exact load code.
#include <gtest/gtest.h>

#include <algorithm>

#include "cipher/constants.h"
#include "keystore/keystore_layout.h"
#include "keystore_test_util.h"

namespace tazu::test {
namespace {

using namespace keystore_layout;
using test::Bytes;

class KeyStoreFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(WriteKeyStoreFile(path_, Str255(), test::SampleValues(), random_),
                  KeyStoreSaveCode::kOk);
        good_ = test::ReadAll(path_);
        ASSERT_EQ(good_.size(), kFileSize);
    }

    KeyStoreLoadCode Load(const Bytes& bytes, KeyStoreValues* out = nullptr) {
        test::WriteAll(path_, bytes);
        KeyStoreValues values;
        const KeyStoreLoadCode code = ReadKeyStoreFile(path_, Str255(), values);
        if (code == KeyStoreLoadCode::kOk) {
            EXPECT_TRUE(test::SameValues(values, test::SampleValues()));
        }
        if (out != nullptr) {
            *out = values;
        }
        return code;
    }

    test::TempDir dir_;
    std::filesystem::path path_ = dir_ / "Tazu16x32.key";
    SeededRandom random_{7};
    Bytes good_;
};

TEST_F(KeyStoreFileTest, FileIsOneCopyWrittenTwice) {
    EXPECT_TRUE(std::equal(good_.begin(), good_.begin() + kCopySize, good_.begin() + kCopySize));
    EXPECT_EQ(std::string(good_.begin(), good_.begin() + kMarkerSize), "Tazu16x32.07.0");
    EXPECT_EQ(good_[kSettingsOffset], 0x18);
    EXPECT_EQ(Load(good_), KeyStoreLoadCode::kOk);
}

struct RoundTripCase {
    const char* name;
    Str255 password;  // written with
    Str255 right;     // opens it
    Str255 wrong;     // gives code 1
};

class KeyStoreRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(KeyStoreRoundTrip, LoadsWithTheRightPasswordOnly) {
    const RoundTripCase& c = GetParam();
    test::TempDir dir;
    SeededRandom random(11);
    const KeyStoreValues values = test::SampleValues(0x9B);
    ASSERT_EQ(WriteKeyStoreFile(dir / "a.key", c.password, values, random), KeyStoreSaveCode::kOk);
    ASSERT_EQ(WriteKeyStoreFile(dir / "b.key", c.password, values, random), KeyStoreSaveCode::kOk);
    for (const char* name : {"a.key", "b.key"}) {
        KeyStoreValues loaded;
        ASSERT_EQ(ReadKeyStoreFile(dir / name, c.right, loaded), KeyStoreLoadCode::kOk) << name;
        EXPECT_TRUE(test::SameValues(loaded, values)) << name;
        KeyStoreValues none;
        EXPECT_EQ(ReadKeyStoreFile(dir / name, c.wrong, none), KeyStoreLoadCode::kWrongPassword);
        EXPECT_TRUE(none.personal_code.empty());
    }
    // The same values under fresh randomness: equal up to the settings byte,
    // different in every record after it.
    const Bytes a = test::ReadAll(dir / "a.key");
    const Bytes b = test::ReadAll(dir / "b.key");
    EXPECT_TRUE(std::equal(a.begin(), a.begin() + kCheckOffset, b.begin()));
    for (std::size_t offset : {kCheckOffset, kRecordAOffset, kRecordBOffset, kKeyMarkOffset}) {
        EXPECT_FALSE(
            std::equal(a.begin() + offset, a.begin() + offset + kEnvelopeSize, b.begin() + offset))
            << offset;
    }
}

const Str255 kBinaryPassword = Str255::FromBytes("\x00\xff\x01 pw\n", 7);

INSTANTIATE_TEST_SUITE_P(
    Passwords, KeyStoreRoundTrip,
    ::testing::Values(
        RoundTripCase{"Unprotected", Str255(), Str255(), Str255("guess")},
        RoundTripCase{"DefaultIsUnprotected", DefaultPassword(), Str255(), Str255("guess")},
        RoundTripCase{"Protected", Str255("secret"), Str255("secret"), Str255()},
        RoundTripCase{"BinaryPassword", kBinaryPassword, kBinaryPassword, Str255("secret")},
        RoundTripCase{"LongPassword", Str255(std::string(255, 'p')), Str255(std::string(255, 'p')),
                      Str255(std::string(254, 'p'))}),
    [](const auto& info) { return std::string(info.param.name); });

// Every record of the copy with its size; the check record is 253 bytes.
struct Region {
    std::size_t offset;
    std::size_t size;
};
constexpr Region kRecords[] = {
    {kCheckOffset, kDoubleEnvelopeSize},
    {kRecordAOffset, kEnvelopeSize},
    {kRecordBOffset, kEnvelopeSize},
    {kKeyMarkOffset, kEnvelopeSize},
};

TEST_F(KeyStoreFileTest, AnyBrokenByteOfTheFirstCopyFallsBackToTheBackup) {
    for (const Region& r : kRecords) {
        for (std::size_t i = r.offset; i < r.offset + r.size + kSignatureSize; ++i) {
            Bytes bad = good_;
            bad[i] ^= 0x5A;
            ASSERT_EQ(Load(bad), KeyStoreLoadCode::kOk) << "byte " << i;
        }
    }
}

TEST_F(KeyStoreFileTest, ARecordBrokenInBothCopiesIsDamage) {
    for (const Region& r : kRecords) {
        for (std::size_t i : {r.offset, r.offset + r.size / 2, r.offset + r.size + 1}) {
            Bytes bad = good_;
            bad[i] ^= 0x01;
            bad[kCopySize + i] ^= 0x80;
            EXPECT_EQ(Load(bad), KeyStoreLoadCode::kDamaged) << "byte " << i;
        }
    }
}

TEST_F(KeyStoreFileTest, RecordsMayComeFromEitherCopy) {
    Bytes bad = good_;
    bad[kRecordAOffset] ^= 1;                  // A only in the backup
    bad[kCopySize + kRecordBOffset] ^= 1;      // B only in the first copy
    bad[kKeyMarkOffset + kEnvelopeSize] ^= 1;  // key mark signature broken in the first
    EXPECT_EQ(Load(bad), KeyStoreLoadCode::kOk);
}

TEST_F(KeyStoreFileTest, CutFiles) {
    struct Cut {
        std::size_t size;
        KeyStoreLoadCode code;
    };
    for (const Cut& c :
         {Cut{kCopySize + 1000, KeyStoreLoadCode::kOk}, Cut{kCopySize + 14, KeyStoreLoadCode::kOk},
          Cut{kCopySize, KeyStoreLoadCode::kOk}, Cut{kCopySize - 1, KeyStoreLoadCode::kDamaged},
          Cut{kRecordAOffset, KeyStoreLoadCode::kDamaged}, Cut{13, KeyStoreLoadCode::kDamaged},
          Cut{12, KeyStoreLoadCode::kBadVersion}, Cut{0, KeyStoreLoadCode::kBadVersion}}) {
        EXPECT_EQ(Load(Bytes(good_.begin(), good_.begin() + c.size)), c.code) << c.size;
    }
    // Cut inside the backup: the first copy still carries every record.
    Bytes cut(good_.begin(), good_.begin() + kCopySize + kRecordBOffset);
    EXPECT_EQ(Load(cut), KeyStoreLoadCode::kOk);
    cut[kKeyMarkOffset] ^= 1;  // and the backup's key mark is missing
    EXPECT_EQ(Load(cut), KeyStoreLoadCode::kDamaged);
}

TEST_F(KeyStoreFileTest, TheFourteenthMarkerByteIsNeverCompared) {
    for (int b : {int{'0'}, int{'7'}, int{'x'}, 0x00, 0xFF}) {
        Bytes bytes = good_;
        bytes[13] = static_cast<std::uint8_t>(b);
        bytes[kCopySize + 13] = static_cast<std::uint8_t>(b);
        bytes[kRecordAOffset] ^= 1;  // the backup must still be found
        EXPECT_EQ(Load(bytes), KeyStoreLoadCode::kOk) << b;
    }
}

TEST_F(KeyStoreFileTest, AnyOtherStartIsABadVersion) {
    for (std::size_t i = 0; i < kMarkerCompareSize; ++i) {
        Bytes bytes = good_;
        bytes[i] ^= 0x20;
        EXPECT_EQ(Load(bytes), KeyStoreLoadCode::kBadVersion) << i;
    }
    EXPECT_EQ(Load(Bytes(kFileSize, 0)), KeyStoreLoadCode::kBadVersion);
    // An older version's marker is another start as well.
    Bytes older = good_;
    older[11] = '6';
    EXPECT_EQ(Load(older), KeyStoreLoadCode::kBadVersion);
}

TEST_F(KeyStoreFileTest, WhatCannotBeOpenedIsCodeTwo) {
    KeyStoreValues values;
    const auto missing = dir_ / "missing.key";
    EXPECT_EQ(ReadKeyStoreFile(missing, Str255(), values), KeyStoreLoadCode::kCannotOpen);
    EXPECT_EQ(LoadFailureText(KeyStoreLoadCode::kCannotOpen, missing), "файл ключа не найден");
    // A folder exists but is no store.
    EXPECT_EQ(ReadKeyStoreFile(dir_.path(), Str255(), values), KeyStoreLoadCode::kCannotOpen);
    EXPECT_EQ(LoadFailureText(KeyStoreLoadCode::kCannotOpen, dir_.path()), "ошибка открытия ключа");
}

// A first copy, filler up to pos, the copy again, and more filler after it.
Bytes WithBackupAt(const Bytes& good, std::size_t pos, std::size_t total) {
    Bytes bytes(good.begin(), good.begin() + kCopySize);
    bytes.resize(pos, 0xEE);
    bytes.insert(bytes.end(), good.begin(), good.begin() + kCopySize);
    bytes.resize(std::max(total, bytes.size()), 0xEE);
    return bytes;
}

TEST_F(KeyStoreFileTest, OnlyTheFirst8192BytesCount) {
    // A backup that lies wholly inside the first 8192 bytes of a longer file.
    Bytes bytes = WithBackupAt(good_, 8192 - kCopySize, 12000);
    bytes[kKeyMarkOffset] ^= 1;
    EXPECT_EQ(Load(bytes), KeyStoreLoadCode::kOk);
    // A backup that starts beyond them is not found.
    bytes = WithBackupAt(good_, 8200, 0);
    EXPECT_EQ(Load(bytes), KeyStoreLoadCode::kOk);
    bytes[kRecordAOffset] ^= 1;
    EXPECT_EQ(Load(bytes), KeyStoreLoadCode::kDamaged);
    // One that reaches past them keeps its records before 8192 only.
    bytes = WithBackupAt(good_, 8192 - kKeyMarkOffset - 100, 0);
    bytes[kRecordAOffset] ^= 1;
    EXPECT_EQ(Load(bytes), KeyStoreLoadCode::kOk);
    bytes[kKeyMarkOffset] ^= 1;
    EXPECT_EQ(Load(bytes), KeyStoreLoadCode::kDamaged);
}

TEST_F(KeyStoreFileTest, TheLastMarkerAfterTheSettingsByteIsTheBackup) {
    // first copy, a damaged copy, an intact copy: the intact one is taken.
    Bytes damaged(good_.begin(), good_.begin() + kCopySize);
    damaged[kRecordAOffset] ^= 1;
    Bytes bytes = damaged;
    bytes.insert(bytes.end(), damaged.begin(), damaged.end());
    bytes.insert(bytes.end(), good_.begin(), good_.begin() + kCopySize);
    EXPECT_EQ(Load(bytes), KeyStoreLoadCode::kOk);
    // The other way round the damaged one is taken, and A is lost.
    bytes = damaged;
    bytes.insert(bytes.end(), good_.begin(), good_.begin() + kCopySize);
    bytes.insert(bytes.end(), damaged.begin(), damaged.end());
    EXPECT_EQ(Load(bytes), KeyStoreLoadCode::kDamaged);
    // A marker text in the last 13 bytes is past the scan and not taken.
    bytes = damaged;
    bytes.insert(bytes.end(), good_.begin(), good_.begin() + kCopySize);
    bytes.insert(bytes.end(), kMarker.begin(), kMarker.begin() + kMarkerCompareSize);
    EXPECT_EQ(Load(bytes), KeyStoreLoadCode::kOk);
}

}  // namespace
}  // namespace tazu::test
