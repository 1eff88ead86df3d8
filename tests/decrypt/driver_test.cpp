// The run as a whole: its end, the trailer, version and key-store checks,
// the personal-code indicator and the name record's length byte.
#include "format/format.h"
#include "tests/decrypt/decrypt_fixture.h"

namespace tazu::test {
namespace {

class Driver : public DecryptFixture {
  protected:
    std::string Write07(const std::vector<StoredFile>& files, std::uint64_t seed = 3) {
        SeededRandom random(seed);
        return WriteArchive(7, Password(), files, random);
    }
};

TEST_F(Driver, EmptyFileAndLoneTrailerEndAtOnce) {
    for (const std::string& bytes : {std::string(), std::string("\xFF")}) {
        EXPECT_EQ(Run(bytes), DecryptCode::kEndOfData);
        EXPECT_TRUE(Output().empty());
        EXPECT_EQ(host.entries, 0);
    }
}

TEST_F(Driver, TrailerMustMatchTheEntries) {
    const std::string good = Write07({{"a", "aa"}, {"b", "bb"}});
    EXPECT_EQ(Run(good), DecryptCode::kEndOfData);
    // Cut at the entry boundary: both files are written, but the run is damaged.
    std::string no_trailer = good.substr(0, good.size() - 3);
    EXPECT_EQ(Run(no_trailer), DecryptCode::kDamaged);
    std::string bad = good;
    bad.back() ^= 1;
    EXPECT_EQ(Run(bad), DecryptCode::kDamaged);
    EXPECT_EQ(Run(good + "0123456789A"), DecryptCode::kDamaged);
    EXPECT_EQ(Run("\xFF\x01"), DecryptCode::kDamaged);
}

TEST_F(Driver, ArchiveThatCannotBeOpenedIsAReadError) {
    DecryptCode code = DecryptCode::kOk;
    DecryptObject(Password(), StoreA().personal_code, StoreA().key_mark, dir / "missing", dest(),
                  host, state, code);
    EXPECT_EQ(code, DecryptCode::kReadError);
}

TEST_F(Driver, EmptyKeyStoreValuesAreRefused) {
    EXPECT_EQ(Run(Write07({{"a", "aa"}}), TestKeyStore{Str255(), Str255("m")}),
              DecryptCode::kEmptyArgument);
    EXPECT_TRUE(Output().empty());
}

TEST_F(Driver, UnknownMarkerIsAnotherVersion) {
    EXPECT_EQ(Run("Tazu16x32.08.0 and more bytes"), DecryptCode::kBadVersion);
    EXPECT_EQ(Run("Tazu16x32.07."), DecryptCode::kDamaged);  // a marker cut after 13 bytes
}

TEST_F(Driver, SecondEntryOfAnotherVersionStopsAfterTheFirst) {
    SeededRandom random(4);
    Str255 chain;
    const std::string archive =
        WriteEntries07(Password(), {{"a", "first"}}, random, StoreA(), chain) +
        WriteOlderEntry(5, Password(), {"b", "second"}, random);
    EXPECT_EQ(Run(archive), DecryptCode::kDamaged);
    EXPECT_EQ(Output(), (Files{{"a", "first"}}));
}

TEST_F(Driver, PersonalCodeOfAnotherStoreIsRefused) {
    const std::string archive = Write07({{"a", "plain"}, {"b", "coded", true}});
    EXPECT_EQ(Run(archive, StoreB()), DecryptCode::kOtherKeyStore);
    EXPECT_EQ(Output(), (Files{{"a", "plain"}}));  // made without the code: any store opens it
}

TEST_F(Driver, MixedArchiveShowsBothAndOpensWithItsStore) {
    EXPECT_EQ(Run(Write07({{"a", "plain"}, {"b", "coded", true}})), DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), (Files{{"a", "plain"}, {"b", "coded"}}));
    EXPECT_EQ(host.indicator, "Да / Нет");
}

TEST_F(Driver, OnlyCodedEntriesShowYes) {
    EXPECT_EQ(Run(Write07({{"a", "1", true}, {"b", "2", true}})), DecryptCode::kEndOfData);
    EXPECT_EQ(host.indicator, "Да");
}

TEST_F(Driver, NameLengthByteOtherThanZeroOr254IsDamage) {
    const std::string good = Write07({{"a", "data"}});
    const std::size_t length_byte = kMarkerSize + kSaltRecordSize + 2 * kEnvelopeRecordSize;
    ASSERT_EQ(good[length_byte], 0);
    for (int l = 1; l <= 253; ++l) {
        std::string bad = good;
        bad[length_byte] = static_cast<char>(l);
        EXPECT_EQ(Run(bad), DecryptCode::kDamaged) << l;
        EXPECT_TRUE(Output().empty()) << l;
        // Cut right behind the length byte: the record cannot be read.
        EXPECT_EQ(Run(bad.substr(0, length_byte + 1 + l / 2)), DecryptCode::kReadError) << l;
    }
}

TEST_F(Driver, DestinationJointHasOneSeparator) {
    const std::string archive = Write07({{"\\Docs\\a.txt", "x"}, {"b.txt", "y"}});
    for (const std::string suffix : {"", "/", "//"}) {
        RecordingHost fresh;
        WriteFile(this->archive(), archive);
        DecryptCode code = DecryptCode::kOk;
        std::filesystem::remove_all(dest());
        std::filesystem::create_directories(dest());
        WriteFile(dest() / "b.txt", "old");
        fresh.answers = {ExistingFileChoice::Skip};
        DecryptObject(Password(), StoreA().personal_code, StoreA().key_mark, this->archive(),
                      std::filesystem::path(dest().string() + suffix), fresh, state, code);
        EXPECT_EQ(code, DecryptCode::kEndOfData);
        EXPECT_EQ(fresh.asked, std::vector<std::string>{ShownPath(dest() / "b.txt")});
        EXPECT_EQ(ReadFile(dest() / "Docs" / "a.txt"), "x");
    }
}

TEST_F(Driver, OutputThatIsTheArchiveIsNotTouched) {
    const std::string archive = Write07({{"archive.shf", "x"}});
    WriteFile(this->archive(), archive);
    DecryptCode code = DecryptCode::kOk;
    host.answers = {ExistingFileChoice::Replace};
    DecryptObject(Password(), StoreA().personal_code, StoreA().key_mark, this->archive(),
                  dir.path(), host, state, code);
    EXPECT_EQ(code, DecryptCode::kEndOfData);
    EXPECT_EQ(ReadFile(this->archive()), archive);
    EXPECT_TRUE(host.asked.empty());
    EXPECT_EQ(host.report, std::vector<std::string>{"-) Файл: " + this->archive().string() +
                                                    " - пропущен, нет доступа"});
}

// Files go to the folder the last entry went to without walking there
// again: a change of folder, a return to one, and a folder removed between
// two entries (made again, never written into while gone) all end up right.
// (No two names differ only in case: Windows would take them for one.)
class RemovesFolderOnce final : public RecordingHost {
  public:
    explicit RemovesFolderOnce(std::filesystem::path folder) : folder_(std::move(folder)) {}
    void AddEntryHandled() override {
        RecordingHost::AddEntryHandled();
        if (entries == 1) {
            std::filesystem::remove_all(folder_);
        }
    }

