#include "password/password_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <iterator>

namespace tazu {
namespace {

struct TextRow {
    PasswordText id;
    const char* ru;
};

constexpr TextRow kTexts[] = {
    {PasswordText::kVeryWeak, "очень слабый"},
    {PasswordText::kWeak, "слабый"},
    {PasswordText::kMedium, "средний"},
    {PasswordText::kStrong, "надёжный"},
    {PasswordText::kLine, "{}: подбор {}"},
    {PasswordText::kWithin, "за {} {}"},
    {PasswordText::kUnderSecond, "меньше чем за секунду"},
    {PasswordText::kOver1000Years, "дольше 1000 лет"},
    {PasswordText::kOneCore, "на одном ядре этого компьютера ({} паролей в секунду): подбор {}"},
    {PasswordText::kAttacker, "у атакующего со 100 ядрами ({} паролей в секунду): подбор {}"},
    {PasswordText::kGuesses, "нужно перебрать около {} паролей"},
    {PasswordText::kWeakWarning, "пароль {}"},
    {PasswordText::kEmpty, "пароль пуст"},
    {PasswordText::kCommon, "это частое слово или пароль"},
    {PasswordText::kLeet, "замена букв цифрами и знаками не помогает"},
    {PasswordText::kRepeats, "повторы легко угадать"},
    {PasswordText::kSequence, "ряды вроде abc и 123 легко угадать"},
    {PasswordText::kKeyboard, "ряды клавиш вроде qwerty легко угадать"},
    {PasswordText::kDate, "даты и годы легко угадать"},
    {PasswordText::kShort, "слишком короткий"},
    {PasswordText::kSuggestion, "добавьте слова или возьмите придуманную фразу"},
    {PasswordText::kSecond1, "секунду"},
    {PasswordText::kSecond2, "секунды"},
    {PasswordText::kSecond5, "секунд"},
    {PasswordText::kMinute1, "минуту"},
    {PasswordText::kMinute2, "минуты"},
    {PasswordText::kMinute5, "минут"},
    {PasswordText::kHour1, "час"},
    {PasswordText::kHour2, "часа"},
    {PasswordText::kHour5, "часов"},
    {PasswordText::kDay1, "день"},
    {PasswordText::kDay2, "дня"},
    {PasswordText::kDay5, "дней"},
    {PasswordText::kYear1, "год"},
    {PasswordText::kYear2, "года"},
    {PasswordText::kYear5, "лет"},
};

static_assert(std::size(kTexts) == static_cast<std::size_t>(PasswordText::kCount));
static_assert([] {
    for (std::size_t i = 0; i < std::size(kTexts); ++i) {
        if (static_cast<std::size_t>(kTexts[i].id) != i) {
            return false;
        }
    }
    return true;
}());

// The text with each "{}" replaced by the next value.
std::string Fill(PasswordText id, std::initializer_list<std::string_view> values) {
    const std::string_view text = PasswordTextOf(id);
    std::string out;
    std::size_t from = 0;
    for (const std::string_view value : values) {
        const std::size_t at = text.find("{}", from);
        if (at == std::string_view::npos) {
            break;
        }
        out.append(text.substr(from, at - from)).append(value);
        from = at + 2;
    }
    return out.append(text.substr(from));
}

// The form of a unit that goes with the count n: 1, 21 "минуту"; 2-4,
// 22-24 "минуты"; 5-20, 25 "минут". first is the unit's form for 1.
PasswordText Plural(long long n, PasswordText first) {
    const long long last = n % 10;
    const long long tens = n % 100;
    int form = 2;
    if (last == 1 && tens != 11) {
        form = 0;
    } else if (last >= 2 && last <= 4 && (tens < 12 || tens > 14)) {
        form = 1;
    }
    return static_cast<PasswordText>(static_cast<int>(first) + form);
}

// A count with its digits grouped by threes: "4 100 000".
std::string Grouped(double value) {
    const std::string digits = std::to_string(std::llround(value));
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += ' ';
        }
        out += digits[i];
    }
    return out;
}

// A number of guesses: grouped up to a million, else as "2,2·10^9".
std::string GuessCount(double guesses) {
    if (guesses < 1e6) {
        return Grouped(guesses);
    }
    const int exponent = static_cast<int>(std::floor(std::log10(guesses)));
    char mantissa[16];
    std::snprintf(mantissa, sizeof mantissa, "%.1f", guesses / std::pow(10.0, exponent));
    std::string text = mantissa;
    if (const std::size_t dot = text.find('.'); dot != std::string::npos) {
        text[dot] = ',';
    }
    return text + "·10^" + std::to_string(exponent);
}

std::string_view BandText(StrengthBand band) {
    switch (band) {
        case StrengthBand::kVeryWeak:
            return PasswordTextOf(PasswordText::kVeryWeak);
        case StrengthBand::kWeak:
            return PasswordTextOf(PasswordText::kWeak);
        case StrengthBand::kMedium:
            return PasswordTextOf(PasswordText::kMedium);
        case StrengthBand::kStrong:
            break;
    }
    return PasswordTextOf(PasswordText::kStrong);
}

}  // namespace

std::string_view PasswordTextOf(PasswordText id) {
    const auto i = static_cast<std::size_t>(id);
    return i < std::size(kTexts) ? kTexts[i].ru : "";
}

std::string DurationText(double seconds) {
    struct Unit {
        double seconds;
        PasswordText first;
    };
    static constexpr Unit kUnits[] = {
        {365.25 * 86400, PasswordText::kYear1},
        {86400, PasswordText::kDay1},
        {3600, PasswordText::kHour1},
        {60, PasswordText::kMinute1},
        {1, PasswordText::kSecond1},
    };
    if (!(seconds >= 1)) {
        return std::string(PasswordTextOf(PasswordText::kUnderSecond));
    }
    if (seconds >= 1000 * kUnits[0].seconds) {
        return std::string(PasswordTextOf(PasswordText::kOver1000Years));
    }
    for (const Unit& unit : kUnits) {
        if (seconds >= unit.seconds) {
            const long long n = std::max(1LL, std::llround(seconds / unit.seconds));
            return Fill(PasswordText::kWithin,
                        {std::to_string(n), PasswordTextOf(Plural(n, unit.first))});
        }
    }
    return {};
}

std::string StrengthLine(const StrengthEstimate& estimate) {
    return Fill(PasswordText::kLine,
                {BandText(estimate.band), DurationText(estimate.seconds_attacker)});
}

std::string StrengthReport(const StrengthEstimate& estimate) {
    const double rate = estimate.guesses_per_second;
    std::string report = StrengthLine(estimate) + "\n";
    report += Fill(PasswordText::kGuesses, {GuessCount(estimate.guesses)}) + "\n";
    report +=
        Fill(PasswordText::kOneCore, {Grouped(rate), DurationText(estimate.seconds_one_core)}) +
        "\n";
    report += Fill(PasswordText::kAttacker,
                   {Grouped(rate * kAttackerCores), DurationText(estimate.seconds_attacker)}) +
              "\n";
    if (!estimate.feedback.empty()) {
        report += estimate.feedback + "\n";
    }
    return report;
}

std::string WeakPasswordWarning(const StrengthEstimate& estimate) {
    std::string line = StrengthLine(estimate);
    if (!estimate.feedback.empty()) {
        line += "; " + estimate.feedback;
    }
    return Fill(PasswordText::kWeakWarning, {line});
}

}  // namespace tazu
