#include "io/clock.h"

#include <time.h>

#include <limits>

namespace tazu {

TimeOfDay CurrentTimeOfDay() {
    // A monotonic clock: only differences matter, and they must not jump
    // when the wall clock is set.
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const long long ms = static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
    TimeOfDay t;
    t.millisecond = static_cast<int>(ms % 1000);
    t.second = static_cast<int>((ms / 1000) % 60);
    t.minute = static_cast<int>((ms / 60000) % 60);
    return t;
}

double ElapsedSeconds(const TimeOfDay& start, const TimeOfDay& end) {
    int ms = end.millisecond - start.millisecond;
    int s = end.second - start.second;
    int m = end.minute - start.minute;
    if (ms < 0) {
        ms += 1000;
        --s;
    }
    if (s < 0) {
        s += 60;
        --m;
    }
    if (m < 0) {
        m += 60;
    }
    return (m * 60000 + s * 1000 + ms) / 1000.0;
}

void AdaptBlocksPerUpdate(std::int32_t& blocks_per_update, double elapsed_seconds) {
    if (elapsed_seconds > 0.2) {
        if (blocks_per_update > std::numeric_limits<std::int32_t>::min()) {
            --blocks_per_update;
        }
    } else if (elapsed_seconds < 0.2) {
        if (blocks_per_update < std::numeric_limits<std::int32_t>::max()) {
            ++blocks_per_update;
        }
    }
}

}  // namespace tazu
