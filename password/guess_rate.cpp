#include "password/guess_rate.h"

#include <algorithm>

#include "cipher/envelope.h"
#include "cipher/random.h"
#include "cipher/str255.h"

namespace tazu {

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

namespace {

// A salt record as an archive entry holds it: a 48-byte salt in a double
// envelope sealed with the password. Sealed with a seeded generator, since
// nothing of it is secret.
Str255 SampleSaltRecord(const Str255& password) {
    SeededRandom random(0x7a3a16);
    Str255 salt;
    salt.resize(48);
    random.Bytes(salt.data(), salt.size());
    return DoubleEnvelope(salt, password, random);
}

// The i-th wrong guess: eight lower-case letters and digits, the length of
// a typical password (the opener's cost grows with the password's length).
Str255 Guess(std::uint64_t i) {
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    char text[8];
    for (char& c : text) {
        c = kAlphabet[i % 36];
        i /= 36;
    }
    return Str255(std::string_view(text, sizeof text));
}

}  // namespace

GuessRate MeasureGuessRate(const CalibrationLimits& limits, const SecondsClock& clock) {
    const Str255 record = SampleSaltRecord(Str255("not one of the guesses"));
    const double limit = std::chrono::duration<double>(limits.max_time).count();
    const double start = clock();
    GuessRate rate;
    [[maybe_unused]] volatile std::size_t sink = 0;  // keeps the openings from being optimised away
    while (rate.guesses < limits.max_guesses) {
        sink = OpenDoubleEnvelope(record, Guess(rate.guesses)).size();
        ++rate.guesses;
        // The clock is read every 64 guesses: reading it costs about as much
        // as a guess.
        if (rate.guesses % 64 == 0 && clock() - start >= limit) {
            break;
        }
    }
    rate.seconds = clock() - start;
    // A clock too coarse to see the run still gives a positive rate.
    rate.per_second =
        std::max(static_cast<double>(rate.guesses), 1.0) / std::max(rate.seconds, 1e-6);
    return rate;
}

double GuessesPerSecond() {
    static const double per_second = MeasureGuessRate().per_second;
    return per_second;
}

}  // namespace tazu
