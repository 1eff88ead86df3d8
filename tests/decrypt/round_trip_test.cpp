// One suite over every format version: what a writer of that version puts
// in comes back out, and the damage a reader must notice is reported the
// same way in every version (with the older versions' differences).
#include "decrypt/entry_rules.h"
#include "format/format.h"
#include "tests/decrypt/decrypt_fixture.h"

namespace tazu::test {
namespace {

class EveryVersion : public DecryptFixture, public ::testing::WithParamInterface<int> {
  protected:
    int version() const { return GetParam(); }
    // What the formats promise, written out here rather than taken from the
    // reader's own table, so that a wrong row there fails these tests.
    std::string Prefix() const { return version() >= 5 ? "-) Файл: " : "Файл: "; }
    bool ChecksBlocks() const { return version() >= 3; }
    bool ReportsSkips() const { return version() >= 5; }
    std::string Write(const std::vector<StoredFile>& files, std::uint64_t seed = 1) {
        SeededRandom random(seed + static_cast<std::uint64_t>(version()));
        return WriteArchive(version(), Password(), files, random);
    }
    // Offset of the first data block of a single entry with a short name.
    static constexpr std::size_t kFirstBlock = kFixedPartSize - (kEnvelopeRecordSize * 2);
    std::size_t FirstBlock() const { return version() == 7 ? kFixedPartSize : kFirstBlock; }
};

TEST_P(EveryVersion, FolderTreeComesBackByteForByte) {
    const std::string long_name = "\\Docs\\" + std::string(140, 'n');
    const std::string archive = Write({{"\\Docs\\a.txt", Pattern(1000, 1)},
                                       {"\\Docs\\Sub\\empty", ""},
                                       {"\\Docs\\Sub\\245", Pattern(245, 2)},
                                       {"\\Docs\\Sub\\246", Pattern(246, 3)},
                                       {long_name, Pattern(3000, 4)}});
    EXPECT_EQ(Run(archive), DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), (Files{{"Docs/Sub/245", Pattern(245, 2)},
                               {"Docs/Sub/246", Pattern(246, 3)},
                               {"Docs/Sub/empty", ""},
                               {"Docs/a.txt", Pattern(1000, 1)},
                               {"Docs/" + std::string(140, 'n'), Pattern(3000, 4)}}));
    EXPECT_TRUE(host.report.empty());
    EXPECT_EQ(host.entries, 5);
    EXPECT_EQ(host.bytes, 1000 + 245 + 246 + 3000);
    EXPECT_EQ(host.indicator, version() >= 3 ? "Нет" : "");
}

TEST_P(EveryVersion, WrongPasswordWritesNothing) {
    EXPECT_EQ(Run(Write({{"a", "data"}}), StoreA(), Str255("wrong")), DecryptCode::kWrongPassword);
    EXPECT_TRUE(Output().empty());
}

TEST_P(EveryVersion, BlockSignatureChangedKeepsDataAndCountsTheBlock) {
    std::string archive = Write({{"a", Pattern(300, 5)}});
    archive[FirstBlock() + 1 + 252] ^= 0x01;  // first signature byte of the first block
    EXPECT_EQ(Run(archive), DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), (Files{{"a", Pattern(300, 5)}}));
    const std::string path = ShownPath(dest() / "a");
    if (ChecksBlocks()) {
        EXPECT_EQ(host.report,
                  std::vector<std::string>{Prefix() + path + " - поврежден (блоков: 1 )."});
        EXPECT_EQ(host.results, std::vector<std::string>{"a: damaged 1"});
    } else {
        EXPECT_TRUE(host.report.empty());  // not checked in these versions
        EXPECT_TRUE(host.results.empty());
    }
}

TEST_P(EveryVersion, CiphertextChangedIsReportedDamaged) {
    std::string archive = Write({{"a", Pattern(300, 6)}});
    archive[FirstBlock() + 10] ^= 0x40;
    EXPECT_EQ(Run(archive), DecryptCode::kEndOfData);
    ASSERT_EQ(Output().size(), 1u);
    EXPECT_NE(Output()[0].second, Pattern(300, 6));
    EXPECT_EQ(host.report,
              std::vector<std::string>{Prefix() + ShownPath(dest() / "a") + " - поврежден"});
    EXPECT_EQ(host.results, std::vector<std::string>{"a: damaged -1"});  // not counted
}

TEST_P(EveryVersion, CutInsideAnEntryKeepsWhatWasRead) {
    std::string archive = Write({{"a", Pattern(600, 7)}});
    archive.resize(FirstBlock() + 255 + 100);
    // A version-07 archive without its trailer is damaged; older ones end.
    EXPECT_EQ(Run(archive), version() == 7 ? DecryptCode::kDamaged : DecryptCode::kEndOfData);
    ASSERT_EQ(Output().size(), 1u);
    // The whole first block, and what could be deciphered of the cut one:
    // version 07 drops the last 7 bytes that came, older versions keep the
    // first n - 7 of the block, which are all 99 that came.
    const std::string out = Output()[0].second;
    EXPECT_EQ(out.size(), version() == 7 ? 245u + 99 - 7 : 245u + 99);
    EXPECT_TRUE(out.substr(0, 245) == Pattern(600, 7).substr(0, 245));
    EXPECT_EQ(host.report.at(0), Prefix() + ShownPath(dest() / "a") + " - поврежден");
}

