#include <gtest/gtest.h>

#include "InputTestSupport.h"
#include "UIKit/UIInputConstants.h"
#include "UIKit/UILongPressGestureRecognizer.h"
#include "UIKit/UITapGestureRecognizer.h"

namespace {

// Records each action with the run loop's time.
class GestureLog : public NSObject {
public:
    void singleTap() { record("single"); }
    void doubleTap() { record("double"); }
    void longPress(const Ptr<UILongPressGestureRecognizer>& recognizer) {
        record("long" + std::to_string(recognizer->state()));
    }
    void record(const std::string& name) { events.emplace_back(name, NSRunLoop::mainRunLoop()->now()); }
    std::vector<std::string> names() const {
        std::vector<std::string> list;
        for (const auto& event : events) {
            list.push_back(event.first);
        }
        return list;
    }
    std::vector<std::pair<std::string, double>> events;
};

using Names = std::vector<std::string>;

// The artwork's set-up: double tap, single tap waiting for the double tap to fail,
// and a long press with the defaults.
class GestureTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        artwork = makeView<RecordingView>(CGRectMake(10, 10, 85, 85));
        window->addSubview(artwork);
        log = makeObject<GestureLog>();

        doubleTap = alloc<UITapGestureRecognizer>()->initWithTarget(log, &GestureLog::doubleTap);
        doubleTap->setNumberOfTapsRequired(2);
        artwork->addGestureRecognizer(doubleTap);
        singleTap = alloc<UITapGestureRecognizer>()->initWithTarget(log, &GestureLog::singleTap);
        artwork->addGestureRecognizer(singleTap);
        longPress = alloc<UILongPressGestureRecognizer>()->init();
        longPress->addTarget(log, &GestureLog::longPress);
        artwork->addGestureRecognizer(longPress);
        singleTap->requireGestureRecognizerToFail(doubleTap);
    }

    Ptr<RecordingView> artwork;
    Ptr<GestureLog> log;
    Ptr<UITapGestureRecognizer> doubleTap;
    Ptr<UITapGestureRecognizer> singleTap;
    Ptr<UILongPressGestureRecognizer> longPress;
};

TEST_F(GestureTest, SingleTapFiresExactlyWhenTheDoubleTapIntervalRunsOut) {
    tap(50, 50);
    const double released = now();
    advance(kUITapMaximumInterval - 0.01);
    EXPECT_TRUE(log->events.empty());
    advance(1);
    ASSERT_EQ(log->names(), Names{"single"});
    EXPECT_DOUBLE_EQ(log->events[0].second, released + kUITapMaximumInterval);
    EXPECT_EQ(singleTap->state(), UIGestureRecognizerStatePossible);
}

TEST_F(GestureTest, DoubleTapFiresOnceAndNeverTheSingleTap) {
    tap(50, 50);
    advance(0.2);
    tap(52, 49);
    advance(2);
    EXPECT_EQ(log->names(), Names{"double"});

    // The recognizers are ready again for the next gesture.
    tap(50, 50);
    advance(1);
    EXPECT_EQ(log->names(), (Names{"double", "single"}));
}

TEST_F(GestureTest, SecondTapTooLateOrTooFarMakesTwoSingleTaps) {
    tap(50, 50);
    advance(kUITapMaximumInterval + 0.05);
    tap(50, 50);
    advance(1);
    EXPECT_EQ(log->names(), (Names{"single", "single"}));

    log->events.clear();
    tap(20, 20);
    advance(0.1);
    tap(20 + kUITapAllowableMovement + 5, 20); // quick, but too far from the first
    advance(1);
    EXPECT_EQ(log->names(), (Names{"single", "single"}));
}

TEST_F(GestureTest, LongPressBeginsOnceThenChangesAndEnds) {
    down(50, 50);
    advance(kUILongPressMinimumDuration - 0.01);
    EXPECT_TRUE(log->events.empty());
    advance(0.01);
    ASSERT_EQ(log->names(), Names{"long1"});
    EXPECT_DOUBLE_EQ(log->events[0].second, kUILongPressMinimumDuration);
    advance(0.5);
    move(80, 60); // far moves are fine once the press has begun
    move(90, 60);
    up(90, 60);
    advance(1);
    EXPECT_EQ(log->names(), (Names{"long1", "long2", "long2", "long3"}));
}

TEST_F(GestureTest, LongPressHeldOneSecondFiresOnlyTheLongPress) {
    down(50, 50);
    advance(1);
    up(50, 50);
    advance(2);
    EXPECT_EQ(log->names(), (Names{"long1", "long3"}));
    // The view saw the touch begin, then lost it to the recognizer.
    EXPECT_EQ(artwork->calls, (Names{"began", "cancelled"}));
}

