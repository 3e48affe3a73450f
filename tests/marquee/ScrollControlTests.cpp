#include "MarqueeTestSupport.h"
#include "UIKit/UITapGestureRecognizer.h"
#include "UIKit/UITouch.h"
#include "UIKit/UITouchesEvent.h"

namespace {

class ScrollControlTest : public MarqueeTest {
protected:
    // A finger down and up at `point` of the window, as the host delivers it.
    void tapWindowAt(CGPoint point) {
        auto touch = alloc<UITouch>()->init();
        touch->_locationInWindow = point;
        touch->_previousLocationInWindow = point;
        touch->_window = _window;
        _window->sendEvent(alloc<UITouchesEvent>()->initWithTouches(NSSet::setWithObject(touch), now()));
        advance(0.05);
        touch->setPhase(UITouchPhaseEnded);
        touch->_timestamp = now();
        _window->sendEvent(alloc<UITouchesEvent>()->initWithTouches(NSSet::setWithObject(touch), now()));
    }
};

TEST_F(ScrollControlTest, PauseFreezesAndUnpauseGoesOnFromThere) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setLengthOfScroll(5.0);
    label->setText(textOfWidth(300));
    _controller->view()->addSubview(label);
    advance(1.0 + 2.0); // two seconds into the five-second away leg
    const CGFloat frozenX = shownX(label->subLabel());
    EXPECT_NEAR(frozenX, 20 - 140 * 2.0 / 5.0, 1e-9);

    label->pauseLabel();
    label->pauseLabel(); // a second pause changes nothing
    EXPECT_TRUE(label->isPaused());
    advance(10);
    EXPECT_NEAR(shownX(label->subLabel()), frozenX, 1e-9);

    label->unpauseLabel();
    EXPECT_FALSE(label->isPaused());
    advance(3.0 - 1e-6);
    EXPECT_NEAR(shownX(label->subLabel()), -120, 1e-3);
    advance(2e-6); // the leg ended 3.0 s after the unpause; the home leg waits its delay
    EXPECT_NEAR(shownX(label->subLabel()), -120, 1e-9);
    advance(1.0 + 2.5 - 1e-6);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-6);
}

TEST_F(ScrollControlTest, PauseDuringTheDelayFreezesTheDelay) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    advance(0.4);
    label->pauseLabel();
    advance(30);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    label->unpauseLabel();
    advance(0.6 - 1e-6); // only the rest of the delay is waited
    EXPECT_NEAR(shownX(label->subLabel()), 20, 1e-3);
    advance(6.8 + 1e-6);
    EXPECT_NEAR(shownX(label->subLabel()), -160, 1e-6);
}

TEST_F(ScrollControlTest, UnpauseWithoutPauseDoesNothing) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.4);
    label->unpauseLabel();
    EXPECT_FALSE(label->isPaused());
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
    EXPECT_DOUBLE_EQ(label->subLabel()->layer()->beginTime(), 0);
    advance(1.4);
    EXPECT_NEAR(shownX(label->subLabel()), -120, 1e-9);
}

TEST_F(ScrollControlTest, RestartWhileHeldRunsOnePeriod) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    label->setHoldScrolling(YES);
    label->restartLabel();
    advance(2.4);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
    advance(5.2); // away and home done
    EXPECT_NEAR(shownX(label->subLabel()), 20, 1e-9);
    EXPECT_FALSE(label->awayFromHome());
    advance(10);
    EXPECT_NEAR(shownX(label->subLabel()), 20, 1e-9);
}

TEST_F(ScrollControlTest, RestartWithTapToScrollStaysAtRest) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.4);
    label->setTapToScroll(YES);
    label->restartLabel();
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    advance(20);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_FALSE(label->awayFromHome());
}

