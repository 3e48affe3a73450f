#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <unistd.h>

#include "Foundation/NSRunLoop.h"
#include "support/TestSupport.h"

namespace {

class RunLoopTest : public PlatformTest {
protected:
    NSRunLoop* loop() { return NSRunLoop::mainRunLoop(); }
    std::vector<std::pair<std::string, double>> ran;
    std::function<void()> record(std::string name) {
        return [this, name] { ran.emplace_back(name, now()); };
    }
};

TEST_F(RunLoopTest, AdvanceRunsWorkInDueOrderWithTheClockAtEachDueTime) {
    loop()->scheduleAfter(2.0, record("later"));
    loop()->scheduleAfter(1.0, [&] {
        record("first")();
        // Inside the window: runs during this advance, at its own due time.
        loop()->scheduleAfter(0.5, record("inside"));
        // At the current instant: in the next pass, still at 1.0.
        loop()->performSoon(record("soon"));
        // Beyond the window: waits for a later advance.
        loop()->scheduleAfter(5.0, record("beyond"));
    });
    loop()->scheduleAfter(1.0, record("sameInstant"));
    advance(2.5);
    EXPECT_EQ(ran,
              (decltype(ran){
                  {"first", 1.0}, {"sameInstant", 1.0}, {"soon", 1.0}, {"inside", 1.5}, {"later", 2.0}}));
    EXPECT_DOUBLE_EQ(now(), 2.5);
    advance(4);
    EXPECT_EQ(ran.back(), std::make_pair(std::string("beyond"), 6.0));
}

TEST_F(RunLoopTest, CancelledTasksNeverRun) {
    const auto cancelledEarly = loop()->scheduleAfter(1.0, record("early"));
    // Same due time: the canceller was scheduled first, so it runs first.
    NSRunLoop::TaskId victim = 0;
    loop()->scheduleAfter(2.0, [&] {
        record("canceller")();
        loop()->cancel(victim);
    });
    victim = loop()->scheduleAfter(2.0, record("victim"));
    loop()->cancel(cancelledEarly);
    loop()->cancel(987654321); // unknown ids are ignored
    EXPECT_FALSE(loop()->isScheduled(cancelledEarly));
    EXPECT_TRUE(loop()->isScheduled(victim));
    advance(3);
    EXPECT_EQ(ran, (decltype(ran){{"canceller", 2.0}}));
    EXPECT_EQ(loop()->pendingTaskCount(), 0u);
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

// Posts to the main run loop when destroyed, as an object a task captured may.
struct PostsWhenDestroyed {
    ~PostsWhenDestroyed() {
        NSRunLoop::mainRunLoop()->postFromAnyThread(
            [] { ADD_FAILURE() << "work queued during reset survived it"; });
    }
};

TEST_F(RunLoopTest, ResetDropsTasksWhoseDestructorsPostToTheLoop) {
    auto holder = std::make_shared<PostsWhenDestroyed>();
    loop()->postFromAnyThread([holder] {});
    loop()->scheduleAfter(1.0, [holder] {});
    holder.reset();
    loop()->reset();
    loop()->setClock(_clock);
    loop()->scheduleAfter(1.0, record("afterReset"));
    advance(1);
    EXPECT_EQ(ran, (decltype(ran){{"afterReset", 1.0}}));
}

} // namespace
