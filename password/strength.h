// How long a password would hold against an offline guessing attack on an
// archive of this format: the number of guesses a well-informed attacker
// needs (zxcvbn's estimate, with its dictionaries of common passwords,
// names, words and keyboard patterns), turned into time at this format's
// guessing speed on one core and at the speed of a stated attacker.
#pragma once

#include <string>
#include <string_view>

namespace tazu {

// The attacker the times are given for: a machine of many cores, 100 times
// the speed of one core of the machine the program runs on.
inline constexpr double kAttackerCores = 100;

// From "очень слабый" to "надёжный", by the attacker's time: under a day,
// under a year, under 1000 years, 1000 years or more.
enum class StrengthBand { kVeryWeak, kWeak, kMedium, kStrong };

struct StrengthEstimate {
    double guesses = 1;             // the attacker's expected number of guesses
    double seconds_one_core = 0;    // at the given speed of one core
    double seconds_attacker = 0;    // at kAttackerCores times that speed
    double guesses_per_second = 0;  // of one core
    StrengthBand band = StrengthBand::kVeryWeak;
    // Why the password is weak, shortened ("ряды клавиш вроде qwerty легко
    // угадать"); empty for a strong one.
    std::string feedback;
};

// The estimate for password (its bytes, UTF-8 or not) at the speed of one
// core in guesses per second (GuessesPerSecond() for this machine).
StrengthEstimate EstimateStrength(std::string_view password, double guesses_per_second);

// Very weak and weak passwords: the ones the program warns about.
inline bool IsWeak(const StrengthEstimate& e) {
    return e.band == StrengthBand::kVeryWeak || e.band == StrengthBand::kWeak;
}

}  // namespace tazu
