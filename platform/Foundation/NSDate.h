#pragma once

#include <memory>

#include "Foundation/Clock.h"
#include "Foundation/NSObject.h"

// Seconds between the Unix epoch (1970) and the platform's reference date (2001).
inline constexpr NSTimeInterval NSTimeIntervalSince1970 = 978307200.0;

// A point in wall-clock time, as seconds since the reference date (1 January 2001,
// 00:00:00 UTC). Dates read the wall clock, never the run loop's clock.
class NSDate : public NSObject {
public:
    // The current date.
    static Ptr<NSDate> date();
    static Ptr<NSDate> dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds);

    // The class operation: seconds from the reference date to now.
    static NSTimeInterval timeIntervalSinceReferenceDate();

    // The wall clock that dates read, counting nanoseconds since the reference date;
    // nil goes back to the system's. Tests set a ManualClock for fixed dates.
    static void setClock(std::shared_ptr<Clock> clock);

    // This date's seconds since the reference date (the instance reading of
    // timeIntervalSinceReferenceDate, renamed because C++ cannot overload on static).
    NSTimeInterval referenceDateInterval() const { return _interval; }
    NSTimeInterval timeIntervalSince1970() const { return _interval + NSTimeIntervalSince1970; }

    BOOL isEqual(const NSObject* other) const override;
    std::size_t hash() const override;
    // "2001-01-01 00:00:00 +0000": UTC, whole seconds.
    std::string description() const override;

private:
    NSTimeInterval _interval = 0;
};
