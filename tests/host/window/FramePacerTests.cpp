#include <gtest/gtest.h>

#include "window/FramePacer.h"

namespace {

using host::FramePacer;

constexpr Nanoseconds kMillisecond = 1'000'000;
constexpr Nanoseconds kPeriod = 16 * kMillisecond;

TEST(FramePacer, ARateTheDisplayDoesNotReportOrThatIsImplausibleCountsAs60Hz) {
    EXPECT_EQ(FramePacer::periodForRefreshRate(144), 1'000'000'000 / 144);
    for (const int hertz : {60, 0, -60, 5, 100000}) {
        EXPECT_EQ(FramePacer::periodForRefreshRate(hertz), 1'000'000'000 / 60) << hertz;
    }
    EXPECT_EQ(FramePacer(0).period(), 1'000'000'000 / 60);
}

TEST(FramePacer, FramesFollowAPeriodApartOnTheGridAndAfterAPauseStartItAfresh) {
    FramePacer pacer(kPeriod);
    const Nanoseconds start = 5'000 * kMillisecond;
    EXPECT_TRUE(pacer.isDue(start));
    pacer.frameDrawn(start);
    EXPECT_FALSE(pacer.isDue(start));
    EXPECT_FALSE(pacer.isDue(start + kPeriod - 1));
    EXPECT_EQ(pacer.nextFrameTime(start + kMillisecond), start + kPeriod);
    EXPECT_TRUE(pacer.isDue(start + kPeriod));
    // A little late: the next is still due on the grid, not a period after this one.
    pacer.frameDrawn(start + kPeriod + 3 * kMillisecond);
    EXPECT_EQ(pacer.nextFrameTime(start + kPeriod + 4 * kMillisecond), start + 2 * kPeriod);
    // After a pause a frame is due at once, and no burst follows it to catch up.
    const Nanoseconds later = start + 2'000 * kMillisecond + 7;
    EXPECT_EQ(pacer.nextFrameTime(later), later);
    pacer.frameDrawn(later);
    EXPECT_EQ(pacer.nextFrameTime(later + 1), later + kPeriod);
    // A pass that presented nothing keeps the pace but is no frame.
    pacer.frameDrawn(later + kPeriod, false);
    EXPECT_EQ(pacer.nextFrameTime(later + kPeriod + 1), later + 2 * kPeriod);
    EXPECT_EQ(pacer.framesDrawn(), 3u);
}

} // namespace
