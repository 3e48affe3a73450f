#include <malloc.h>

#include <cmath>

#include "MarqueeTestSupport.h"

namespace {

using ScrollEngineTest = MarqueeTest;

TEST_F(ScrollEngineTest, LeftAndBackGoesAwayAndHomeWithDelays) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    ExpectRect(label->homeLabelFrame(), 20, 0, 300, 20);
    ExpectRect(label->awayLabelFrame(), -120, 0, 300, 20);
    EXPECT_DOUBLE_EQ(label->animationDuration(), 2.8);
    EXPECT_DOUBLE_EQ(label->durationForInterval(label->animationDuration()), 2.8);
    EXPECT_EQ(label->subLabel()->textAlignment(), NSTextAlignmentLeft);
    EXPECT_EQ(copyOf(label), nullptr);

    // Wait 1.0, away over 2.8, wait 1.0, home over 2.8: one period is 7.6 s.
    advance(0.9);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_TRUE(label->awayFromHome());
    advance(1.5); // 2.4: halfway away
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
    advance(1.4); // 3.8: away
    EXPECT_NEAR(shownX(label->subLabel()), -120, 1e-9);
    advance(0.9); // 4.7: still waiting away
    EXPECT_NEAR(shownX(label->subLabel()), -120, 1e-9);
    advance(1.5); // 6.2: halfway home
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
    advance(1.4); // 7.6: home, the next period begins
    EXPECT_NEAR(shownX(label->subLabel()), 20, 1e-9);
    advance(2.4); // 10.0: halfway away again
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
}

TEST_F(ScrollEngineTest, RightAndBackRestsRightAligned) {
    auto label = showLabel(MarqueeTypeRightAndBack);
    ExpectRect(label->homeLabelFrame(), -120, 0, 300, 20);
    ExpectRect(label->awayLabelFrame(), 20, 0, 300, 20);
    EXPECT_DOUBLE_EQ(label->animationDuration(), 2.8);
    EXPECT_EQ(label->subLabel()->textAlignment(), NSTextAlignmentRight);
    advance(2.4);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
    advance(1.4);
    EXPECT_NEAR(shownX(label->subLabel()), 20, 1e-9);
}

TEST_F(ScrollEngineTest, ContinuousLeftLoopsTheTextAndItsCopy) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    auto copy = copyOf(label);
    ASSERT_NE(copy, nullptr);
    ExpectRect(label->homeLabelFrame(), 20, 0, 300, 20);
    ExpectRect(label->awayLabelFrame(), -340, 0, 300, 20);
    ExpectRect(copy->presentationFrame(), 360, 0, 300, 20);
    EXPECT_DOUBLE_EQ(label->animationDuration(), 6.8);
    EXPECT_DOUBLE_EQ(label->durationForInterval(label->animationDuration()), 13.6);
    EXPECT_EQ(as<UILabel>(copy)->text()->UTF8String(), label->text()->UTF8String());
    EXPECT_EQ(as<UILabel>(copy)->textAlignment(), NSTextAlignmentLeft);

    // Each cycle rests 1.0 s, then moves for 13.6 s.
    advance(0.5);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_DOUBLE_EQ(shownX(copy), 360);
    advance(7.3); // halfway through the movement
    EXPECT_NEAR(shownX(label->subLabel()), -160, 1e-9);
    EXPECT_NEAR(shownX(copy), 190, 1e-9);
    advance(6.8 - 1e-6); // just before the end of the cycle
    EXPECT_NEAR(shownX(label->subLabel()), -340, 1e-3);
    EXPECT_NEAR(shownX(copy), 20, 1e-3);
    advance(2e-6); // the next cycle rests at home
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_DOUBLE_EQ(shownX(copy), 360);
    EXPECT_TRUE(label->awayFromHome());
    advance(1.0 + 6.8 - 1e-6);
    EXPECT_NEAR(shownX(label->subLabel()), -160, 1e-9);
}

TEST_F(ScrollEngineTest, ContinuousRightMovesOneUndoubledInterval) {
    auto label = showLabel(MarqueeTypeContinuousRight);
    auto copy = copyOf(label);
    ASSERT_NE(copy, nullptr);
    ExpectRect(label->homeLabelFrame(), -120, 0, 300, 20);
    ExpectRect(label->awayLabelFrame(), 240, 0, 300, 20);
    ExpectRect(copy->presentationFrame(), -460, 0, 300, 20);
    EXPECT_DOUBLE_EQ(label->animationDuration(), 4.8);
    EXPECT_DOUBLE_EQ(label->durationForInterval(label->animationDuration()), 4.8);

    advance(1.0 + 2.4);
    EXPECT_NEAR(shownX(label->subLabel()), 60, 1e-9);
    EXPECT_NEAR(shownX(copy), -290, 1e-9);
    advance(2.4 - 1e-6);
    EXPECT_NEAR(shownX(label->subLabel()), 240, 1e-3);
    EXPECT_NEAR(shownX(copy), -120, 1e-3);
}

