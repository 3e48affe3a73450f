#include "Foundation/NSTimer.h"

#include <algorithm>

namespace {

// The platform's shortest timer interval; anything shorter (or negative) uses it.
constexpr Nanoseconds kMinimumInterval = 100'000;
// Longer intervals (about 31 years) are as good as never and would overflow the schedule.
constexpr Nanoseconds kMaximumInterval = 1'000'000'000'000'000'000;

} // namespace

Ptr<NSTimer> NSTimer::schedule(NSTimeInterval interval, const Ptr<NSObject>& target, Action action,
                               const Ptr<NSObject>& userInfo, BOOL repeats) {
    auto timer = alloc<NSTimer>();
    timer->_target = target;
    timer->_action = std::move(action);
    timer->_userInfo = userInfo;
    timer->_repeats = repeats;
    timer->_interval = std::clamp(NanosecondsFromSeconds(interval), kMinimumInterval, kMaximumInterval);
    timer->_start = NSRunLoop::mainRunLoop()->nowNanoseconds();
    timer->_nextFire = timer->_start + timer->_interval;
    timer->_valid = true;
    timer->arm();
    return timer;
}

Ptr<NSTimer> NSTimer::scheduledTimerWithTimeInterval(NSTimeInterval interval, BOOL repeats,
                                                     std::function<void(const Ptr<NSTimer>&)> block) {
    Action action = [block = std::move(block)](NSObject*, const Ptr<NSTimer>& timer) { block(timer); };
    return schedule(interval, nullptr, std::move(action), nullptr, repeats);
}

NSTimer::~NSTimer() {
    if (_task) {
        NSRunLoop::mainRunLoop()->cancel(_task);
    }
}

void NSTimer::arm() {
    // The run loop's task holds the timer while it is valid.
    _task =
        NSRunLoop::mainRunLoop()->scheduleAt(_nextFire, [timer = self<NSTimer>()] { timer->timerFired(); });
}

void NSTimer::timerFired() {
    _task = 0;
    if (!_valid) {
        return;
    }
    auto keepAlive = self<NSTimer>();
    if (_repeats) {
        // Reschedule before calling out, skipping any firing already missed.
        const Nanoseconds now = NSRunLoop::mainRunLoop()->nowNanoseconds();
        const Nanoseconds elapsed = now - _start;
        const Nanoseconds periods = elapsed / _interval + 1;
        _nextFire = _start + periods * _interval;
        arm();
    } else {
        _valid = false;
    }
    callOut();
    if (!_repeats) {
        _target.reset();
        _action = nullptr;
        _userInfo.reset();
    }
}

void NSTimer::callOut() {
    if (!_action) {
        return;
    }
    // The action may invalidate this timer and so release what it captured.
    Action action = _action;
    Ptr<NSObject> target = _target;
    action(target.get(), self<NSTimer>());
}

void NSTimer::fire() {
    if (!_valid) {
        return;
    }
    auto keepAlive = self<NSTimer>();
    callOut();
    // A one-shot timer is spent once it has fired, however it was fired.
    if (!_repeats) {
        invalidate();
    }
}

void NSTimer::invalidate() {
    if (!_valid) {
        return;
    }
    _valid = false;
    if (_task) {
        NSRunLoop::mainRunLoop()->cancel(_task);
        _task = 0;
    }
    _target.reset();
    _action = nullptr;
    _userInfo.reset();
}
