#include "UIKit/UIApplication.h"
#include "marquee/MarqueeTestSupport.h"

namespace {

class NotificationTest : public MarqueeTest {
protected:
    void TearDown() override {
        UIApplication::sharedApplication()->setApplicationState(UIApplicationStateActive);
        MarqueeTest::TearDown();
    }
    // A 400-point text in a label as wide as its window: 200 now, 360 in landscape.
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
    auto second = showLabel(MarqueeTypeLeftAndBack, {}, nested);
    auto other = alloc<UIViewController>()->init();
    _window->addSubview(other->view());
    auto stranger = showLabel(MarqueeTypeLeftAndBack, {}, other->view());

    expectTimeline(second, {{2.4, -50}});
    MarqueeLabel::restartLabelsOfController(_controller);
    EXPECT_DOUBLE_EQ(shownX(first->subLabel()), 20);
    EXPECT_DOUBLE_EQ(shownX(second->subLabel()), 20);
    EXPECT_NEAR(shownX(stranger->subLabel()), -50, 1e-9);
    expectTimeline(first, {{2.4, -50}});
    MarqueeLabel::controllerViewDidAppear(_controller);
    EXPECT_DOUBLE_EQ(shownX(first->subLabel()), 20);
    MarqueeLabel::controllerLabelsShouldLabelize(_controller);
    EXPECT_TRUE(second->labelize() && !stranger->labelize());
    MarqueeLabel::controllerLabelsShouldAnimate(_controller);
    EXPECT_FALSE(second->labelize());
    expectTimeline(second, {{2.4, -50}});
}

TEST_F(NotificationTest, NavigationAwayStopsAndBackRestarts) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    auto other = alloc<UIViewController>()->init();
    auto post = [](const Ptr<NSObject>& last, const Ptr<NSObject>& next) {
        const auto info = NSMutableDictionary::dictionary(); // nil sets nothing
        info->setObject(last, "UINavigationControllerLastVisibleViewController");
        info->setObject(next, "UINavigationControllerNextVisibleViewController");
        NSNotificationCenter::defaultCenter()->postNotificationName(
            "UINavigationControllerDidShowViewControllerNotification", nullptr, info);
    };
    advance(2.4);
    post(other, nullptr); // not about this label's controller
    expectTimeline(label, {{0, -50}});
    post(_controller, other);
    expectTimeline(label, {{0, 20}, {10, 20}});
    post(other, _controller);
    expectTimeline(label, {{2.4, -50}});
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

TEST_F(NotificationTest, RotationHoldsTheTextAtRestUntilTheLastRotationEnds) {
    auto label = showWideningLabel();
    auto* center = NSNotificationCenter::defaultCenter();
    const auto idle = center->registrationCount();
    advance(2.0);
    _window->rotateToInterfaceOrientation(3);
    EXPECT_TRUE(label->orientationWillChange());
    EXPECT_TRUE(CGRectEqualToRect(label->awayLabelFrame(),
                                  CGRectMake(-60, 0, 400, 20))); // laid out for the new width
    expectTimeline(label, {{0, 20}, {0.2, 20}});
    // Another window's animation ends: nothing changes.
    center->postNotificationName(
        "UIViewAnimationDidStopNotification", nullptr,
        NSDictionary::dictionaryWithEntries({{"delegate", alloc<UIWindow>()->initWithFrame(CGRectZero)}}));
    _window->rotateToInterfaceOrientation(1); // back before the first has ended
    EXPECT_EQ(center->registrationCount(), idle + 1);
    advance(0.25); // the first rotation's end has passed: superseded, nothing reported
    EXPECT_TRUE(label->orientationWillChange());
    advance(0.15);
    EXPECT_FALSE(label->orientationWillChange());
    EXPECT_EQ(center->registrationCount(), idle);
    // 200 wide again: away at -220 over 4.8 s.
    expectTimeline(label, {{0, 20}, {1.0 + 1.4, 20 - 240 * 1.4 / 4.8}});
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
