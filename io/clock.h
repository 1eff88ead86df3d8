// Progress pacing: the clock readings and the adaptive count of blocks
// between progress updates, shared by the encryption and decryption engines.
#pragma once

#include <cstdint>

namespace tazu {

struct TimeOfDay {
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

TimeOfDay CurrentTimeOfDay();

// Seconds from start to end with millisecond resolution, from the minute,
// second and millisecond fields only: the elapsed time modulo one hour.
double ElapsedSeconds(const TimeOfDay& start, const TimeOfDay& end);

// Moves the blocks-per-update count one step towards one update every 0.2 s:
// down when the last interval took longer, up when it was shorter.
void AdaptBlocksPerUpdate(std::int32_t& blocks_per_update, double elapsed_seconds);

inline constexpr std::int32_t kInitialBlocksPerUpdate = 256;

}  // namespace tazu