TEST_F(ScrollEngineTest, LabelizedTextIsStaticAndLosesItsCopy) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    ASSERT_NE(copyOf(label), nullptr);
    label->setLabelize(YES);
    ExpectRect(label->homeLabelFrame(), 20, 0, 160, 20);
    ExpectRect(label->awayLabelFrame(), 20, 0, 160, 20);
    EXPECT_EQ(copyOf(label), nullptr);
    advance(30);
    ExpectRect(label->subLabel()->presentationFrame(), 20, 0, 160, 20);
    EXPECT_FALSE(label->awayFromHome());
}

TEST_F(ScrollEngineTest, LengthOfScrollSetsTheDurationForEveryType) {
    for (NSUInteger type : {0u, 1u, 2u, 3u}) {
        auto label = showLabel(type);
        label->setLengthOfScroll(7.0);
        EXPECT_DOUBLE_EQ(label->animationDuration(), 7.0) << "type " << type;
        EXPECT_DOUBLE_EQ(label->durationForInterval(7.0), type == 2 ? 14.0 : 7.0) << "type " << type;
        label->removeFromSuperview();
    }
}

TEST_F(ScrollEngineTest, FittingTextIsStaticWithTheLabelsOwnAlignment) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setTextAlignment(NSTextAlignmentCenter);
    label->setLineBreakMode(NSLineBreakByTruncatingMiddle);
    label->setText(textOfWidth(100));
    _controller->view()->addSubview(label);
    EXPECT_EQ(label->subLabel()->textAlignment(), NSTextAlignmentCenter);
    EXPECT_EQ(label->subLabel()->lineBreakMode(), NSLineBreakByTruncatingMiddle);
    ExpectRect(label->subLabel()->frame(), 20, 0, 160, 20);
    advance(5);
    EXPECT_FALSE(label->awayFromHome());
    EXPECT_FALSE(label->subLabel()->layer()->hasRunningAnimations());
}

TEST_F(ScrollEngineTest, NilTextLeavesEverythingAndEmptyTextIsStatic) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.4);
    label->setText(nullptr);
    // The nil text lays nothing out: the leg in flight goes on.
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
    ExpectRect(label->homeLabelFrame(), 20, 0, 300, 20);

    label->setText(NSStr(""));
    ExpectRect(label->homeLabelFrame(), 20, 0, 160, 20);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_FALSE(label->awayFromHome());
}

TEST_F(ScrollEngineTest, BeginWithoutDelayOnlySkipsTheContinuousDelay) {
    auto leftAndBack = makeLabel(MarqueeTypeLeftAndBack);
    leftAndBack->setTapToScroll(YES);
    leftAndBack->setText(textOfWidth(300));
    _controller->view()->addSubview(leftAndBack);
    auto continuous = makeLabel(MarqueeTypeContinuousLeft);
    continuous->setTapToScroll(YES);
    continuous->setText(textOfWidth(300));
    _controller->view()->addSubview(continuous);

    leftAndBack->beginScrollWithDelay(NO);
    continuous->beginScrollWithDelay(NO);
    advance(0.5);
    EXPECT_DOUBLE_EQ(shownX(leftAndBack->subLabel()), 20);
    EXPECT_NEAR(shownX(continuous->subLabel()), 20 - 360 * 0.5 / 13.6, 1e-9);
}

TEST_F(ScrollEngineTest, UnknownTypeBehavesAsLeftAndBack) {
    auto label = showLabel(7);
    ExpectRect(label->homeLabelFrame(), 20, 0, 300, 20);
    ExpectRect(label->awayLabelFrame(), -120, 0, 300, 20);
    EXPECT_DOUBLE_EQ(label->animationDuration(), 2.8);
    EXPECT_EQ(copyOf(label), nullptr);
    advance(2.4);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
}

TEST_F(ScrollEngineTest, HoldDuringAwayLegStillComesHome) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.0);
    label->setHoldScrolling(YES);
    advance(5.6); // the away leg and the home leg end
    EXPECT_NEAR(shownX(label->subLabel()), 20, 1e-9);
    EXPECT_FALSE(label->awayFromHome());
    advance(10);
    EXPECT_NEAR(shownX(label->subLabel()), 20, 1e-9);
}

TEST_F(ScrollEngineTest, HoldDuringContinuousCycleStopsAway) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    advance(5);
    label->setHoldScrolling(YES);
    advance(9.6 + 5);
    EXPECT_NEAR(shownX(label->subLabel()), -340, 1e-9);
    EXPECT_NEAR(shownX(copyOf(label)), 20, 1e-9);
    EXPECT_TRUE(label->awayFromHome());
}

