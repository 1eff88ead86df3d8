// decrypt --recover and verify --recover from the command line: damage that
// ends a normal run is passed over, every intact file comes back, the report
// says what was lost and the status says the run completed with damage.
#include "format/format.h"
#include "tests/cli/cli_run.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

class Recover : public CliTest {
  protected:
    Recover() {
        fs::create_directories(dir / "D");
        for (int i = 0; i < 6; ++i) {
            const std::string content(i == 2 ? 30000 : 100 + i, static_cast<char>('a' + i));
            WriteFile(dir / "D" / ("f" + std::to_string(i)), content);
        }
        EXPECT_EQ(Cli("encrypt D " + Pw()).status, 0);
        bytes = ReadFile(dir / "D.shf");
        for (std::size_t at = bytes.find(kMarker07); at != std::string::npos;
             at = bytes.find(kMarker07, at + 1)) {
            starts.push_back(at);
        }
        EXPECT_EQ(starts.size(), 6u);
        starts.push_back(bytes.size());
    }
    // The source files that came back byte-identical under out/.
    int Identical() const {
        int same = 0;
        for (const auto& e : fs::directory_iterator(dir / "D")) {
            const fs::path back = dir / "out" / "D" / e.path().filename();
            same += fs::exists(back) && ReadFile(back) == ReadFile(e.path()) ? 1 : 0;
        }
        return same;
    }
    CliResult Decrypt(const std::string& damaged, const std::string& extra) {
        WriteFile(dir / "X.shf", damaged);
        fs::remove_all(dir / "out");
        return Cli("decrypt X.shf -d out " + Pw() + " " + extra);
    }

    std::string bytes;
    std::vector<std::size_t> starts;
};

TEST_F(Recover, ADamagedHeaderLosesOnlyItsOwnFile) {
    std::string damaged = bytes;
    damaged[starts[2] + kMarkerSize + 5] ^= 0x10;  // the salt record of the third entry

    const CliResult plain = Decrypt(damaged, "");
    EXPECT_EQ(plain.status, 5) << plain.err;
    EXPECT_EQ(Identical(), 2);  // without --recover, the run stops at the damage

    const CliResult r = Decrypt(damaged, "--recover");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(Identical(), 5);
    const std::string skipped = "-) Пропущены байты " + std::to_string(starts[2]) + "-" +
                                std::to_string(starts[3]) + ": не читаются как запись";
    EXPECT_NE(r.out.find(skipped), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Файл поврежден"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("пропущен 1 поврежденный участок в X.shf"), std::string::npos) << r.err;

    EXPECT_EQ(Cli("verify X.shf --recover " + Pw()).status, 1);
    EXPECT_EQ(Cli("verify X.shf " + Pw()).status, 5);
}

TEST_F(Recover, ACutEntryEndsWhereTheNextOneStarts) {
    // The big file's entry loses 10,000 bytes from its middle.
    std::size_t big = 0;
    for (std::size_t i = 1; i + 1 < starts.size(); ++i) {
        big = starts[i + 1] - starts[i] > starts[big + 1] - starts[big] ? i : big;
    }
    const std::size_t cut = starts[big] + (starts[big + 1] - starts[big]) / 2;
    std::string damaged = bytes.substr(0, cut) + bytes.substr(cut + 10000);

    const CliResult r = Decrypt(damaged, "--recover");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(Identical(), 5);
    EXPECT_NE(r.out.find("f2 - поврежден"), std::string::npos) << r.out;
}

TEST_F(Recover, AnArchiveCutShortKeepsEverythingBeforeTheCut) {
    const CliResult r = Decrypt(bytes.substr(0, starts[5] + 40), "--recover");
    EXPECT_EQ(r.status, 1) << r.out << r.err;
    EXPECT_EQ(Identical(), 5);
    EXPECT_NE(r.out.find("Пропущены байты " + std::to_string(starts[5])), std::string::npos)
        << r.out;
}

TEST_F(Recover, ADamagedEndRecordAfterEveryEntrySaysSo) {
    std::string damaged = bytes;
    damaged[damaged.size() - 3] ^= 0x01;  // inside the archive's end record
    EXPECT_EQ(Decrypt(damaged, "").status, 5);
    const CliResult r = Decrypt(damaged, "--recover");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(Identical(), 6);
    EXPECT_NE(r.err.find("все записи X.shf прочитаны, но его конечная запись повреждена"),
              std::string::npos)
        << r.err;
}

TEST_F(Recover, WhatIsNotDamageStillEndsTheRun) {
    WriteFile(dir / "wrong", "not the password\n");
    std::string damaged = bytes;
    damaged[starts[2] + kMarkerSize + 5] ^= 0x10;
    WriteFile(dir / "X.shf", damaged);
    EXPECT_EQ(Cli("decrypt X.shf -d out --recover --password-file wrong").status, 8);
    EXPECT_FALSE(fs::exists(dir / "out" / "D" / "f0"));

    // An intact archive reads as it always did.
    WriteFile(dir / "X.shf", bytes);
    const CliResult r = Cli("decrypt X.shf -d out --recover " + Pw());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Расшифровка успешно завершена\n");
    EXPECT_EQ(Identical(), 6);
    EXPECT_EQ(Cli("list X.shf --recover " + Pw()).status, 2);  // list has no such switch
}

}  // namespace
}  // namespace tazu::test
