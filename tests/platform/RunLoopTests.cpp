#include <gtest/gtest.h>

#include "Foundation/NSRunLoop.h"
#include "Foundation/NSTimer.h"
#include "TestSupport.h"

namespace {

class RunLoopTest : public PlatformTest {};

TEST_F(RunLoopTest, TasksRunInDueOrderWithClockAtDueTime) {
    std::vector<std::pair<int, double>> ran;
    auto* loop = NSRunLoop::mainRunLoop();
    loop->scheduleAfter(2.0, [&] { ran.emplace_back(2, loop->now()); });
    loop->scheduleAfter(1.0, [&] { ran.emplace_back(1, loop->now()); });
    loop->scheduleAfter(1.0, [&] { ran.emplace_back(3, loop->now()); });
    advance(5);
    ASSERT_EQ(ran.size(), 3u);
    EXPECT_EQ(ran[0], std::make_pair(1, 1.0));
    EXPECT_EQ(ran[1], std::make_pair(3, 1.0));
    EXPECT_EQ(ran[2], std::make_pair(2, 2.0));
    EXPECT_DOUBLE_EQ(loop->now(), 5.0);
}

TEST_F(RunLoopTest, WorkQueuedAtCurrentInstantRunsInNextPass) {
    auto* loop = NSRunLoop::mainRunLoop();
    std::vector<int> order;
    loop->performSoon([&] {
        order.push_back(1);
        loop->performSoon([&] { order.push_back(3); });
    });
    loop->performSoon([&] { order.push_back(2); });
    EXPECT_EQ(loop->runPass(), 2u);
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
    EXPECT_EQ(loop->runPass(), 1u);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

} // namespace
