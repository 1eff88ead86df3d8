// The texts of password strength and passphrases, in one table: the bands,
// the times, the reasons a password is weak, and the lines made of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "password/strength.h"

namespace tazu {

enum class PasswordText : std::uint8_t {
    kVeryWeak,
    kWeak,
    kMedium,
    kStrong,
    kLine,    // band: time
    kWithin,  // "за" a number and its unit
    kUnderSecond,
    kOver1000Years,
    kOneCore,   // the time on one core of this machine
    kAttacker,  // the time for the stated attacker
    kGuesses,
    kWeakWarning,  // the command line's one-line warning
    kEmpty,
    kCommon,
    kLeet,
    kRepeats,
    kSequence,
    kKeyboard,
    kDate,
    kShort,
    kSuggestion,
    kSecond1,
    kSecond2,
    kSecond5,
    kMinute1,
    kMinute2,
    kMinute5,
    kHour1,
    kHour2,
    kHour5,
    kDay1,
    kDay2,
    kDay5,
    kYear1,
    kYear2,
    kYear5,
    kCount
};

// The text of id; "{}" in it stands for the values the lines put in.
std::string_view PasswordTextOf(PasswordText id);

// "за 9 минут", "меньше чем за секунду", "дольше 1000 лет".
std::string DurationText(double seconds);

// "очень слабый: подбор за 9 минут": the band and the attacker's time.
std::string StrengthLine(const StrengthEstimate& estimate);

// The line, the guesses, both times with their speeds and the reason, one
// a line: what the command line's password command prints.
std::string StrengthReport(const StrengthEstimate& estimate);

// One line for a weak password: the line and its reason.
std::string WeakPasswordWarning(const StrengthEstimate& estimate);

}  // namespace tazu
