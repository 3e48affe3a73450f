#include "UIKit/UITouchInjector.h"
#include "marquee/MarqueeTestSupport.h"

namespace {

using ScrollControlTest = MarqueeTest;

TEST_F(ScrollControlTest, PauseFreezesTheLegAndUnpauseGoesOnFromThere) {
    auto label =
        showLabel(MarqueeTypeLeftAndBack, [](MarqueeLabel& l) { l.setLengthOfScroll(5); }); // 140 points
    expectTimeline(label, {{2.0, -8}});
    label->unpauseLabel(); // without a pause: nothing changes
    expectTimeline(label, {{1.0, -36}});
    label->pauseLabel();
    label->pauseLabel();
    expectTimeline(label, {{10, -36}});
    label->unpauseLabel();
    // The leg ends 3 s after the unpause; the home leg waits its delay.
    expectTimeline(label, {{3.0 - 1e-6, -120}, {1.0 + 2.5, -50}});
}

TEST_F(ScrollControlTest, UnpauseLeavesACopyMadeWhilePausedOnItsOwnClock) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    label->setText(NSStr("x"));
    label->pauseLabel();
    label->setText(textOfWidth(300));
    expectTimeline(label, {{7.8, 20, 200}});
    label->unpauseLabel();
    expectTimeline(label, {{14.6 - 1e-6, -340, 20}});
}

TEST_F(ScrollControlTest, HoldEndsThePeriodAndRestartOrReleaseRunsAgain) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    auto continuous = showLabel(MarqueeTypeContinuousLeft);
    advance(2);
    label->setHoldScrolling(YES);
    continuous->setHoldScrolling(YES);
    expectTimeline(label, {{5.6, 20}, {10, 20}});
    EXPECT_FALSE(label->awayFromHome());
    label->restartLabel(); // one period
    expectTimeline(label, {{2.4, -50}, {5.2, 20}, {10, 20}});
    label->setHoldScrolling(NO); // released at home: the chain starts again
    expectTimeline(label, {{2.4, -50}, {7.6, -50}});

    EXPECT_TRUE(continuous->awayFromHome());
    expectTimeline(continuous, {{0, -340, 20}});
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
        auto label = showLabel(test.type, [](MarqueeLabel& l) { l.setTapToScroll(YES); });
        expectTimeline(label, {{5, 20, copyOf(label) ? 380 : NAN}});
        touches->injectTouch(UITouchPhaseBegan, CGPointMake(60, 10), now());
        advance(0.05);
        touches->injectTouch(UITouchPhaseEnded, CGPointMake(60, 10), now());
        expectTimeline(label, test.afterTap);
        label->restartLabel();
        expectTimeline(label, {{0, 20}, {20, 20}});
        label->removeFromSuperview();
    }
}

TEST_F(ScrollControlTest, LabelizeShowsStaticTextAndBackAgainNoTextOrShutdownStops) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    label->setTextAlignment(NSTextAlignmentCenter);
    advance(5);
    label->setLabelize(YES);
    EXPECT_EQ(copyOf(label), nullptr);
    EXPECT_TRUE(CGRectEqualToRect(label->subLabel()->frame(), CGRectMake(20, 0, 160, 20)));
    EXPECT_EQ(label->subLabel()->textAlignment(), NSTextAlignmentCenter);
    expectTimeline(label, {{0, 20}, {10, 20}});
    label->setLabelize(NO);
    expectTimeline(label, {{1.0 + 6.8, -160, 200}});
    label->setText(nullptr); // no text: nothing moves, no copy shows the old title
    expectTimeline(label, {{0, 20}, {30, 20}});
    EXPECT_EQ(copyOf(label), nullptr);
    label->setText(textOfWidth(300));
    label->shutdownLabel();
    EXPECT_FALSE(label->awayFromHome());
    expectTimeline(label, {{0, 20, 380}, {30, 20, 380}});
}

} // namespace
