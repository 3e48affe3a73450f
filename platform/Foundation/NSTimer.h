#pragma once

#include <functional>
#include <type_traits>

#include "Foundation/NSObject.h"
#include "Foundation/NSRunLoop.h"

// A timer scheduled on the main run loop. While valid it holds its target (and
// the run loop holds it). A repeating timer keeps its schedule (start + n x
// interval) and skips firings it missed instead of firing them in a burst.
class NSTimer : public NSObject {
public:
    using Action = std::function<void(NSObject* target, const Ptr<NSTimer>& timer)>;

    // Schedules a timer that sends `selector` to `target`; the selector takes the
    // timer or nothing.
    template <class T, class Method>
    static Ptr<NSTimer> scheduledTimerWithTimeInterval(NSTimeInterval interval, const Ptr<T>& target,
                                                       Method selector, const Ptr<NSObject>& userInfo,
                                                       BOOL repeats) {
        Action action = [selector](NSObject* object, const Ptr<NSTimer>& timer) {
            auto* receiver = static_cast<T*>(object);
            if constexpr (std::is_invocable_v<Method, T*, const Ptr<NSTimer>&>) {
                (receiver->*selector)(timer);
            } else {
                (receiver->*selector)();
            }
        };
        return schedule(interval, target, std::move(action), userInfo, repeats);
    }

    // Schedules a timer that runs `block`.
    static Ptr<NSTimer> scheduledTimerWithTimeInterval(NSTimeInterval interval, BOOL repeats,
                                                       std::function<void(const Ptr<NSTimer>&)> block);

    // Stops the timer for good and releases its target. Safe from its own callback.
    void invalidate();
    BOOL isValid() const { return _valid; }
    // Runs the action now. A repeating timer keeps its schedule; a one-shot timer is
    // invalidated. Does nothing on an invalid timer.
    void fire();
    const Ptr<NSObject>& userInfo() const { return _userInfo; }
    // The next firing, in run-loop seconds.
    NSTimeInterval fireDate() const { return SecondsFromNanoseconds(_nextFire); }

    ~NSTimer() override;

private:
    static Ptr<NSTimer> schedule(NSTimeInterval interval, const Ptr<NSObject>& target, Action action,
                                 const Ptr<NSObject>& userInfo, BOOL repeats);
    void arm();
    void timerFired();
    void callOut();

    Ptr<NSObject> _target;
    Action _action;
    Ptr<NSObject> _userInfo;
    Nanoseconds _start = 0;
    Nanoseconds _interval = 0;
    Nanoseconds _nextFire = 0;
    NSRunLoop::TaskId _task = 0;
    bool _repeats = false;
    bool _valid = false;
};
