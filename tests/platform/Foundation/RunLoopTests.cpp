#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

#include "Foundation/NSRunLoop.h"
#include "support/TestSupport.h"

namespace {

class RunLoopTest : public PlatformTest {
protected:
    NSRunLoop* loop() { return NSRunLoop::mainRunLoop(); }
};

TEST_F(RunLoopTest, TasksRunInDueOrderWithClockAtDueTime) {
    std::vector<std::pair<int, double>> ran;
    loop()->scheduleAfter(2.0, [&] { ran.emplace_back(2, now()); });
    loop()->scheduleAfter(1.0, [&] { ran.emplace_back(1, now()); });
    loop()->scheduleAfter(1.0, [&] { ran.emplace_back(3, now()); });
    advance(5);
    ASSERT_EQ(ran.size(), 3u);
    EXPECT_EQ(ran[0], std::make_pair(1, 1.0));
    EXPECT_EQ(ran[1], std::make_pair(3, 1.0));
    EXPECT_EQ(ran[2], std::make_pair(2, 2.0));
    EXPECT_DOUBLE_EQ(now(), 5.0);
}

TEST_F(RunLoopTest, WorkQueuedAtCurrentInstantRunsInNextPass) {
    std::vector<int> order;
    loop()->performSoon([&] {
        order.push_back(1);
        loop()->performSoon([&] { order.push_back(3); });
    });
    loop()->performSoon([&] { order.push_back(2); });
    EXPECT_EQ(loop()->runPass(), 2u);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(loop()->runPass(), 1u);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(RunLoopTest, AdvanceRunsWorkScheduledOnTheWayAndStopsAtTarget) {
    std::vector<std::pair<std::string, double>> ran;
    loop()->scheduleAfter(1.0, [&] {
        ran.emplace_back("first", now());
        // Inside the window: runs during this advance, at its own due time.
        loop()->scheduleAfter(0.5, [&] { ran.emplace_back("inside", now()); });
        // At the current instant: after this pass, still at 1.0.
        loop()->performSoon([&] { ran.emplace_back("soon", now()); });
        // Beyond the window: waits for a later advance.
        loop()->scheduleAfter(5.0, [&] { ran.emplace_back("beyond", now()); });
    });
    advance(2);
    EXPECT_EQ(ran,
              (std::vector<std::pair<std::string, double>>{{"first", 1.0}, {"soon", 1.0}, {"inside", 1.5}}));
    EXPECT_DOUBLE_EQ(now(), 2.0);
    advance(4);
    ASSERT_EQ(ran.size(), 4u);
    EXPECT_EQ(ran.back(), std::make_pair(std::string("beyond"), 6.0));
}

TEST_F(RunLoopTest, CancelledTasksNeverRun) {
    std::vector<std::string> ran;
    const auto cancelledEarly = loop()->scheduleAfter(1.0, [&] { ran.push_back("early"); });
    // Same due time: the canceller was scheduled first, so it runs first.
    NSRunLoop::TaskId victim = 0;
    loop()->scheduleAfter(2.0, [&] {
        ran.push_back("canceller");
        loop()->cancel(victim);
    });
    victim = loop()->scheduleAfter(2.0, [&] { ran.push_back("victim"); });
    loop()->cancel(cancelledEarly);
    loop()->cancel(987654321); // unknown ids are ignored
    EXPECT_FALSE(loop()->isScheduled(cancelledEarly));
    EXPECT_TRUE(loop()->isScheduled(victim));
    advance(3);
    EXPECT_EQ(ran, std::vector<std::string>{"canceller"});
    EXPECT_EQ(loop()->pendingTaskCount(), 0u);
}

TEST_F(RunLoopTest, ManualClockStaysExactOverLongAdvances) {
    // 0.1 s is not exact in binary; counted in nanoseconds it is.
    int count = 0;
    Nanoseconds last = 0;
    std::function<void()> leg = [&] {
        ++count;
        last = loop()->nowNanoseconds();
        loop()->scheduleAfter(0.1, leg);
    };
    loop()->scheduleAfter(0.1, leg);
    advance(3 * 3600);
    EXPECT_EQ(count, 108000);
    EXPECT_EQ(last, Nanoseconds{3} * 3600 * 1'000'000'000);
}

TEST_F(RunLoopTest, RunUntilAdvancesTheManualClockToTheAnswer) {
    bool done = false;
    loop()->scheduleAfter(2.5, [&] { done = true; });
    EXPECT_TRUE(loop()->runUntil([&] { return done; }, 10));
    EXPECT_DOUBLE_EQ(now(), 2.5);
    EXPECT_FALSE(loop()->runUntil([] { return false; }, 1));
    EXPECT_DOUBLE_EQ(now(), 3.5);
}

TEST_F(RunLoopTest, RunWakesForPostsFromOtherThreadsAndEventSources) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    NSRunLoop* runLoop = loop();
    std::vector<std::string> events;
    std::thread poster;
    runLoop->addEventSource(fds[0], [&] {
        char byte = 0;
        EXPECT_EQ(::read(fds[0], &byte, 1), 1);
        events.push_back("source");
        runLoop->removeEventSource(fds[0]);
        // The loop goes back to sleep with nothing scheduled; only the post can wake it.
        poster = std::thread([&] {
            runLoop->postFromAnyThread([&] {
                events.push_back("posted");
                runLoop->stop();
            });
        });
    });
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    runLoop->run();
    poster.join();
    EXPECT_EQ(events, (std::vector<std::string>{"source", "posted"}));
    ::close(fds[0]);
    ::close(fds[1]);
}

} // namespace
