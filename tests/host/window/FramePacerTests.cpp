#include <gtest/gtest.h>

#include "window/FramePacer.h"

namespace {

using host::FramePacer;

constexpr Nanoseconds kMillisecond = 1'000'000;
constexpr Nanoseconds kPeriod = 16 * kMillisecond;

TEST(FramePacer, RefreshRatesTheDisplayMayReport) {
    EXPECT_EQ(FramePacer::periodForRefreshRate(60), 16'666'666);
    EXPECT_EQ(FramePacer::periodForRefreshRate(144), 6'944'444);
    // Unknown or implausible: 60 Hz.
    EXPECT_EQ(FramePacer::periodForRefreshRate(0), 16'666'666);
    EXPECT_EQ(FramePacer::periodForRefreshRate(-60), 16'666'666);
    EXPECT_EQ(FramePacer::periodForRefreshRate(5), 16'666'666);
    EXPECT_EQ(FramePacer::periodForRefreshRate(100000), 16'666'666);
    EXPECT_EQ(FramePacer(0).period(), 16'666'666);
}

TEST(FramePacer, AFrameFollowsThePreviousOneByAPeriod) {
    FramePacer pacer(kPeriod);
    const Nanoseconds start = 5'000 * kMillisecond;
    EXPECT_TRUE(pacer.isDue(start));
    pacer.frameDrawn(start);
    EXPECT_FALSE(pacer.isDue(start));
    EXPECT_FALSE(pacer.isDue(start + kPeriod - 1));
    EXPECT_EQ(pacer.nextFrameTime(start + kMillisecond), start + kPeriod);
    EXPECT_TRUE(pacer.isDue(start + kPeriod));
    EXPECT_EQ(pacer.framesDrawn(), 1u);
}

TEST(FramePacer, FramesKeepToTheRefreshGridWhileTheyKeepUp) {
    FramePacer pacer(kPeriod);
    pacer.frameDrawn(0);
    // A little late: the next is still due on the grid, not a period after this one.
    pacer.frameDrawn(kPeriod + 3 * kMillisecond);
    EXPECT_EQ(pacer.nextFrameTime(kPeriod + 4 * kMillisecond), 2 * kPeriod);
    pacer.frameDrawn(2 * kPeriod);
    EXPECT_EQ(pacer.nextFrameTime(2 * kPeriod), 3 * kPeriod);
    EXPECT_EQ(pacer.framesDrawn(), 3u);
}

TEST(FramePacer, AFrameAfterAPauseIsDueAtOnceAndStartsTheGridAfresh) {
    FramePacer pacer(kPeriod);
    pacer.frameDrawn(0);
    const Nanoseconds later = 2'000 * kMillisecond + 7;
    EXPECT_EQ(pacer.nextFrameTime(later), later);
    pacer.frameDrawn(later);
    // No burst of frames to catch up.
    EXPECT_EQ(pacer.nextFrameTime(later + 1), later + kPeriod);
}

} // namespace
