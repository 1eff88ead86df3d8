#include "password/strength.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string>

#include "cipher/str255.h"
#include "cipher/wipe.h"
#include "password/keyboard_latin.h"
#include "password/password_texts.h"

#ifdef TAZU_HAVE_ZXCVBN
#include <zxcvbn.h>
#endif

namespace tazu {
namespace {

constexpr double kDay = 86400;
constexpr double kYear = 365.25 * kDay;

// What a password's parts say, as zxcvbn finds them: its strength in bits,
// and the kind of the longest part that is not a run of random characters.
struct Analysis {
    double bits = 0;
    PasswordText reason = PasswordText::kCount;  // kCount: none found
};

#ifdef TAZU_HAVE_ZXCVBN
PasswordText ReasonOf(int match_type) {
    switch (match_type & ~MULTIPLE_MATCH) {
        case DICTIONARY_MATCH:
        case USER_MATCH:
            return PasswordText::kCommon;
        case DICT_LEET_MATCH:
        case USER_LEET_MATCH:
            return PasswordText::kLeet;
        case REPEATS_MATCH:
            return PasswordText::kRepeats;
        case SEQUENCE_MATCH:
            return PasswordText::kSequence;
        case SPATIAL_MATCH:
            return PasswordText::kKeyboard;
        case DATE_MATCH:
        case YEAR_MATCH:
            return PasswordText::kDate;
        default:
            return PasswordText::kCount;
    }
}

Analysis Analyse(const char* password, std::size_t /*length*/) {
    ZxcMatch_t* info = nullptr;
    Analysis a;
    a.bits = ZxcvbnMatch(password, nullptr, &info);
    int longest = 0;
    for (const ZxcMatch_t* m = info; m != nullptr; m = m->Next) {
        const PasswordText reason = ReasonOf(m->Type);
        if (reason != PasswordText::kCount && m->Length > longest) {
            longest = m->Length;
            a.reason = reason;
        }
    }
    ZxcvbnFreeInfo(info);
    return a;
}
#else
// Without zxcvbn: the length times the bits of the character classes used.
Analysis Analyse(const char* password, std::size_t length) {
    bool lower = false, upper = false, digit = false, other = false, high = false;
    for (const unsigned char c : std::string_view(password, length)) {
        lower |= c >= 'a' && c <= 'z';
        upper |= c >= 'A' && c <= 'Z';
        digit |= c >= '0' && c <= '9';
        high |= c >= 0x80;
        other |= c < 0x80 && !std::isalnum(c);
    }
    const double classes = 26.0 * lower + 26.0 * upper + 10.0 * digit + 33.0 * other + 64.0 * high;
    Analysis a;
    a.bits = classes > 0 ? static_cast<double>(length) * std::log2(classes) : 0;
    return a;
}
#endif

StrengthBand BandFor(double attacker_seconds) {
    if (attacker_seconds < kDay) {
        return StrengthBand::kVeryWeak;
    }
    if (attacker_seconds < kYear) {
        return StrengthBand::kWeak;
    }
    return attacker_seconds < 1000 * kYear ? StrengthBand::kMedium : StrengthBand::kStrong;
}

// The reason a password is weak, and what to do about it.
std::string Feedback(std::size_t length, const Analysis& a, StrengthBand band) {
    if (band == StrengthBand::kStrong) {
        return {};
    }
    if (length == 0) {
        return std::string(PasswordTextOf(PasswordText::kEmpty));
    }
    PasswordText reason = a.reason;
    if (reason == PasswordText::kCount && length < 12) {
        reason = PasswordText::kShort;
    }
    std::string text;
    if (reason != PasswordText::kCount) {
        text = std::string(PasswordTextOf(reason)) + "; ";
    }
    return text + std::string(PasswordTextOf(PasswordText::kSuggestion));
}

}  // namespace

StrengthEstimate EstimateStrength(std::string_view password, double guesses_per_second) {
    // zxcvbn reads a C string of Latin text: the Latin form of at most 255
    // bytes up to the first zero byte (judging only a part can only make
    // the estimate lower), wiped after use.
    std::array<char, Str255::kCapacity + 1> text{};
    const std::size_t length = KeyboardLatin(
        password.substr(0, std::min(password.find('\0'), Str255::kCapacity)), text.data());
    const Analysis a = Analyse(text.data(), length);
    WipeBytes(text.data(), text.size());
    StrengthEstimate e;
    e.guesses_per_second = guesses_per_second > 0 ? guesses_per_second : 1;
    e.guesses = std::exp2(a.bits);
    e.seconds_one_core = e.guesses / e.guesses_per_second;
    e.seconds_attacker = e.seconds_one_core / kAttackerCores;
    e.band = BandFor(e.seconds_attacker);
    e.feedback = Feedback(length, a, e.band);
    return e;
}

}  // namespace tazu
