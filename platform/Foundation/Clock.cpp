#include "Foundation/Clock.h"

#include <chrono>
#include <cmath>
#include <limits>

Nanoseconds NanosecondsFromSeconds(double seconds) {
    if (std::isnan(seconds)) {
        return 0;
    }
    const double nanoseconds = std::round(seconds * 1e9);
    constexpr auto max = std::numeric_limits<Nanoseconds>::max();
    constexpr auto min = std::numeric_limits<Nanoseconds>::min();
    if (nanoseconds >= static_cast<double>(max)) {
        return max;
    }
    if (nanoseconds <= static_cast<double>(min)) {
        return min;
    }
    return static_cast<Nanoseconds>(nanoseconds);
}

Nanoseconds MonotonicClock::now() const {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Nanoseconds SystemWallClock::now() const {
    // Seconds from the Unix epoch to the reference date.
    constexpr Nanoseconds kReferenceDateSinceUnixEpoch = 978'307'200LL * 1'000'000'000LL;
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return sinceEpoch.count() - kReferenceDateSinceUnixEpoch;
}
