#include "MarqueeTestSupport.h"
#include "UIKit/UIApplication.h"

namespace {

class NotificationTest : public MarqueeTest {
protected:
    void TearDown() override {
        UIApplication::sharedApplication()->setApplicationState(UIApplicationStateActive);
        MarqueeTest::TearDown();
    }
    // A back-and-forth label with a 400-point text that widens with its window
    // (200 wide now, 360 in landscape).
    Ptr<MarqueeLabel> showWideningLabel() {
        _controller->view()->setAutoresizingMask(UIViewAutoresizingFlexibleWidth |
                                                 UIViewAutoresizingFlexibleHeight);
        auto label = makeLabel(MarqueeTypeLeftAndBack);
        label->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        label->setText(textOfWidth(400));
        _controller->view()->addSubview(label);
        return label;
    }
};

TEST_F(NotificationTest, ControllerRestartReachesOnlyThatControllersLabels) {
    auto first = showLabel(MarqueeTypeLeftAndBack);
    auto nested = alloc<UIView>()->initWithFrame(CGRectMake(0, 40, 320, 40));
    _controller->view()->addSubview(nested);
    auto second = makeLabel(MarqueeTypeLeftAndBack);
    second->setText(textOfWidth(300));
    nested->addSubview(second);
    auto other = alloc<UIViewController>()->init();
    _window->addSubview(other->view());
    auto stranger = makeLabel(MarqueeTypeLeftAndBack);
    stranger->setText(textOfWidth(300));
    other->view()->addSubview(stranger);

    expectTimeline(second, {{2.4, -50}});
    MarqueeLabel::restartLabelsOfController(_controller);
    EXPECT_DOUBLE_EQ(shownX(first->subLabel()), 20);
    EXPECT_DOUBLE_EQ(shownX(second->subLabel()), 20);
    EXPECT_NEAR(shownX(stranger->subLabel()), -50, 1e-9);
    expectTimeline(first, {{2.4, -50}});
    MarqueeLabel::controllerViewDidAppear(_controller);
    EXPECT_DOUBLE_EQ(shownX(first->subLabel()), 20);
}

TEST_F(NotificationTest, ControllerLabelizeThenAnimate) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    advance(5);
    MarqueeLabel::controllerLabelsShouldLabelize(_controller);
    EXPECT_TRUE(label->labelize());
    expectTimeline(label, {{0, 20}, {30, 20}});
    MarqueeLabel::controllerLabelsShouldAnimate(_controller);
    EXPECT_FALSE(label->labelize());
    expectTimeline(label, {{1.0 + 6.8, -160, 190}});
}

TEST_F(NotificationTest, NavigationAwayStopsAndBackRestarts) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    auto other = alloc<UIViewController>()->init();
    auto post = [](const Ptr<NSObject>& last, const Ptr<NSObject>& next) {
        NSDictionary::Entries entries;
        if (last) {
            entries.emplace_back("UINavigationControllerLastVisibleViewController", last);
        }
        if (next) {
            entries.emplace_back("UINavigationControllerNextVisibleViewController", next);
        }
        NSNotificationCenter::defaultCenter()->postNotificationName(
            "UINavigationControllerDidShowViewControllerNotification", nullptr,
            NSDictionary::dictionaryWithEntries(entries));
    };
    advance(2.4);
    post(other, nullptr); // not about this label's controller
    expectTimeline(label, {{0, -50}});
    post(_controller, other);
    expectTimeline(label, {{0, 20}, {10, 20}});
    post(other, _controller);
    expectTimeline(label, {{2.4, -50}});
    post(_controller, _controller); // leaving wins
    expectTimeline(label, {{0, 20}, {5, 20}});
}

TEST_F(NotificationTest, ApplicationStateStopsAndRestarts) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    auto application = UIApplication::sharedApplication();
    advance(5);
    application->setApplicationState(UIApplicationStateInactive);
    EXPECT_FALSE(label->awayFromHome());
    application->setApplicationState(UIApplicationStateBackground);
    expectTimeline(label, {{0, 20}, {60, 20}});
    application->setApplicationState(UIApplicationStateActive);
    expectTimeline(label, {{1.0 + 6.8, -160}});
}

TEST_F(NotificationTest, RotationHoldsTheTextAtRestUntilTheWindowsAnimationEnds) {
    auto label = showWideningLabel();
    advance(2.0);
    _window->rotateToInterfaceOrientation(3);
    EXPECT_TRUE(label->orientationWillChange());
    ExpectRect(label->awayLabelFrame(), CGRectMake(-60, 0, 400, 20)); // laid out for the new width
    expectTimeline(label, {{0, 20}, {0.2, 20}});
    // Another window's animation ends: nothing changes.
    NSNotificationCenter::defaultCenter()->postNotificationName(
        "UIViewAnimationDidStopNotification", nullptr,
        NSDictionary::dictionaryWithEntries({{"delegate", alloc<UIWindow>()->initWithFrame(CGRectZero)}}));
    EXPECT_TRUE(label->orientationWillChange());
    advance(0.2); // the rotation animation ends: the label restarts with the new frames
    EXPECT_FALSE(label->orientationWillChange());
    expectTimeline(label, {{1.0 + 0.8, -20}});
}

TEST_F(NotificationTest, OverlappingRotationsKeepOnePendingObserver) {
    auto label = showWideningLabel();
    auto* center = NSNotificationCenter::defaultCenter();
    const auto idle = center->registrationCount();
    _window->rotateToInterfaceOrientation(3);
    advance(0.2);
    _window->rotateToInterfaceOrientation(1);
    EXPECT_EQ(center->registrationCount(), idle + 1);
    advance(0.25); // the first rotation's end has passed: superseded, nothing reported
    EXPECT_TRUE(label->orientationWillChange());
    advance(0.15);
    EXPECT_FALSE(label->orientationWillChange());
    EXPECT_EQ(center->registrationCount(), idle);
    // 200 wide again: away at -220 over 4.8 s.
    expectTimeline(label, {{1.0 + 1.4, 20 - 240 * 1.4 / 4.8}});
}

TEST_F(NotificationTest, GoneLabelsLeaveNoObservers) {
    auto* center = NSNotificationCenter::defaultCenter();
    const auto idle = center->registrationCount();
    {
        auto label = showLabel(MarqueeTypeContinuousLeft);
        _window->rotateToInterfaceOrientation(3);
        label->removeFromSuperview();
    }
    advance(30); // the rotation ends with the label gone
    EXPECT_EQ(center->registrationCount(), idle);
    center->postNotificationName(UIApplicationWillChangeStatusBarOrientationNotification, nullptr);
    EXPECT_EQ(center->registrationCount(), idle);
}

} // namespace
