// Password strength: where known kinds of passwords land at a fixed
// guessing speed, the times as the lines say them, and the calibration's
// bounds under a clock the test drives.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "format/language.h"
#include "password/guess_rate.h"
#include "password/keyboard_latin.h"
#include "password/password_texts.h"
#include "password/strength.h"

namespace tazu {
namespace {

// About what one core manages against an archive entry.
constexpr double kRate = 4e6;

TEST(Strength, KnownKindsOfPasswordsFallInTheirBands) {
    const struct {
        const char* password;
        StrengthBand band;
    } cases[] = {
        {"123456", StrengthBand::kVeryWeak},  // common
        {"password", StrengthBand::kVeryWeak},
        {"P@ssw0rd", StrengthBand::kVeryWeak},  // common, letters swapped
        {"iloveyou", StrengthBand::kVeryWeak},
        {"qwertyuiop", StrengthBand::kVeryWeak},  // keyboard walks
        {"1qaz2wsx", StrengthBand::kVeryWeak},
        {"zxcvfrewq", StrengthBand::kVeryWeak},
        {"19871231", StrengthBand::kVeryWeak},  // a date
        {"a7k2p9", StrengthBand::kVeryWeak},    // short random
        {"пароль", StrengthBand::kVeryWeak},    // typed in Russian
        {"йцукенгш", StrengthBand::kVeryWeak},
        {"новый", StrengthBand::kVeryWeak},
        {"Tr0ub4dor&3", StrengthBand::kWeak},         // looks hard, is not
        {"x7Rq2LmZ9pVw#4kT", StrengthBand::kStrong},  // long random
        {"kD8#qL2!vX9@mZ4$", StrengthBand::kStrong},
        {"correct horse battery staple", StrengthBand::kStrong},  // passphrases
        {"abacus abdomen abide zebra quilt lunar", StrengthBand::kStrong},
    };
    for (const auto& c : cases) {
        const StrengthEstimate e = EstimateStrength(c.password, kRate);
        EXPECT_EQ(e.band, c.band) << c.password << ": " << StrengthLine(e);
        EXPECT_EQ(IsWeak(e), c.band <= StrengthBand::kWeak) << c.password;
        // A weak password says why; a strong one says nothing more.
        EXPECT_EQ(e.feedback.empty(), c.band == StrengthBand::kStrong) << c.password;
    }
}

TEST(Strength, RussianLettersAreReadAsTheirKeysOnTheKeyboard) {
    char out[64];
    const auto latin = [&out](std::string_view text) {
        return std::string(out, KeyboardLatin(text, out));
    };
    EXPECT_EQ(latin("йцукен"), "qwerty");
    EXPECT_EQ(latin("пароль123"), "gfhjkm123");
    EXPECT_EQ(latin("ЯЖЁёхъэбю"), "Z:~`[]',.");
    // Other letters become one Latin letter each; a broken sequence, one
    // letter a byte.
    EXPECT_EQ(latin("日本").size(), 2u);
    EXPECT_EQ(latin("\xD0").size(), 1u);
    EXPECT_EQ(latin("a\xE6\x97").size(), 3u);
}

TEST(Strength, TimesFollowTheSpeedAndTheStatedAttacker) {
    const StrengthEstimate e = EstimateStrength("Tr0ub4dor&3", kRate);
    EXPECT_GT(e.guesses, 1e6);
    EXPECT_DOUBLE_EQ(e.seconds_one_core, e.guesses / kRate);
    EXPECT_DOUBLE_EQ(e.seconds_attacker, e.seconds_one_core / kAttackerCores);
    // The same password against a format a thousand times slower to guess.
    EXPECT_GT(EstimateStrength("Tr0ub4dor&3", kRate / 1000).band, e.band);
    // The reasons name what the password is made of.
    EXPECT_NE(EstimateStrength("zxcvfrewq", kRate).feedback.find("qwerty"), std::string::npos);
    EXPECT_EQ(EstimateStrength("", kRate).feedback.rfind("пароль пуст", 0), 0u);
    // Bytes after a zero byte are not looked at: never a higher estimate.
    EXPECT_LE(EstimateStrength(std::string("123456\0x7Rq2LmZ9pVw#4kT", 23), kRate).guesses,
              EstimateStrength("123456", kRate).guesses);
}

TEST(Strength, DurationsAreSaidInWholeUnitsWithTheirForms) {
    EXPECT_EQ(DurationText(0.2), "меньше чем за секунду");
    EXPECT_EQ(DurationText(1), "за 1 секунду");
    EXPECT_EQ(DurationText(544), "за 9 минут");
    EXPECT_EQ(DurationText(120), "за 2 минуты");
    EXPECT_EQ(DurationText(21 * 3600), "за 21 час");
    EXPECT_EQ(DurationText(3 * 86400), "за 3 дня");
    EXPECT_EQ(DurationText(11 * 365.25 * 86400), "за 11 лет");
    EXPECT_EQ(DurationText(22 * 365.25 * 86400), "за 22 года");
    EXPECT_EQ(DurationText(1000 * 365.25 * 86400), "дольше 1000 лет");
    EXPECT_EQ(DurationText(HUGE_VAL), "дольше 1000 лет");

    StrengthEstimate e;
    e.band = StrengthBand::kVeryWeak;
    e.seconds_attacker = 544;
    e.feedback = "слишком короткий";
    EXPECT_EQ(StrengthLine(e), "очень слабый: подбор за 9 минут");
    EXPECT_EQ(WeakPasswordWarning(e), "пароль очень слабый: подбор за 9 минут; слишком короткий");
    e.band = StrengthBand::kStrong;
    e.seconds_attacker = HUGE_VAL;
    EXPECT_EQ(StrengthLine(e), "надёжный: подбор дольше 1000 лет");
}

TEST(Strength, EnglishDurationsTakeTheEnglishPlural) {
    SetLanguage(Language::kEnglish);
    EXPECT_EQ(DurationText(0.2), "less than a second");
    EXPECT_EQ(DurationText(1), "1 second");
    EXPECT_EQ(DurationText(544), "9 minutes");
    EXPECT_EQ(DurationText(21 * 3600), "21 hours");  // Russian's singular form for 21
    EXPECT_EQ(DurationText(22 * 86400), "22 days");
    EXPECT_EQ(DurationText(1000 * 365.25 * 86400), "more than 1000 years");
    StrengthEstimate e;
    e.band = StrengthBand::kVeryWeak;
    e.seconds_attacker = 544;
    e.guesses = 2.2e9;
    e.guesses_per_second = 368506;
    e.feedback = EstimateStrength("", 1000).feedback;
    EXPECT_EQ(StrengthLine(e), "very weak: guessing takes 9 minutes");
    EXPECT_EQ(e.feedback.rfind("the password is empty", 0), 0u);
    const std::string report = StrengthReport(e);
    EXPECT_NE(report.find("about 2.2·10^9 passwords to try"), std::string::npos) << report;
    EXPECT_NE(report.find("on one core of this computer (368,506 passwords a second): guessing "
                          "takes less than a second"),
              std::string::npos)
        << report;
    SetLanguage(Language::kRussian);
    for (int id = 0; id < static_cast<int>(PasswordText::kCount); ++id) {
        SetLanguage(Language::kEnglish);
        const std::string english(PasswordTextOf(static_cast<PasswordText>(id)));
        SetLanguage(Language::kRussian);
        EXPECT_NE(english, PasswordTextOf(static_cast<PasswordText>(id))) << id;
    }
}

TEST(GuessRateCalibration, StopsAtTheCountOrTheClockAndIsPositive) {
    // A clock that stands still: only the count ends the run.
    GuessRate r = MeasureGuessRate({500, std::chrono::milliseconds(100)}, [] { return 7.0; });
    EXPECT_EQ(r.guesses, 500u);
    EXPECT_GT(r.per_second, 0);
    // A clock that moves a millisecond at every reading: it ends the run
    // after 100 ms of it, long before the count.
    double now = 0;
    r = MeasureGuessRate({1u << 30, std::chrono::milliseconds(100)}, [&now] {
        now += 0.001;
        return now;
    });
    EXPECT_LT(r.guesses, 100000u);
    EXPECT_GE(r.seconds, 0.1);
    EXPECT_GT(r.per_second, 0);
    // The real thing, on this machine.
    const GuessRate real = MeasureGuessRate({2000, std::chrono::milliseconds(500)});
    EXPECT_GT(real.guesses, 0u);
    EXPECT_LE(real.guesses, 2000u);
    EXPECT_GT(real.per_second, 0);
    EXPECT_GT(GuessesPerSecond(), 0);
}

}  // namespace
}  // namespace tazu
