#pragma once

#include <cstdint>

#include "Foundation/NSObject.h"

// Time on this platform is counted in whole nanoseconds, so that long chains of
// scheduled work stay exact.
using Nanoseconds = std::int64_t;

// Seconds to nanoseconds, rounded to the nearest; NaN reads as 0 and values
// beyond the representable range saturate.
Nanoseconds NanosecondsFromSeconds(double seconds);
inline double SecondsFromNanoseconds(Nanoseconds nanoseconds) {
    return static_cast<double>(nanoseconds) / 1e9;
}

// The one source of monotonic time: the run loop reads it once per pass.
class Clock {
public:
    virtual ~Clock() = default;
    virtual Nanoseconds now() const = 0;
    // A manual clock only moves when told to.
    virtual BOOL isManual() const { return NO; }
};

// The system's monotonic clock.
class MonotonicClock final : public Clock {
public:
    Nanoseconds now() const override;
};

// The wall clock, counting from the platform's reference date (1 January 2001,
// 00:00:00 UTC). Only dates read it; the run loop never does.
class SystemWallClock final : public Clock {
public:
    Nanoseconds now() const override;
};

// A clock that tests (and headless runs) move by hand. It never goes backwards.
class ManualClock final : public Clock {
public:
    explicit ManualClock(Nanoseconds start = 0) : _now(start) {}
    Nanoseconds now() const override { return _now; }
    BOOL isManual() const override { return YES; }
    void set(Nanoseconds now) {
        if (now > _now) {
            _now = now;
        }
    }

private:
    Nanoseconds _now;
};