  private:
    std::filesystem::path folder_;
};

TEST_F(Driver, EachEntryLandsInItsFolderAsTheFolderChanges) {
    const std::string archive_bytes =
        Write07({{"\\D\\a", "1"}, {"\\D\\b", "2"}, {"\\E\\c", "3"}, {"\\D\\d", "4"}, {"f", "5"}});
    EXPECT_EQ(Run(archive_bytes), DecryptCode::kEndOfData);
    EXPECT_EQ(Output(),
              (Files{{"D/a", "1"}, {"D/b", "2"}, {"D/d", "4"}, {"E/c", "3"}, {"f", "5"}}));

    std::filesystem::remove_all(dest());
    std::filesystem::create_directories(dest());
    RemovesFolderOnce removing(dest() / "D");
    DecryptCode code = DecryptCode::kOk;
    DecryptObject(Password(), StoreA().personal_code, StoreA().key_mark, archive(), dest(),
                  removing, state, code, true);
    EXPECT_EQ(code, DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), (Files{{"D/b", "2"}, {"D/d", "4"}, {"E/c", "3"}, {"f", "5"}}));
}

}  // namespace
}  // namespace tazu::test

namespace tazu::test {
namespace {

// An archive of an older version cut inside its last block keeps as many
// deciphered bytes as came, up to n - 7: the block's plaintext is the first
// n - 7 bytes of what is deciphered, and what is missing is its random
// bytes first. (A cut block deciphers to other bytes than the whole one;
// the count is what a reader must keep.)
class OlderCutBlock : public DecryptFixture, public ::testing::WithParamInterface<int> {};

TEST_P(OlderCutBlock, KeepsEveryByteThatCame) {
    const std::string content = Pattern(300, GetParam());
    SeededRandom random(11);
    const std::string good = WriteArchive(GetParam(), Password(), {{"a", content}}, random);
    // Behind the last block: the end record (3 bytes) and the trailer (1).
    const std::size_t last_block = good.size() - 4 - (1 + 62 + kSignatureSize);
    ASSERT_EQ(static_cast<unsigned char>(good[last_block]), 62);
    for (std::size_t read = 0; read <= 62; ++read) {
        std::filesystem::remove_all(dest());
        std::filesystem::create_directories(dest());
        Run(good.substr(0, last_block + 1 + read));
        const Files out = Output();
        ASSERT_EQ(out.size(), 1u);
        ASSERT_EQ(out[0].second.size(), 245 + std::min<std::size_t>(read, 55)) << "read " << read;
        ASSERT_EQ(out[0].second.substr(0, 245), content.substr(0, 245)) << "read " << read;
        if (read == 62) {
            ASSERT_EQ(out[0].second, content);  // only the signature is missing
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, OlderCutBlock, ::testing::Range(0, 7));

}  // namespace
}  // namespace tazu::test