TEST_P(EveryVersion, ExistingFileSkipLeavesItUntouched) {
    WriteFile(dest() / "a", "old");
    host.answers = {ExistingFileChoice::Skip};
    EXPECT_EQ(Run(Write({{"a", "new"}, {"b", "bee"}})), DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), (Files{{"a", "old"}, {"b", "bee"}}));
    EXPECT_EQ(host.asked, std::vector<std::string>{ShownPath(dest() / "a")});
    if (ReportsSkips()) {
        EXPECT_EQ(host.report, std::vector<std::string>{"-) Файл: " + ShownPath(dest() / "a") +
                                                        " - пропущен, уже существует"});
        EXPECT_EQ(host.results, std::vector<std::string>{"a: skipped уже существует"});
    } else {
        EXPECT_TRUE(host.report.empty());
        EXPECT_TRUE(host.results.empty());
    }
    EXPECT_EQ(host.entries, 2);
}

TEST_P(EveryVersion, ExistingFileCancelStopsTheRun) {
    WriteFile(dest() / "b", "old");
    host.answers = {ExistingFileChoice::Cancel};
    EXPECT_EQ(Run(Write({{"a", "aa"}, {"b", "new"}, {"c", "cc"}})), DecryptCode::kAborted);
    EXPECT_TRUE(state.DecryptCancelled);
    EXPECT_EQ(Output(), (Files{{"a", "aa"}, {"b", "old"}}));
}

TEST_P(EveryVersion, ApplyToAllAsksOnce) {
    for (const char* name : {"a", "b", "c"}) {
        WriteFile(dest() / name, "old");
    }
    host.answers = {ExistingFileChoice::Replace};
    host.apply_to_all = true;
    EXPECT_EQ(Run(Write({{"a", "1"}, {"b", "2"}, {"c", "3"}})), DecryptCode::kEndOfData);
    EXPECT_EQ(host.asked.size(), 1u);
    EXPECT_EQ(Output(), (Files{{"a", "1"}, {"b", "2"}, {"c", "3"}}));
}

TEST_P(EveryVersion, AbortDuringAFileRemovesItsPartialOutput) {
    state.DecryptBlocksPerUpdate = 0;  // a progress update after every block
    host.abort_at_pump = 3;            // pumps: a block of a, after a, a block of b
    EXPECT_EQ(Run(Write({{"a", "first"}, {"b", Pattern(245 * 12, 8)}})), DecryptCode::kAborted);
    EXPECT_EQ(Output(), (Files{{"a", "first"}}));
}

TEST_P(EveryVersion, AbortBetweenFilesEndsWithoutACode) {
    host.abort_at_pump = 1;  // the pump after the first entry
    EXPECT_EQ(Run(Write({{"a", "first"}, {"b", "second"}})), DecryptCode::kOk);
    EXPECT_EQ(Output(), (Files{{"a", "first"}}));
}

TEST_P(EveryVersion, VerifyWritesNothingAndReportsTheSame) {
    std::string archive = Write({{"\\D\\a", Pattern(300, 9)}, {"\\D\\b", "b"}});
    archive[FirstBlock() + 10] ^= 0x40;
    EXPECT_EQ(Run(archive, StoreA(), Password(), false), DecryptCode::kEndOfData);
    EXPECT_TRUE(Output().empty());
    EXPECT_EQ(host.report,
              std::vector<std::string>{Prefix() + ShownPath(dest() / "D/a") + " - поврежден"});
}

// A block of 7 bytes or fewer carries no data, yet its bytes still advance
// the running block key: everything after it deciphers only with the key
// stepped by all of them.
TEST_P(EveryVersion, BlocksOfSevenBytesOrFewerStepTheBlockKey) {
    if (version() == 7) {
        GTEST_SKIP() << "version 07 blocks are written by the program's own writer";
    }
    SeededRandom random(9);
    const std::string entry = WriteOlderEntry(version(), Password(), {"\\D\\a", Pattern(35, 5)},
                                              random, {7 + 10, 7, 7 + 20, 3, 7 + 5});
    EXPECT_EQ(Run(entry + std::string(1, static_cast<char>(kTrailerMarker))),
              DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), (Files{{"D/a", Pattern(35, 5)}}));
    EXPECT_TRUE(host.report.empty());
    EXPECT_EQ(host.bytes, 35);
}

INSTANTIATE_TEST_SUITE_P(Versions, EveryVersion, ::testing::Range(0, 8),
                         [](const auto& info) { return "V0" + std::to_string(info.param); });

}  // namespace
}  // namespace tazu::test
