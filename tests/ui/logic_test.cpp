// The windows' logic that needs no Qt: the loader's order of work, the
// guessing rule, the settings byte, placement and the self-check record.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cipher/constants.h"
#include "keystore/keystore_file.h"
#include "ui/key_store_loader.h"
#include "ui/self_check.h"
#include "ui/settings_byte.h"
#include "ui_logic_support.h"

namespace tazu::test {
namespace {

namespace fs = std::filesystem;

// Records what the loader does, in order.
class RecordingHost : public LoadHost {
  public:
    bool IsSwitchOn(LoadSwitch which) const override { return on_[static_cast<int>(which)]; }
    void SetSwitch(LoadSwitch which, bool on) override {
        on_[static_cast<int>(which)] = on;
        calls.push_back(std::string(on ? "+" : "-") + std::to_string(static_cast<int>(which)));
    }
    void ShowStatus(std::string_view text) override {
        calls.push_back("status " + std::string(text));
    }
    void LockInput() override { calls.push_back("lock"); }
    void ProcessEvents() override { calls.push_back("events"); }

    std::vector<std::string> calls;

  private:
    bool on_[7] = {};
};

struct LoaderFixture : ::testing::Test {
    test::TempFolder folder;
    test::ValueRandom random{3};
    Session session{random, folder.path() / "Tazu16x32.key", folder.path(), {}};
    RecordingHost host;
    int ended = 0;

    void SetUp() override {
        session.terminate = [this] { ++ended; };
        session.key_store.emplace(random);
    }
    void Make(const char* password, std::uint8_t settings) {
        SeededRandom r(1);
        ASSERT_EQ(CreateKeyStoreFile(session.key_store_path, Str255(password), settings, r),
                  KeyStoreSaveCode::kOk);
    }
};

TEST_F(LoaderFixture, SetsSwitchesInOrderAndMarksLoadedLast) {
    Make("pw", 0x7C);  // bits 6 to 2: both file options, which cancel out
    ASSERT_TRUE(LoadKeyStore(session, Str255("pw"), host));
    const std::vector<std::string> expected = {"+0", "+1", "+2", "+3", "+4",
                                               "+5", "-1", "-2", "+6"};
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(session.password_attempt_counter, 1);
}

TEST_F(LoaderFixture, SilentWrongDefaultPasswordShowsNothing) {
    Make("pw", 0x00);
    EXPECT_FALSE(LoadKeyStore(session, Str255(), host));
    EXPECT_EQ(host.calls, std::vector<std::string>{"events"});
    EXPECT_FALSE(LoadKeyStore(session, Str255("nope"), host));
    EXPECT_EQ(host.calls.back(), "events");
    EXPECT_EQ(host.calls[1], "status пароль введен неверно");
}

TEST_F(LoaderFixture, DamagedStoreLocksWithItsText) {
    Make("", 0x00);
    std::string bytes = test::ReadAll(session.key_store_path);
    for (std::size_t at : {std::size_t{300}, std::size_t{300 + 1032}}) {
        bytes[at] ^= 0x55;  // record A in both copies
    }
    test::WriteAll(session.key_store_path, bytes);
    EXPECT_FALSE(LoadKeyStore(session, Str255(), host));
    EXPECT_EQ(host.calls, (std::vector<std::string>{"lock", "status ключ поврежден", "events"}));
}

TEST(GuessingProtection, FifthAttemptOnDrawsTheOutcome) {
    test::ValueRandom random(0);
    std::uint8_t counter = 0;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(GuessingProtection(counter, random), GuessOutcome::kNothing);  // no draw yet
    }
    const struct {
        std::uint8_t draw;
        GuessOutcome outcome;
    } cases[] = {{0, GuessOutcome::kTerminate},
                 {7, GuessOutcome::kTerminate},
                 {9, GuessOutcome::kLock},
                 {1, GuessOutcome::kNothing},
                 {8, GuessOutcome::kNothing}};
    for (const auto& c : cases) {
        random.Set(c.draw);
        std::uint8_t at_five = 4;
        EXPECT_EQ(GuessingProtection(at_five, random), c.outcome) << int(c.draw);
    }
    // The counter stops at 255 instead of wrapping to a fresh start.
    counter = 254;
    random.Set(9);
    EXPECT_EQ(GuessingProtection(counter, random), GuessOutcome::kLock);
    EXPECT_EQ(GuessingProtection(counter, random), GuessOutcome::kLock);
    EXPECT_EQ(counter, 255);
}

TEST(CurrentSettingsByte, KeepsUnswitchedBitsAndReadsTheSwitches) {
    EXPECT_EQ(CurrentSettingsByte(0x00, {}), 0x00);
    EXPECT_EQ(CurrentSettingsByte(0xFF, {}), 0x83);
    EXPECT_EQ(CurrentSettingsByte(0x00, {true, false, true, false, true}), 0x54);
    EXPECT_EQ(CurrentSettingsByte(0x01, {false, true, false, true, false}), 0x29);
}

TEST(CentredOrigin, RoundsHalvesToEven) {
    EXPECT_EQ(CentredOrigin(0, 101, 100), 0);    // 0.5
    EXPECT_EQ(CentredOrigin(0, 103, 100), 2);    // 1.5
    EXPECT_EQ(CentredOrigin(0, 105, 100), 2);    // 2.5
    EXPECT_EQ(CentredOrigin(-10, 20, 41), -20);  // -20.5
    EXPECT_EQ(CentredOrigin(100, 640, 460), 190);
}

TEST(SelfCheck, SignedFileIsIntactAndEveryChangeIsSeen) {
    test::TempFolder folder;
    const fs::path file = folder.path() / "program";
    std::string content(3000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<char>(i * 31);
    }
    test::WriteAll(file, content);
    EXPECT_EQ(CheckProgramFile(file), SelfCheckResult::kNotSigned);
    std::string error;
    ASSERT_TRUE(SignProgramFile(file, error)) << error;
    ASSERT_TRUE(SignProgramFile(file, error)) << error;  // signing again replaces the record
    const std::string signed_bytes = test::ReadAll(file);
    EXPECT_EQ(signed_bytes.size(), content.size() + kSignatureRecordSize);
    std::vector<int> seen;
    EXPECT_EQ(CheckProgramFile(file, [&](int p) { seen.push_back(p); }), SelfCheckResult::kIntact);
    EXPECT_EQ(seen.back(), 100);

    for (std::size_t at : {std::size_t{0}, std::size_t{238}, std::size_t{239}, std::size_t{2999},
                           content.size() + kSignatureMarkerSize + 3}) {
        std::string changed = signed_bytes;
        changed[at] = static_cast<char>(changed[at] ^ 0x01);
        test::WriteAll(file, changed);
        EXPECT_EQ(CheckProgramFile(file), SelfCheckResult::kChanged) << at;
    }
    // A byte cut from the program (the record kept) is a change too.
    std::string cut = signed_bytes;
    cut.erase(100, 1);
    test::WriteAll(file, cut);
    EXPECT_EQ(CheckProgramFile(file), SelfCheckResult::kChanged);
    EXPECT_EQ(CheckProgramFile(folder.path() / "absent"), SelfCheckResult::kCannotRead);
}

TEST(SelfCheck, TheBuiltProgramIsSigned) {
    EXPECT_EQ(CheckProgramFile(TAZU16X32_PATH), SelfCheckResult::kIntact);
}

}  // namespace
}  // namespace tazu::test
