#include <gtest/gtest.h>

#include "Foundation/NSTimer.h"
#include "support/TestSupport.h"

namespace {

class Target : public NSObject {
public:
    void tick() { ++ticks; }
    int ticks = 0;
};

class TimerTest : public PlatformTest {
protected:
    using Log = std::vector<std::pair<std::string, double>>;
    Ptr<NSTimer> logging(const std::string& name, double interval, bool repeats) {
        return NSTimer::scheduledTimerWithTimeInterval(
            interval, repeats, [this, name](const Ptr<NSTimer>&) { log.emplace_back(name, now()); });
    }
    Log log;
};

TEST_F(TimerTest, OrderHoldsWithTimersScheduledAndInvalidatedDuringCallbacks) {
    Ptr<NSTimer> doomed;
    logging("late", 1.5, false);
    NSTimer::scheduledTimerWithTimeInterval(1.0, false, [&](const Ptr<NSTimer>&) {
        log.emplace_back("first", now());
        // Due at this same instant, but invalidated before its turn.
        doomed->invalidate();
        // Scheduled at 1.0 for 1.5: after "late", which was scheduled earlier for 1.5.
        logging("added", 0.5, false);
        // Due before anything else still pending.
        logging("soon", 0.25, false);
    });
    doomed = logging("doomed", 1.0, true);
    advance(5);
    EXPECT_EQ(log, (Log{{"first", 1.0}, {"soon", 1.25}, {"late", 1.5}, {"added", 1.5}}));
    EXPECT_FALSE(doomed->isValid());
}

TEST_F(TimerTest, RepeatingTimerInvalidatedInItsOwnCallbackStops) {
    int calls = 0;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(0.5, true, [&](const Ptr<NSTimer>& self) {
        if (++calls == 3) {
            self->invalidate();
        }
    });
    advance(10);
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(timer->isValid());
    EXPECT_EQ(NSRunLoop::mainRunLoop()->pendingTaskCount(), 0u);
}

TEST_F(TimerTest, RepeatingTimerFiresOncePerDueTimeForADay) {
    // 0.7 s has no exact binary form; the schedule must not drift all the same.
    std::vector<Nanoseconds> firings;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(0.7, true, [&](const Ptr<NSTimer>&) {
        firings.push_back(NSRunLoop::mainRunLoop()->nowNanoseconds());
    });
    advance(86400);
    ASSERT_EQ(firings.size(), 123428u);
    for (std::size_t i = 0; i < firings.size(); ++i) {
        ASSERT_EQ(firings[i], static_cast<Nanoseconds>(i + 1) * 700'000'000) << "firing " << i;
    }
    EXPECT_EQ(NanosecondsFromSeconds(timer->fireDate()), Nanoseconds{123429} * 700'000'000);
}

TEST_F(TimerTest, MissedFiringsAreSkippedAndTheGridKept) {
    auto timer = logging("tick", 0.5, true);
    // A callback holds the loop for 5 s (a stalled host): the clock jumps past ten due times.
    NSRunLoop::mainRunLoop()->scheduleAfter(0.6,
                                            [&] { _clock->set(_clock->now() + NanosecondsFromSeconds(5)); });
    advance(6);
    // One catch-up at 5.6, then the grid (start + n x interval): never two at one instant.
    EXPECT_EQ(log, (Log{{"tick", 0.5}, {"tick", 5.6}, {"tick", 6.0}}));
    EXPECT_DOUBLE_EQ(timer->fireDate(), 6.5);
}

TEST_F(TimerTest, TargetIsHeldOnlyWhileTheTimerIsValid) {
    for (const BOOL repeats : {YES, NO}) {
        SCOPED_TRACE(repeats ? "repeating" : "one-shot");
        auto target = alloc<Target>();
        WeakPtr<Target> weakTarget = target;
        auto timer = NSTimer::scheduledTimerWithTimeInterval(1.0, target, &Target::tick, nullptr, repeats);
        target.reset();
        advance(2.5);
        // A one-shot timer is spent, and lets go of its target, once it has fired.
        EXPECT_EQ(timer->isValid(), repeats);
        ASSERT_EQ(weakTarget.expired(), !repeats);
        if (repeats) {
            EXPECT_EQ(weakTarget.lock()->ticks, 2);
        }
        timer->invalidate();
        timer->invalidate(); // twice is harmless
        EXPECT_TRUE(weakTarget.expired());
    }
}

TEST_F(TimerTest, ZeroIntervalTimerFromACallbackWaitsForALaterPass) {
    auto* loop = NSRunLoop::mainRunLoop();
    loop->performSoon([&] { logging("zero", 0, false); });
    EXPECT_EQ(loop->runPass(), 1u);
    EXPECT_TRUE(log.empty());
    advance(0.001);
    EXPECT_EQ(log.size(), 1u);
}

} // namespace
