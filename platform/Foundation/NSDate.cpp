#include "Foundation/NSDate.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <mutex>

namespace {

struct WallClockState {
    std::mutex mutex;
    std::shared_ptr<Clock> clock = std::make_shared<SystemWallClock>();
};

WallClockState& wallClock() {
    static WallClockState state;
    return state;
}

} // namespace

void NSDate::setClock(std::shared_ptr<Clock> clock) {
    auto& state = wallClock();
    std::lock_guard lock(state.mutex);
    state.clock = clock ? std::move(clock) : std::make_shared<SystemWallClock>();
}

NSTimeInterval NSDate::timeIntervalSinceReferenceDate() {
    auto& state = wallClock();
    std::shared_ptr<Clock> clock;
    {
        std::lock_guard lock(state.mutex);
        clock = state.clock;
    }
    return SecondsFromNanoseconds(clock->now());
}

Ptr<NSDate> NSDate::date() {
    return dateWithTimeIntervalSinceReferenceDate(timeIntervalSinceReferenceDate());
}

Ptr<NSDate> NSDate::dateWithTimeIntervalSinceReferenceDate(NSTimeInterval seconds) {
    auto date = alloc<NSDate>();
    date->_interval = seconds;
    return date;
}

BOOL NSDate::isEqual(const NSObject* other) const {
    const auto* date = dynamic_cast<const NSDate*>(other);
    return date && date->_interval == _interval;
}

std::size_t NSDate::hash() const {
    return std::hash<double>{}(_interval);
}

std::string NSDate::description() const {
    const double unixSeconds = std::floor(timeIntervalSince1970());
    if (!std::isfinite(unixSeconds) || std::fabs(unixSeconds) > 1e15) {
        return "(invalid date)";
    }
    const std::time_t seconds = static_cast<std::time_t>(unixSeconds);
    std::tm utc{};
    if (!gmtime_r(&seconds, &utc)) {
        return "(invalid date)";
    }
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S +0000", &utc);
    return text;
}
