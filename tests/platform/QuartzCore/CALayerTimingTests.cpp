#include <gtest/gtest.h>

#include <algorithm>

#include "platform/QuartzCore/QuartzTestSupport.h"

namespace {

class LayerTimingTest : public QuartzTest {
protected:
    // A 5 s move of the view 500 points to the left, after `delay`.
    void startMove(double delay) {
        animate(5.0, delay, log.recorder(), [&] { view->setFrame(CGRectMake(-480, 0, 300, 20)); });
    }
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
    child->removeFromSuperlayer();
    EXPECT_DOUBLE_EQ(child->localTime(), (10 - 3) * 0.5 - 1);
}

struct Freeze {
    const char* name;
    double delay;
    bool freezeTheParent;
    double freezeAt;
    double thawAt;
};

void PrintTo(const Freeze& freeze, std::ostream* out) {
    *out << freeze.name;
}

class FrozenLayerTest : public LayerTimingTest, public ::testing::WithParamInterface<Freeze> {};

TEST_P(FrozenLayerTest, HoldsItsAnimationAndResumesWhereItStopped) {
    const Freeze& c = GetParam();
    // Where the move shows at the view's local time t.
    const auto xAt = [&](double t) { return 20 - 100 * std::clamp(t - c.delay, 0.0, 5.0); };
    CALayer& frozen = *(c.freezeTheParent ? label : view)->layer();
    startMove(c.delay);
    advanceTo(c.freezeAt);
    freezeLayer(frozen);
    advanceTo(c.thawAt);
    EXPECT_NEAR(shownX(), xAt(c.freezeAt), 1e-9);
    EXPECT_FALSE(root->layer()->hasRunningAnimations());
    EXPECT_TRUE(log.entries.empty());
    thawLayer(frozen);
    // A delay still to run is not running: nothing moves until it is over.
    EXPECT_EQ(root->layer()->hasRunningAnimations(), c.freezeAt >= c.delay);
    advanceTo(c.thawAt + 1.5);
    EXPECT_NEAR(shownX(), xAt(c.freezeAt + 1.5), 1e-9);
    // The animation ends as late as the layer stood still.
    const double end = c.delay + 5 + (c.thawAt - c.freezeAt);
    advanceTo(end - 0.001);
    EXPECT_TRUE(log.entries.empty());
    advanceTo(end + 10);
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_TRUE(log.entries[0].first);
    EXPECT_NEAR(log.entries[0].second, end, 1e-6);
    EXPECT_EQ(shownX(), -480);
}

INSTANTIATE_TEST_SUITE_P(Freezes, FrozenLayerTest,
                         ::testing::Values(Freeze{"TwoSecondsIntoFive", 0, false, 2, 12},
                                           Freeze{"DuringTheDelay", 1, false, 0.4, 10.4},
                                           Freeze{"ThroughTheParent", 0, true, 1, 30}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LayerTimingTest, RemovalOnAFrozenLayerReportsNoAtTheCurrentInstant) {
    startMove(1.0);
    advanceTo(0.5);
    freezeLayer(*view->layer());
    advanceTo(3.0);
    view->layer()->removeAllAnimations();
    EXPECT_EQ(shownX(), -480);
    advance(0.0001);
    EXPECT_EQ(log.entries, (CompletionLog::Entries{{false, 3.0}}));
    // A new animation on the frozen layer stays frozen until the clock runs again.
    animate(1.0, 0, log.recorder(), [&] { view->setFrame(CGRectMake(0, 0, 300, 20)); });
    advanceTo(10);
    EXPECT_EQ(shownX(), -480);
    thawLayer(*view->layer());
    advanceTo(11);
    EXPECT_EQ(log.entries, (CompletionLog::Entries{{false, 3.0}, {true, 11.0}}));
    EXPECT_EQ(shownX(), 0);
}

TEST_F(LayerTimingTest, SpeedChangeMovesTheCompletion) {
    startMove(0);
    advanceTo(1.0);
    // Local time becomes 2 x the global time: 2.0 now, 5.0 at 2.5.
    view->layer()->setSpeed(2);
    EXPECT_NEAR(shownX(), -180, 1e-9);
    advance(10);
    EXPECT_EQ(log.entries, (CompletionLog::Entries{{true, 2.5}}));
}

} // namespace