TEST_F(ScrollEngineTest, LayoutInFlightJumpsHomeAndStartsAFreshChain) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.4);
    label->setText(textOfWidth(400)); // a layout while the away leg runs
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    advance(0.9); // the fresh delay
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    advance(0.1 + 2.4); // away is now -220 over 4.8 s: halfway is -100
    EXPECT_NEAR(shownX(label->subLabel()), -100, 1e-9);
}

TEST_F(ScrollEngineTest, LabelOutsideAWindowNeverMoves) {
    auto offscreen = alloc<UIViewController>()->init();
    auto label = makeLabel(MarqueeTypeContinuousLeft);
    label->setText(textOfWidth(300));
    offscreen->view()->addSubview(label);
    ASSERT_EQ(offscreen->view()->window(), nullptr);
    label->restartLabel();
    advance(60);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_FALSE(label->awayFromHome());
    EXPECT_FALSE(label->subLabel()->layer()->hasRunningAnimations());

    // A label in no controller's hierarchy does not move either.
    auto loose = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 40));
    auto orphan = makeLabel(MarqueeTypeLeftAndBack);
    orphan->setText(textOfWidth(300));
    loose->addSubview(orphan);
    advance(60);
    EXPECT_DOUBLE_EQ(shownX(orphan->subLabel()), 20);
    EXPECT_FALSE(orphan->awayFromHome());
}

TEST_F(ScrollEngineTest, ChainsThatWouldTakeNoTimeDoNotStart) {
    auto zero = makeLabel(MarqueeTypeContinuousLeft);
    zero->setAnimationDelay(0);
    zero->setLengthOfScroll(1); // sets rate to 0
    zero->setText(textOfWidth(300));
    _controller->view()->addSubview(zero);
    zero->setLengthOfScroll(0); // a zero-time cycle with no delay would spin forever

    auto negative = makeLabel(MarqueeTypeLeftAndBack);
    negative->setRate(-50);
    negative->setText(textOfWidth(300));
    _controller->view()->addSubview(negative);
    negative->setAnimationDelay(-1);
    negative->restartLabel();

    auto notANumber = makeLabel(MarqueeTypeContinuousRight);
    notANumber->setText(textOfWidth(300));
    notANumber->setAnimationDelay(std::nan(""));
    _controller->view()->addSubview(notANumber);

    advance(10); // returns: nothing is rescheduled at the same instant for ever
    for (const auto& label : {zero, negative, notANumber}) {
        EXPECT_FALSE(label->subLabel()->layer()->hasRunningAnimations());
        EXPECT_FALSE(label->awayFromHome());
        EXPECT_DOUBLE_EQ(shownX(label->subLabel()), label->homeLabelFrame().origin.x);
    }
    EXPECT_EQ(NSRunLoop::mainRunLoop()->pendingTaskCount(), 0u);
}

// A day of the widget's title line: each cycle starts exactly one period (1.0 s
// rest + 13.6 s movement) after the last, and nothing accumulates.
TEST_F(ScrollEngineTest, ContinuousScrollRunsForADayWithFlatMemory) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    const double start = now();
    const double period = 1.0 + 13.6;
    const double day = 24 * 60 * 60;
    auto* runLoop = NSRunLoop::mainRunLoop();
    auto* center = NSNotificationCenter::defaultCenter();

    std::size_t baselineBytes = 0;
    std::size_t baselineTasks = 0;
    std::size_t baselineRegistrations = 0;
    long cycles = 0;
    for (long cycle = 0; start + (cycle + 1) * period <= start + day; ++cycle) {
        const double cycleStart = start + cycle * period;
        // Still resting at home just before the movement, halfway at the middle.
        runLoop->advanceTo(NanosecondsFromSeconds(cycleStart + 1.0 - 1e-6));
        ASSERT_DOUBLE_EQ(shownX(label->subLabel()), 20) << "cycle " << cycle;
        runLoop->advanceTo(NanosecondsFromSeconds(cycleStart + 1.0 + 6.8));
        ASSERT_NEAR(shownX(label->subLabel()), -160, 1e-6) << "cycle " << cycle;
        ASSERT_NEAR(shownX(copyOf(label)), 190, 1e-6) << "cycle " << cycle;
        if (cycle == 100) {
            baselineBytes = mallinfo2().uordblks;
            baselineTasks = runLoop->pendingTaskCount();
            baselineRegistrations = center->registrationCount();
        }
        ++cycles;
    }
    EXPECT_EQ(cycles, static_cast<long>(day / period));
    EXPECT_EQ(label->subviews().size(), 2u);
    EXPECT_EQ(runLoop->pendingTaskCount(), baselineTasks);
    EXPECT_EQ(center->registrationCount(), baselineRegistrations);
    EXPECT_LE(label->subLabel()->layer()->animationKeys().size(), 1u);
    // Heap in use after a day against after a hundred cycles: allow allocator noise only.
    const std::size_t finalBytes = mallinfo2().uordblks;
    EXPECT_LT(finalBytes, baselineBytes + 64 * 1024);
}

} // namespace
