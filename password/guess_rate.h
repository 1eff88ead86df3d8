// This format's guessing speed, measured on the machine the program runs
// on: how many passwords a second one core can try against an archive
// entry. A password is checked by opening the entry's salt record (a double
// envelope) with it: the two copies inside agree only for the right
// password, and no slow key derivation stands in the way. The key store's
// password is checked the same way.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace tazu {

struct GuessRate {
    std::uint64_t guesses = 0;  // passwords tried
    double seconds = 0;         // the time they took
    double per_second = 0;      // guesses / seconds, always above 0
};

struct CalibrationLimits {
    std::uint64_t max_guesses = 100000;
    std::chrono::milliseconds max_time{100};
};

// Seconds from some fixed start; the steady clock unless a test passes its own.
using SecondsClock = std::function<double()>;
double SteadySeconds();

// Tries wrong passwords against a sample entry's salt record, through the
// same opener the reader uses, on the calling thread, until either limit
// is reached.
GuessRate MeasureGuessRate(const CalibrationLimits& limits = {},
                           const SecondsClock& clock = SteadySeconds);

// This machine's speed of one core, measured once per run of the program
// (the first call measures, with the default limits).
double GuessesPerSecond();

}  // namespace tazu
