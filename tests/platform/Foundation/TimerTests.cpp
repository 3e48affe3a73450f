#include <gtest/gtest.h>

#include "Foundation/NSTimer.h"
#include "support/TestSupport.h"

namespace {

class Target : public NSObject {
public:
    void tick(const Ptr<NSTimer>& timer) {
        ++ticks;
        lastTimer = timer;
    }
    void plainTick() { ++ticks; }
    int ticks = 0;
    Ptr<NSTimer> lastTimer;
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
    Ptr<NSTimer> doomed = logging("doomed", 2.0, true);
    logging("late", 1.5, false);
    NSTimer::scheduledTimerWithTimeInterval(1.0, false, [&](const Ptr<NSTimer>&) {
        log.emplace_back("first", now());
        doomed->invalidate();
        // Scheduled at 1.0 for 1.5: after "late", which was scheduled earlier for 1.5.
        logging("added", 0.5, false);
        // Due before anything else still pending.
        logging("soon", 0.25, false);
    });
    advance(5);
    EXPECT_EQ(log, (Log{{"first", 1.0}, {"soon", 1.25}, {"late", 1.5}, {"added", 1.5}}));
    EXPECT_FALSE(doomed->isValid());
}

TEST_F(TimerTest, TimerInvalidatedByAnotherAtTheSameInstantDoesNotFire) {
    Ptr<NSTimer> second;
    NSTimer::scheduledTimerWithTimeInterval(1.0, false, [&](const Ptr<NSTimer>&) {
        log.emplace_back("first", now());
        second->invalidate();
    });
    second = logging("second", 1.0, true);
    advance(3);
    EXPECT_EQ(log, (Log{{"first", 1.0}}));
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

TEST_F(TimerTest, MissedFiringsAreSkippedNotBurst) {
    auto timer = logging("tick", 0.5, true);
    advance(1.0);
    ASSERT_EQ(log.size(), 2u);
    // The run loop was held up for 10.2 s (a long callback, a stalled host): the
    // clock jumps past twenty due times at once.
    _clock->set(_clock->now() + NanosecondsFromSeconds(10.2));
    NSRunLoop::mainRunLoop()->runPass();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_DOUBLE_EQ(log.back().second, 11.2);
    // The schedule stays on its grid (start + n x interval), not now + interval.
    EXPECT_DOUBLE_EQ(timer->fireDate(), 11.5);
    advance(0.3);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_DOUBLE_EQ(log.back().second, 11.5);
}

TEST_F(TimerTest, NoBurstAfterACallbackThatHoldsTheLoop) {
    logging("tick", 0.5, true);
    NSRunLoop::mainRunLoop()->scheduleAfter(0.6,
                                            [&] { _clock->set(_clock->now() + NanosecondsFromSeconds(5)); });
    advance(6);
    // 0.5, then one catch-up at 5.6 and the grid from 6.0: never two at one instant.
    EXPECT_EQ(log, (Log{{"tick", 0.5}, {"tick", 5.6}, {"tick", 6.0}}));
}

TEST_F(TimerTest, TargetIsHeldUntilInvalidated) {
    auto target = alloc<Target>();
    WeakPtr<Target> weakTarget = target;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(1.0, target, &Target::tick, nullptr, YES);
    target.reset();
    advance(2.5);
    ASSERT_FALSE(weakTarget.expired());
    EXPECT_EQ(weakTarget.lock()->ticks, 2);
    EXPECT_EQ(weakTarget.lock()->lastTimer, timer);
    weakTarget.lock()->lastTimer.reset();
    timer->invalidate();
    EXPECT_TRUE(weakTarget.expired());
    timer->invalidate(); // twice is harmless
}

TEST_F(TimerTest, OneShotTimerReleasesItsTargetAfterFiring) {
    auto target = alloc<Target>();
    WeakPtr<Target> weakTarget = target;
    auto timer = NSTimer::scheduledTimerWithTimeInterval(1.0, target, &Target::plainTick, nullptr, NO);
    target.reset();
    EXPECT_TRUE(timer->isValid());
    EXPECT_EQ(timer->timeInterval(), 0);
    advance(1.0);
    EXPECT_TRUE(weakTarget.expired());
    EXPECT_FALSE(timer->isValid());
}

TEST_F(TimerTest, FireRunsNowAndSpendsOnlyOneShotTimers) {
    auto repeating = logging("repeating", 1.0, true);
    auto oneShot = logging("oneShot", 1.0, false);
    advance(0.25);
    repeating->fire();
    oneShot->fire();
    EXPECT_TRUE(repeating->isValid());
    EXPECT_FALSE(oneShot->isValid());
    advance(1.0);
    EXPECT_EQ(log, (Log{{"repeating", 0.25}, {"oneShot", 0.25}, {"repeating", 1.0}}));
    oneShot->fire();
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(TimerTest, ZeroIntervalTimerFromACallbackWaitsForALaterPass) {
    auto* loop = NSRunLoop::mainRunLoop();
    loop->performSoon([&] { logging("zero", 0, false); });
    EXPECT_EQ(loop->runPass(), 1u);
    EXPECT_TRUE(log.empty());
    advance(0.001);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(TimerTest, RestartingKeepsOneTimer) {
    // The widget's rule: starting the track-time timer stops one still held.
    Ptr<NSTimer> timeTimer;
    auto start = [&] {
        if (timeTimer) {
            timeTimer->invalidate();
        }
        timeTimer = logging("tick", 0.5, true);
    };
    start();
    advance(0.2);
    start();
    advance(1.0);
    EXPECT_EQ(log, (Log{{"tick", 0.7}, {"tick", 1.2}}));
}

} // namespace