TEST_F(ScrollControlTest, TapRunsOnePeriodOfAContinuousLabelAtOnce) {
    auto label = makeLabel(MarqueeTypeContinuousLeft, CGRectMake(10, 100, 200, 20));
    label->setTapToScroll(YES);
    label->setText(textOfWidth(300));
    _controller->view()->addSubview(label);
    advance(5);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);

    tapWindowAt(CGPointMake(60, 110));
    advance(6.8); // half of the 13.6 s cycle after the tap: no delay
    EXPECT_NEAR(shownX(label->subLabel()), -160, 1e-6);
    advance(6.8 + 5);
    EXPECT_NEAR(shownX(label->subLabel()), -340, 1e-9); // one cycle, stopped away
    EXPECT_TRUE(label->awayFromHome());
}

TEST_F(ScrollControlTest, TapRunsOneBackAndForthAfterTheDelay) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setTapToScroll(YES);
    label->setText(textOfWidth(300));
    _controller->view()->addSubview(label);
    label->labelWasTapped(label->tapRecognizer());
    advance(0.9);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    advance(1.5);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
    advance(5.2);
    EXPECT_NEAR(shownX(label->subLabel()), 20, 1e-9);
    EXPECT_FALSE(label->awayFromHome());
    advance(20);
    EXPECT_NEAR(shownX(label->subLabel()), 20, 1e-9);
}

TEST_F(ScrollControlTest, TapOnFittingTextDoesNothing) {
    auto label = makeLabel(MarqueeTypeContinuousLeft);
    label->setTapToScroll(YES);
    label->setText(textOfWidth(100));
    _controller->view()->addSubview(label);
    label->labelWasTapped(nullptr);
    advance(20);
    EXPECT_FALSE(label->awayFromHome());
    EXPECT_FALSE(label->subLabel()->layer()->hasRunningAnimations());
}

TEST_F(ScrollControlTest, ReleasingAHeldContinuousLabelAwayStartsNothing) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    label->setHoldScrolling(YES);
    advance(15);
    ASSERT_TRUE(label->awayFromHome());
    label->setHoldScrolling(NO);
    advance(10);
    EXPECT_NEAR(shownX(label->subLabel()), -340, 1e-9);

    label->restartLabel();
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    advance(1.0 + 6.8);
    EXPECT_NEAR(shownX(label->subLabel()), -160, 1e-9);
}

TEST_F(ScrollControlTest, ReleasingAtHomeStartsAChain) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setHoldScrolling(YES);
    label->setText(textOfWidth(300));
    _controller->view()->addSubview(label);
    advance(5);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    label->setHoldScrolling(NO);
    advance(2.4);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
}

TEST_F(ScrollControlTest, LabelizeShowsStaticTextAndBackAgain) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    label->setTextAlignment(NSTextAlignmentCenter);
    advance(2.4);
    label->setLabelize(YES);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    ExpectRect(label->subLabel()->frame(), 20, 0, 160, 20);
    EXPECT_EQ(label->subLabel()->textAlignment(), NSTextAlignmentCenter);
    advance(10);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);

    label->setLabelize(NO);
    ExpectRect(label->homeLabelFrame(), 20, 0, 300, 20);
    advance(2.4);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
}

TEST_F(ScrollControlTest, ResetAndShutdownStopAtRest) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    advance(5);
    label->shutdownLabel();
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_DOUBLE_EQ(shownX(copyOf(label)), 360);
    EXPECT_FALSE(label->awayFromHome());
    advance(30);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);

    label->restartLabel();
    label->setText(textOfWidth(100)); // fits now: a static layout
    label->setText(textOfWidth(400));
    label->shutdownLabel();
    label->setHomeLabelFrame(CGRectMake(1, 2, 3, 4));
    label->resetLabel();
    ExpectRect(label->homeLabelFrame(), 20, 0, 420, 20); // recomputed from text and bounds
    advance(30);
    EXPECT_FALSE(label->awayFromHome());
}

TEST_F(ScrollControlTest, PausedLabelsStayFrozenAcrossRestarts) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    label->pauseLabel();
    label->restartLabel();
    advance(30);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    label->unpauseLabel();
    advance(2.4);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
}

} // namespace
