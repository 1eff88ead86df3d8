// Recovering runs: damage that would end a normal run is passed over,
// every intact entry comes back byte-identical, and the report says what was
// lost. Wrong passwords and other key stores still end the run.
#include "decrypt/recovery.h"

#include "format/format.h"
#include "format/language.h"
#include "tests/decrypt/decrypt_fixture.h"

namespace tazu::test {
namespace {

// Five small files and two larger ones, one name long enough for a name
// continuation record.
std::vector<StoredFile> Mixed() {
    return {{"\\D\\a.txt", Pattern(10, 1)},    {"\\D\\" + std::string(140, 'n'), Pattern(3000, 2)},
            {"\\D\\c.bin", Pattern(40000, 3)}, {"\\D\\d", ""},
            {"\\D\\e.txt", Pattern(245, 5)},   {"\\D\\f.txt", Pattern(500, 6)},
            {"\\D\\g.bin", Pattern(30000, 7)}};
}

Files Expected(const std::vector<StoredFile>& files, std::size_t lost = SIZE_MAX) {
    Files out;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i != lost) {
            std::string name = files[i].name.substr(1);
            std::replace(name.begin(), name.end(), '\\', '/');
            out.emplace_back(name, files[i].content);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

// The header's size: marker, salt, key mark, name (and its continuation),
// and two block-key records per block key.
std::size_t HeaderSize(int version, bool continuation) {
    return kMarkerSize + kSaltRecordSize + kEnvelopeRecordSize + kNameRecordSize +
           (continuation ? kEnvelopeRecordSize : 0) + (version == 7 ? 4 : 2) * kEnvelopeRecordSize;
}

// Where each entry starts: the archive's markers.
std::vector<std::size_t> EntryStarts(const std::string& bytes, int version) {
    const std::string marker = Marker(version);
    std::vector<std::size_t> starts;
    for (std::size_t at = bytes.find(marker); at != std::string::npos;
         at = bytes.find(marker, at + 1)) {
        starts.push_back(at);
    }
    return starts;
}

class Recovery : public DecryptFixture, public ::testing::WithParamInterface<int> {
  protected:
    DecryptCode Recover(const std::string& bytes, const Str255& password = Password(),
                        bool write = true) {
        host.report.clear();
        DecryptCode code = DecryptCode::kOk;
        if (!write) {
            // Checked in memory: nothing touches the disk.
            StringInput input(bytes);
            DecryptArchive(password, StoreA().personal_code, StoreA().key_mark, input, {}, dest(),
                           host, state, code, false, true);
            return code;
        }
        std::filesystem::remove_all(dest());
        std::filesystem::create_directories(dest());
        WriteFile(archive(), bytes);
        DecryptObject(password, StoreA().personal_code, StoreA().key_mark, archive(), dest(), host,
                      state, code, true, true);
        return code;
    }
    std::string Archive() {
        SeededRandom random(77);
        return WriteArchive(GetParam(), Password(), Mixed(), random);
    }
    bool ReportHas(const std::string& text) const {
        return std::any_of(host.report.begin(), host.report.end(),
                           [&](const std::string& l) { return l.find(text) != std::string::npos; });
    }
};

TEST_P(Recovery, IntactArchiveIsUnchanged) {
    EXPECT_EQ(Recover(Archive()), DecryptCode::kEndOfData);
    EXPECT_EQ(Output(), Expected(Mixed()));
    EXPECT_TRUE(host.report.empty());
    EXPECT_EQ(state.recovered, 0u);
}

TEST_P(Recovery, ADamagedHeaderByteLosesOnlyItsEntry) {
    const std::string good = Archive();
    const auto starts = EntryStarts(good, GetParam());
    ASSERT_EQ(starts.size(), Mixed().size());
    // Every byte of the second entry's header (its name has a continuation),
    // and the marker and salt record of the last entry, which has only the
    // trailer behind it. The runs only check: an entry read without a report
    // line is intact.
    for (std::size_t entry : {std::size_t{1}, starts.size() - 1}) {
        const std::size_t header =
            entry == 1 ? HeaderSize(GetParam(), true) : kMarkerSize + kSaltRecordSize;
        for (std::size_t at = starts[entry]; at < starts[entry] + header; ++at) {
            std::string bytes = good;
            bytes[at] ^= 0x20;
            const DecryptCode code = Recover(bytes, Password(), false);
            if (at == starts[entry] + kMarkerSize - 1) {
                ASSERT_TRUE(host.report.empty());  // the marker's ignored 14th byte
                continue;
            }
            ASSERT_EQ(code, DecryptCode::kDamaged) << "byte " << at;
            ASSERT_EQ(host.report.size(), 1u) << "byte " << at;
            const std::size_t next = entry + 1 < starts.size() ? starts[entry + 1] : good.size();
            const std::string skipped =
                "-) Пропущены байты " + std::to_string(starts[entry]) + "-" + std::to_string(next);
            ASSERT_EQ(host.report[0].rfind(skipped, 0), 0u) << host.report[0];
        }
    }
    // One of them written out: the other entries come back byte-identical.
    std::string bytes = good;
    bytes[starts[1] + 300] ^= 0x20;
    Recover(bytes);
    EXPECT_EQ(Output(), Expected(Mixed(), 1));
}

TEST_P(Recovery, AnEntryCutShortKeepsTheNextOne) {
    const std::string good = Archive();
    const auto starts = EntryStarts(good, GetParam());
    // Entry 2 (40000 bytes) loses everything from the middle of its data on.
    const std::size_t cut_from = starts[2] + HeaderSize(GetParam(), false) + 20000;
    const std::string bytes = good.substr(0, cut_from) + good.substr(starts[3]);
    EXPECT_EQ(Recover(bytes), DecryptCode::kDamaged);  // the trailer no longer fits
    Files out = Output();
    const Files others = Expected(Mixed(), 2);
    for (const auto& file : others) {
        EXPECT_NE(std::find(out.begin(), out.end(), file), out.end()) << file.first;
    }
    EXPECT_TRUE(ReportHas(ShownPath(std::filesystem::path("D/c.bin")) + " - поврежден"))
        << host.report.size();
    const auto damaged =
        std::find_if(out.begin(), out.end(), [](const auto& f) { return f.first == "D/c.bin"; });
    ASSERT_NE(damaged, out.end());
    EXPECT_EQ(damaged->second.substr(0, 15000), Pattern(40000, 3).substr(0, 15000));
    EXPECT_GE(state.recovered, 1u);
}

TEST_P(Recovery, ARunOfZerosOverOneEntry) {
    std::string bytes = Archive();
    const auto starts = EntryStarts(bytes, GetParam());
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(starts[4]),
              bytes.begin() + static_cast<std::ptrdiff_t>(starts[5]), '\0');
    Recover(bytes);
    EXPECT_EQ(Output(), Expected(Mixed(), 4));
    EXPECT_TRUE(ReportHas("Пропущены байты " + std::to_string(starts[4]) + "-" +
                          std::to_string(starts[5])));
}

TEST_P(Recovery, MarkersInsideDataAreNoEntryStart) {
    const std::string good = Archive();
    const auto starts = EntryStarts(good, GetParam());
    std::string bytes = good;
    // Inside entry 2's blocks: a marker with random bytes behind it, and a
    // marker with a copy of entry 3's salt record whose signature was broken.
    const std::size_t a = starts[2] + HeaderSize(GetParam(), false) + 5000;
    const std::size_t b = starts[2] + HeaderSize(GetParam(), false) + 15000;
    SeededRandom random(3);
    std::string noise(kMarkerSize + kSaltRecordSize, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random.Byte());
    }
    bytes.replace(a, noise.size(), Marker(GetParam()) + noise.substr(kMarkerSize));
    std::string copied = good.substr(starts[3], kMarkerSize + kSaltRecordSize);
    copied[kMarkerSize + 100] ^= 0x01;
    bytes.replace(b, copied.size(), copied);
    // The blocks keep their length bytes: the entry's framing stays whole
    // and only the planted bytes are damage.
    const std::size_t data = starts[2] + HeaderSize(GetParam(), false);
    for (std::size_t block = data; block < starts[3]; block += 255) {
        bytes[block] = good[block];
    }
    Recover(bytes);
    EXPECT_EQ(Expected(Mixed(), 2), [&] {
        Files out = Output();
        out.erase(std::remove_if(out.begin(), out.end(),
                                 [](const auto& f) { return f.first == "D/c.bin"; }),
                  out.end());
        return out;
    }());
    EXPECT_TRUE(ReportHas(ShownPath(std::filesystem::path("D/c.bin")) + " - поврежден"));
    EXPECT_EQ(state.recovered, 0u);  // damaged in place, not cut: nothing passed over
}

TEST_P(Recovery, WrongPasswordStillEndsTheRun) {
    EXPECT_EQ(Recover(Archive(), Str255("not it")), DecryptCode::kWrongPassword);
    EXPECT_TRUE(Output().empty());
}

INSTANTIATE_TEST_SUITE_P(Versions, Recovery, ::testing::Values(5, 7));

TEST(RecoveryStore, AnotherKeyStoreStillEndsTheRun) {
    TempDir dir;
    SeededRandom random(4);
    WriteFile(dir / "a.shf",
              WriteArchive(7, Password(), {{"\\a", "x", true}, {"\\b", "y"}}, random, StoreB()));
    RecordingHost host;
    DecryptRunState state;
    DecryptCode code = DecryptCode::kOk;
    DecryptObject(Password(), StoreA().personal_code, StoreA().key_mark, dir / "a.shf", dir.path(),
                  host, state, code, false, true);
    EXPECT_EQ(code, DecryptCode::kOtherKeyStore);
}

TEST(RecoveryStore, NotAnArchiveKeepsItsCodeAndSaysWhatWasSkipped) {
    TempDir dir;
    WriteFile(dir / "x.shf", std::string(5000, 'Q'));
    RecordingHost host;
    DecryptRunState state;
    DecryptCode code = DecryptCode::kOk;
    DecryptObject(Password(), StoreA().personal_code, StoreA().key_mark, dir / "x.shf", dir.path(),
                  host, state, code, false, true);
    EXPECT_EQ(code, DecryptCode::kBadVersion);
    ASSERT_EQ(host.report.size(), 1u);
    EXPECT_EQ(host.report[0], "-) Пропущены байты 0-5000: не читаются как запись");
    ASSERT_EQ(host.skipped_bytes.size(), 1u);
    EXPECT_EQ(host.skipped_bytes[0], "0-5000 ");

    SetLanguage(Language::kEnglish);
    EXPECT_EQ(SkippedBytesLine(0, 5000, Str255::FromBytes("a/b", 3)),
              "-) Skipped bytes 0-5000: not readable as an entry (damaged entry a/b)");
    SetLanguage(Language::kRussian);
}

}  // namespace
}  // namespace tazu::test
