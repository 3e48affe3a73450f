#include <gtest/gtest.h>

#include "QuartzCore/CAAnimation.h"
#include "QuartzTestSupport.h"

namespace {

class LayerTimingTest : public QuartzTest {
protected:
    void SetUp() override {
        QuartzTest::SetUp();
        root = makeView(CGRectMake(0, 0, 320, 105));
        label = makeView(CGRectMake(110, 10, 200, 20));
        sublabel = makeView(CGRectMake(20, 0, 300, 20));
        root->addSubview(label);
        label->addSubview(sublabel);
    }

    // A 5 s linear move of the sublabel 500 points to the left, after `delay`.
    void startMove(double delay) {
        UIView::animateWithDuration(
            5.0, delay, UIViewAnimationOptionCurveLinear,
            [&] { sublabel->setFrame(CGRectMake(-480, 0, 300, 20)); }, log.recorder());
    }
    double shownX() const { return sublabel->presentationFrame().origin.x; }

    Ptr<UIView> root;
    Ptr<UIView> label;
    Ptr<UIView> sublabel;
    CompletionLog log;
};

TEST_F(LayerTimingTest, LocalTimeComposesThroughTheTree) {
    auto parent = CALayer::layer();
    auto child = CALayer::layer();
    parent->addSublayer(child);
    advanceTo(10);
    parent->setBeginTime(2);
    parent->setSpeed(2);
    parent->setTimeOffset(1);
    child->setBeginTime(3);
    child->setSpeed(0.5);
    child->setTimeOffset(-1);
    const double parentTime = (10 - 2) * 2 + 1;
    const double childTime = (parentTime - 3) * 0.5 - 1;
    EXPECT_DOUBLE_EQ(parent->convertTime(CACurrentMediaTime(), nullptr), parentTime);
    EXPECT_DOUBLE_EQ(child->localTime(), childTime);
    // Between layers: through the global time.
    EXPECT_DOUBLE_EQ(child->convertTime(parentTime, parent.get()), childTime);
    EXPECT_DOUBLE_EQ(parent->convertTime(childTime, child.get()), parentTime);
    // A standalone layer's parent time is the global media time.
    EXPECT_DOUBLE_EQ(CALayer::layer()->convertTime(4.5, nullptr), 4.5);
    child->removeFromSuperlayer();
    EXPECT_DOUBLE_EQ(child->localTime(), (10 - 3) * 0.5 - 1);
}

TEST_F(LayerTimingTest, PausedTwoSecondsIntoFiveEndsThreeSecondsAfterResume) {
    startMove(0);
    advanceTo(2.0);
    freezeLayer(*sublabel->layer());
    const double frozenX = shownX();
    EXPECT_NEAR(frozenX, -180, 1e-9);
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    EXPECT_EQ(NSRunLoop::mainRunLoop()->pendingTaskCount(), 0u);
    advanceTo(12.0);
    EXPECT_EQ(shownX(), frozenX);
    EXPECT_EQ(log.count(), 0u);
    thawLayer(*sublabel->layer());
    EXPECT_NEAR(shownX(), frozenX, 1e-9);
    EXPECT_DOUBLE_EQ(sublabel->layer()->localTime(), 2.0);
    EXPECT_TRUE(root->layer()->hasRunningAnimations());
    advanceTo(13.5);
    EXPECT_NEAR(shownX(), -330, 1e-9);
    advanceTo(14.999);
    EXPECT_EQ(log.count(), 0u);
    advanceTo(15.0);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_TRUE(log.entries[0].finished);
    EXPECT_DOUBLE_EQ(log.entries[0].time, 15.0);
    EXPECT_EQ(shownX(), -480);
}

TEST_F(LayerTimingTest, PausedDuringTheDelayWaitsOnlyTheRestOfIt) {
    startMove(1.0);
    advanceTo(0.4);
    freezeLayer(*sublabel->layer());
    advanceTo(10.4);
    thawLayer(*sublabel->layer());
    advanceTo(10.99);
    EXPECT_EQ(shownX(), 20);
    advanceTo(11.0);
    EXPECT_EQ(shownX(), 20);
    advanceTo(13.5);
    EXPECT_NEAR(shownX(), -230, 1e-9);
    advanceTo(16.0);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_DOUBLE_EQ(log.entries[0].time, 16.0);
}

TEST_F(LayerTimingTest, FreezingAnAncestorFreezesItsSublayers) {
    startMove(0);
    advanceTo(1.0);
    freezeLayer(*label->layer());
    advanceTo(30);
    EXPECT_NEAR(shownX(), -80, 1e-9);
    EXPECT_EQ(log.count(), 0u);
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    thawLayer(*label->layer());
    advanceTo(33);
    EXPECT_NEAR(shownX(), -380, 1e-9);
    advanceTo(34);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_DOUBLE_EQ(log.entries[0].time, 34.0);
}

TEST_F(LayerTimingTest, RemovalOnAFrozenLayerReportsNoAtTheCurrentInstant) {
    startMove(1.0);
    advanceTo(0.5);
    freezeLayer(*sublabel->layer());
    advanceTo(3.0);
    sublabel->layer()->removeAllAnimations();
    EXPECT_EQ(shownX(), -480);
    advance(0.0001);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_FALSE(log.entries[0].finished);
    EXPECT_DOUBLE_EQ(log.entries[0].time, 3.0);
    // A new animation on the frozen layer stays frozen until the clock runs again.
    CompletionLog next;
    UIView::animateWithDuration(
        1.0, 0, UIViewAnimationOptionCurveLinear, [&] { sublabel->setFrame(CGRectMake(0, 0, 300, 20)); },
        next.recorder());
    advanceTo(10);
    EXPECT_EQ(shownX(), -480);
    EXPECT_EQ(next.count(), 0u);
    thawLayer(*sublabel->layer());
    advanceTo(11);
    EXPECT_EQ(next.count(), 1u);
    EXPECT_EQ(shownX(), 0);
}

TEST_F(LayerTimingTest, SpeedChangeMovesTheCompletion) {
    startMove(0);
    advanceTo(1.0);
    // Local time becomes 2 x the global time: 2.0 now, 5.0 at 2.5.
    sublabel->layer()->setSpeed(2);
    EXPECT_NEAR(shownX(), -180, 1e-9);
    advanceTo(2.5);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_DOUBLE_EQ(log.entries[0].time, 2.5);
}

TEST_F(LayerTimingTest, LeavingAFrozenParentRunsOnTheGlobalClock) {
    freezeLayer(*label->layer());
    startMove(0);
    advanceTo(3);
    EXPECT_EQ(shownX(), 20);
    sublabel->removeFromSuperview();
    root->addSubview(sublabel);
    EXPECT_NEAR(shownX(), -280, 1e-9);
    advanceTo(5);
    ASSERT_EQ(log.count(), 1u);
    EXPECT_TRUE(log.entries[0].finished);
    // Moving back under the frozen layer freezes a new animation again.
    label->addSubview(sublabel);
    UIView::animateWithDuration(
        1.0, 0, 0, [&] { sublabel->setAlpha(0); }, log.recorder());
    advance(10);
    EXPECT_EQ(log.count(), 1u);
}

TEST_F(LayerTimingTest, HasRunningAnimationsCountsDelaysButNotFrozenClocks) {
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    startMove(2.0);
    EXPECT_TRUE(root->layer()->hasRunningAnimations());
    EXPECT_TRUE(sublabel->layer()->hasRunningAnimations());
    EXPECT_TRUE(label->layer()->hasRunningAnimations());
    label->layer()->setSpeed(0);
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    label->layer()->setSpeed(1);
    // An animation on a mask counts for the masked layer.
    auto mask = CALayer::layer();
    auto fade = CABasicAnimation::animationWithKeyPath("opacity");
    fade->setDuration(100);
    mask->addAnimation(fade, "fade");
    sublabel->layer()->removeAllAnimations();
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    label->layer()->setMask(mask);
    EXPECT_TRUE(root->layer()->hasRunningAnimations());
}

class RecordingDelegate : public CAAnimationDelegate {
public:
    void animationDidStop(const Ptr<CAAnimation>& animation, BOOL finished) override {
        stops.push_back({animation.get(), finished, CACurrentMediaTime()});
    }
    struct Stop {
        // Not held: the animation holds its delegate.
        const CAAnimation* animation;
        bool finished;
        double time;
    };
    std::vector<Stop> stops;
};

TEST_F(LayerTimingTest, ExplicitAnimationIsCopiedTimedAndReported) {
    auto layer = CALayer::layer();
    layer->setPosition({0, 0});
    auto delegate = alloc<RecordingDelegate>();
    auto move = CABasicAnimation::animationWithKeyPath("position");
    move->setFromValue(CGPoint{100, 0});
    move->setToValue(CGPoint{200, 0});
    move->setDelegate(delegate);
    advanceTo(1);
    layer->addAnimation(move, "move");
    // The layer holds its own copy, begun now, with the default duration.
    move->setToValue(CGPoint{-1, -1});
    const auto added = layer->animationForKey("move");
    ASSERT_TRUE(added);
    EXPECT_NE(added, move);
    EXPECT_DOUBLE_EQ(added->beginTime(), 1.0);
    EXPECT_DOUBLE_EQ(added->duration(), 0.25);
    EXPECT_EQ(layer->animationKeys(), std::vector<std::string>{"move"});
    advance(0.125);
    EXPECT_NEAR(layer->presentationPosition().x, 150, 1e-9);
    advance(0.125);
    ASSERT_EQ(delegate->stops.size(), 1u);
    EXPECT_TRUE(delegate->stops[0].finished);
    EXPECT_EQ(delegate->stops[0].animation, added.get());
    EXPECT_DOUBLE_EQ(delegate->stops[0].time, 1.25);
    EXPECT_EQ(layer->presentationPosition().x, 0);
    EXPECT_TRUE(layer->animationKeys().empty());
}

TEST_F(LayerTimingTest, ExplicitAnimationFillModesAndReplacement) {
    auto layer = CALayer::layer();
    layer->setOpacity(1);
    auto delegate = alloc<RecordingDelegate>();
    auto fade = CABasicAnimation::animationWithKeyPath("opacity");
    fade->setFromValue(0.0);
    fade->setToValue(0.5);
    fade->setBeginTime(2);
    fade->setDuration(1);
    fade->setDelegate(delegate);
    layer->addAnimation(fade, "fade");
    // Removed fill: the model value shows before the begin time.
    EXPECT_EQ(layer->presentationOpacity(), 1);
    fade->setFillMode(kCAFillModeBackwards);
    layer->addAnimation(fade, "fade");
    EXPECT_EQ(layer->presentationOpacity(), 0);
    advance(0.1);
    ASSERT_EQ(delegate->stops.size(), 1u);
    EXPECT_FALSE(delegate->stops[0].finished);
    // A key-less animation is never replaced and not listed.
    fade->setFillMode(kCAFillModeForwards);
    layer->removeAnimationForKey("fade");
    layer->addAnimation(fade, "");
    EXPECT_TRUE(layer->animationKeys().empty());
    advanceTo(2.5);
    EXPECT_NEAR(layer->presentationOpacity(), 0.25, 1e-6);
    advanceTo(3.0);
    EXPECT_EQ(delegate->stops.size(), 3u);
    EXPECT_EQ(layer->presentationOpacity(), 1);
}

} // namespace