TEST_F(GestureTest, MovingBeforeTheDelayFailsTheLongPressAndTheTaps) {
    down(50, 50);
    advance(0.2);
    move(50 + kUILongPressAllowableMovement + 1, 50);
    advance(1);
    up(61, 50);
    advance(1);
    EXPECT_TRUE(log->events.empty());
    EXPECT_EQ(artwork->calls, (Names{"began", "moved", "ended"}));
}

TEST_F(GestureTest, TapHeldLongerThanTheMaximumIsNoTap) {
    longPress->setEnabled(false);
    tap(50, 50, kUITapMaximumDuration + 0.05);
    advance(1);
    EXPECT_TRUE(log->events.empty());
}

TEST_F(GestureTest, RecognizedTapCancelsTheTouchForTheView) {
    // Without the double tap to wait for, the single tap is recognized on release,
    // before the view gets the release: the view is told of a cancel instead.
    artwork->removeGestureRecognizer(doubleTap);
    tap(50, 50);
    EXPECT_EQ(log->names(), Names{"single"});
    EXPECT_EQ(artwork->calls, (Names{"began", "cancelled"}));

    artwork->calls.clear();
    singleTap->setCancelsTouchesInView(false);
    tap(50, 50);
    EXPECT_EQ(log->names(), (Names{"single", "single"}));
    EXPECT_EQ(artwork->calls, (Names{"began", "ended"}));
}

TEST_F(GestureTest, RecognizersOfAncestorsSeeTouchesOfDescendants) {
    auto inner = makeView<RecordingView>(CGRectMake(20, 20, 30, 30));
    artwork->addSubview(inner);
    tap(40, 40); // inside `inner`, which lies at (30, 30) in the window
    advance(1);
    EXPECT_EQ(log->names(), Names{"single"});
    // The tap was recognized after the release had reached the view.
    EXPECT_EQ(inner->calls, (Names{"began", "ended"}));
    EXPECT_TRUE(artwork->calls.empty());
}

TEST_F(GestureTest, NearestLongPressWinsOverAnAncestorsOne) {
    auto outerLog = makeObject<GestureLog>();
    auto outerPress = alloc<UILongPressGestureRecognizer>()->initWithTarget(outerLog, &GestureLog::longPress);
    window->addGestureRecognizer(outerPress);
    down(50, 50);
    advance(1);
    up(50, 50);
    EXPECT_EQ(log->names(), (Names{"long1", "long3"}));
    EXPECT_TRUE(outerLog->events.empty());
}

TEST_F(GestureTest, DisablingOrRemovingMidGestureStopsIt) {
    down(50, 50);
    advance(0.6);
    longPress->setEnabled(false);
    EXPECT_EQ(log->names(), (Names{"long1", "long4"}));
    up(50, 50);
    advance(1);
    EXPECT_EQ(log->names(), (Names{"long1", "long4"}));

    longPress->setEnabled(true);
    down(50, 50);
    advance(0.2);
    artwork->removeGestureRecognizer(longPress);
    EXPECT_EQ(longPress->view(), nullptr);
    advance(1);
    up(50, 50);
    EXPECT_EQ(log->names(), (Names{"long1", "long4"}));
}

TEST_F(GestureTest, ActionsOfATargetThatWentAwayAreNotSent) {
    log.reset();
    tap(50, 50);
    advance(1);
    EXPECT_EQ(singleTap->state(), UIGestureRecognizerStatePossible);
}

TEST_F(GestureTest, TouchesOverNoViewReachNothing) {
    for (const CGPoint point : {CGPoint{-40, -40}, CGPoint{400, 50}}) {
        auto touch = down(point.x, point.y);
        ASSERT_TRUE(touch);
        EXPECT_EQ(touch->view(), nullptr);
        move(50, 50); // into the artwork: the touch stays with no view
        advance(1);
        up(50, 50);
        advance(1);
    }
    // Lost and unmatched pointer changes are ignored.
    EXPECT_EQ(move(1, 1), nullptr);
    EXPECT_EQ(up(1, 1), nullptr);
    EXPECT_TRUE(log->events.empty());
    EXPECT_TRUE(artwork->calls.empty());
}

TEST_F(GestureTest, UnhandledTouchesGoUpTheResponderChain) {
    auto plain = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 10, 10));
    artwork->addSubview(plain);
    artwork->removeGestureRecognizer(singleTap);
    artwork->removeGestureRecognizer(doubleTap);
    artwork->removeGestureRecognizer(longPress);
    tap(15, 15);
    EXPECT_EQ(artwork->calls, (Names{"began", "ended"}));
}

} // namespace
