#include "MarqueeTestSupport.h"
#include "UIKit/UITouchInjector.h"

namespace {

using ScrollControlTest = MarqueeTest;

TEST_F(ScrollControlTest, PauseFreezesTheLegAndUnpauseGoesOnFromThere) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setLengthOfScroll(5.0); // legs of 5 s over 140 points
    label->setText(textOfWidth(300));
    _controller->view()->addSubview(label);
    expectTimeline(label, {{2.0, -8}});
    label->unpauseLabel(); // without a pause: nothing changes
    expectTimeline(label, {{1.0, -36}});
    label->pauseLabel();
    label->pauseLabel();
    EXPECT_TRUE(label->isPaused());
    expectTimeline(label, {{10, -36}});
    label->unpauseLabel();
    EXPECT_FALSE(label->isPaused());
    // The leg ends 3 s after the unpause; the home leg waits its delay.
    expectTimeline(label, {{3.0 - 1e-6, -120}, {1.0 + 2.5, -50}});
}

TEST_F(ScrollControlTest, PauseFreezesTheDelayAndARestart) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    advance(0.4);
    label->pauseLabel();
    expectTimeline(label, {{30, 20}});
    label->unpauseLabel();
    // Only the rest of the delay is waited.
    expectTimeline(label, {{0.6 - 1e-6, 20}, {6.8, -160}});

    label->pauseLabel();
    label->restartLabel();
    expectTimeline(label, {{0, 20}, {30, 20}});
    label->unpauseLabel();
    expectTimeline(label, {{1.0 + 6.8, -160}});
}

TEST_F(ScrollControlTest, RestartOrReleaseWhileHeldRunsOnePeriodThenRests) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    label->setHoldScrolling(YES);
    label->restartLabel();
    expectTimeline(label, {{2.4, -50}, {5.2, 20}, {10, 20}});
    EXPECT_FALSE(label->awayFromHome());
    label->setHoldScrolling(NO); // released at home: the chain starts again
    expectTimeline(label, {{2.4, -50}, {7.6, -50}});

    // Released away, a continuous label stays until it is restarted.
    auto continuous = showLabel(MarqueeTypeContinuousLeft);
    continuous->setHoldScrolling(YES);
    advance(15);
    continuous->setHoldScrolling(NO);
    expectTimeline(continuous, {{10, -340}});
    continuous->restartLabel();
    expectTimeline(continuous, {{0, 20}, {1.0 + 6.8, -160}});
}

TEST_F(ScrollControlTest, ATapRunsOnePeriodOnlyWhenTapToScroll) {
    const struct {
        NSUInteger type;
        std::initializer_list<Step> afterTap;
    } cases[]{
        // Continuous: no delay, one cycle, stopped away.
        {MarqueeTypeContinuousLeft, {{6.8, -160}, {6.8 + 5, -340}}},
        // Back and forth: after the delay, away and home, then at rest.
        {MarqueeTypeLeftAndBack, {{0.9, 20}, {1.5, -50}, {5.2, 20}, {20, 20}}},
    };
    auto touches = alloc<UITouchInjector>()->initWithWindow(_window);
    for (const auto& test : cases) {
        SCOPED_TRACE(test.type);
        auto label = makeLabel(test.type, CGRectMake(10, 100, 200, 20));
        label->setTapToScroll(YES);
        label->setText(textOfWidth(300));
        _controller->view()->addSubview(label);
        expectTimeline(label, {{5, 20}});
        touches->injectTouch(UITouchPhaseBegan, CGPointMake(60, 110), now());
        advance(0.05);
        touches->injectTouch(UITouchPhaseEnded, CGPointMake(60, 110), now());
        expectTimeline(label, test.afterTap);
        label->restartLabel();
        expectTimeline(label, {{0, 20}, {20, 20}});
        label->removeFromSuperview();
    }
}

TEST_F(ScrollControlTest, LabelizeShowsStaticTextAndBackAgain) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    label->setTextAlignment(NSTextAlignmentCenter);
    advance(5);
    label->setLabelize(YES);
    EXPECT_EQ(copyOf(label), nullptr);
    ExpectRect(label->subLabel()->frame(), CGRectMake(20, 0, 160, 20));
    EXPECT_EQ(label->subLabel()->textAlignment(), NSTextAlignmentCenter);
    expectTimeline(label, {{0, 20}, {10, 20}});
    EXPECT_FALSE(label->awayFromHome());

    label->setLabelize(NO);
    expectTimeline(label, {{1.0 + 6.8, -160, 190}});
}

TEST_F(ScrollControlTest, ShutdownStopsAtRest) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    advance(5);
    label->shutdownLabel();
    EXPECT_FALSE(label->awayFromHome());
    expectTimeline(label, {{0, 20, 360}, {30, 20, 360}});
}

} // namespace
