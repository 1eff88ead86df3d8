#include "password/password_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <iterator>

#include "format/language.h"

namespace tazu {
namespace {

struct TextRow {
    PasswordText id;
    std::string_view source;  // Russian; Tr() gives the chosen language's
};

constexpr TextRow kTexts[] = {
    {PasswordText::kVeryWeak, TextKey("очень слабый")},
    {PasswordText::kWeak, TextKey("слабый")},
    {PasswordText::kMedium, TextKey("средний")},
    {PasswordText::kStrong, TextKey("надёжный")},
    {PasswordText::kLine, TextKey("{}: подбор {}")},
    {PasswordText::kWithin, TextKey("за {} {}")},
    {PasswordText::kUnderSecond, TextKey("меньше чем за секунду")},
    {PasswordText::kOver1000Years, TextKey("дольше 1000 лет")},
    {PasswordText::kOneCore,
     TextKey("на одном ядре этого компьютера ({} паролей в секунду): подбор {}")},
    {PasswordText::kAttacker,
     TextKey("у атакующего со 100 ядрами ({} паролей в секунду): подбор {}")},
    {PasswordText::kGuesses, TextKey("нужно перебрать около {} паролей")},
    {PasswordText::kWeakWarning, TextKey("пароль {}")},
    {PasswordText::kEmpty, TextKey("пароль пуст")},
    {PasswordText::kCommon, TextKey("это частое слово или пароль")},
    {PasswordText::kLeet, TextKey("замена букв цифрами и знаками не помогает")},
    {PasswordText::kRepeats, TextKey("повторы легко угадать")},
    {PasswordText::kSequence, TextKey("ряды вроде abc и 123 легко угадать")},
    {PasswordText::kKeyboard, TextKey("ряды клавиш вроде qwerty легко угадать")},
    {PasswordText::kDate, TextKey("даты и годы легко угадать")},
    {PasswordText::kShort, TextKey("слишком короткий")},
    {PasswordText::kSuggestion, TextKey("добавьте слова или возьмите придуманную фразу")},
    {PasswordText::kSecond1, TextKey("секунду")},
    {PasswordText::kSecond2, TextKey("секунды")},
    {PasswordText::kSecond5, TextKey("секунд")},
    {PasswordText::kMinute1, TextKey("минуту")},
    {PasswordText::kMinute2, TextKey("минуты")},
    {PasswordText::kMinute5, TextKey("минут")},
    {PasswordText::kHour1, TextKey("час")},
    {PasswordText::kHour2, TextKey("часа")},
    {PasswordText::kHour5, TextKey("часов")},
    {PasswordText::kDay1, TextKey("день")},
    {PasswordText::kDay2, TextKey("дня")},
    {PasswordText::kDay5, TextKey("дней")},
    {PasswordText::kYear1, TextKey("год")},
    {PasswordText::kYear2, TextKey("года")},
    {PasswordText::kYear5, TextKey("лет")},
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
    return FillIn(PasswordTextOf(id), values);
}

// The form of a unit that goes with the count n: 1, 21 "минуту"; 2-4,
// 22-24 "минуты"; 5-20, 25 "минут". first is the unit's form for 1.
// English has two forms: the first for 1 ("minute"), the third for any
// other count ("minutes"; the catalogue gives the second form the same).
PasswordText Plural(long long n, PasswordText first) {
    const long long last = n % 10;
    const long long tens = n % 100;
    int form = 2;
    if (CurrentLanguage() != Language::kRussian) {
        form = n == 1 ? 0 : 2;
    } else if (last == 1 && tens != 11) {
        form = 0;
    } else if (last >= 2 && last <= 4 && (tens < 12 || tens > 14)) {
        form = 1;
    }
    return static_cast<PasswordText>(static_cast<int>(first) + form);
}

// A count with its digits grouped by threes: "4 100 000" (in English
// "4,100,000").
std::string Grouped(double value) {
    const std::string digits = std::to_string(std::llround(value));
    const char separator = CurrentLanguage() == Language::kRussian ? ' ' : ',';
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            out += separator;
        }
        out += digits[i];
    }
    return out;
}

// A number of guesses: grouped up to a million, else as "2,2·10^9" (in
// English "2.2·10^9").
std::string GuessCount(double guesses) {
    if (guesses < 1e6) {
        return Grouped(guesses);
    }
    const int exponent = static_cast<int>(std::floor(std::log10(guesses)));
    char mantissa[16];
    std::snprintf(mantissa, sizeof mantissa, "%.1f", guesses / std::pow(10.0, exponent));
    std::string text = mantissa;
    const std::size_t dot = text.find('.');
    if (dot != std::string::npos && CurrentLanguage() == Language::kRussian) {
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
    return i < std::size(kTexts) ? Tr(kTexts[i].source) : std::string_view();
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
