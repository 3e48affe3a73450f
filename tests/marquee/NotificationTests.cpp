#include "MarqueeTestSupport.h"
#include "UIKit/UIApplication.h"

namespace {

class NotificationTest : public MarqueeTest {
protected:
    void TearDown() override {
        UIApplication::sharedApplication()->setApplicationState(UIApplicationStateActive);
        MarqueeTest::TearDown();
    }

    // A back-and-forth label with a 400-point text that keeps scrolling when it
    // widens with its window (200 wide now, 360 in landscape).
    Ptr<MarqueeLabel> showWideningLabel() {
        _controller->view()->setAutoresizingMask(UIViewAutoresizingFlexibleWidth |
                                                 UIViewAutoresizingFlexibleHeight);
        auto label = makeLabel(MarqueeTypeLeftAndBack);
        label->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        label->setText(textOfWidth(400));
        _controller->view()->addSubview(label);
        return label;
    }

    static void postAnimationStop(const Ptr<NSObject>& delegate) {
        NSNotificationCenter::defaultCenter()->postNotificationName(
            "UIViewAnimationDidStopNotification", nullptr,
            NSDictionary::dictionaryWithEntries({{"delegate", delegate}}));
    }
};

TEST_F(NotificationTest, WalkFindsTheNearestControllerOrNil) {
    auto plain = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 100, 100));
    _controller->view()->addSubview(plain);
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    plain->addSubview(label);
    EXPECT_EQ(MarqueeLabelHelpers::firstAvailableViewController(label.get()), _controller);
    EXPECT_EQ(MarqueeLabelHelpers::firstAvailableViewController(_controller->view().get()), _controller);

    auto child = alloc<UIViewController>()->init();
    plain->addSubview(child->view());
    auto inner = alloc<UIView>()->init();
    child->view()->addSubview(inner);
    EXPECT_EQ(MarqueeLabelHelpers::traverseResponderChainForFirstViewController(inner.get()), child);

    auto loose = alloc<UIView>()->init();
    EXPECT_EQ(MarqueeLabelHelpers::firstAvailableViewController(loose.get()), nullptr);
    EXPECT_EQ(MarqueeLabelHelpers::firstAvailableViewController(nullptr), nullptr);
    EXPECT_EQ(MarqueeLabelHelpers::firstAvailableViewController(_window.get()), nullptr);
}

TEST_F(NotificationTest, ControllerRestartReachesOnlyThatControllersLabels) {
    auto first = showLabel(MarqueeTypeLeftAndBack);
    auto plain = alloc<UIView>()->initWithFrame(CGRectMake(0, 40, 320, 40));
    _controller->view()->addSubview(plain);
    auto second = makeLabel(MarqueeTypeContinuousLeft);
    second->setText(textOfWidth(300));
    plain->addSubview(second);

    auto other = alloc<UIViewController>()->init();
    _window->addSubview(other->view());
    auto stranger = makeLabel(MarqueeTypeLeftAndBack);
    stranger->setText(textOfWidth(300));
    other->view()->addSubview(stranger);

    advance(2.4);
    ASSERT_NEAR(shownX(first->subLabel()), -50, 1e-9);
    ASSERT_LT(shownX(second->subLabel()), 20);
    ASSERT_NEAR(shownX(stranger->subLabel()), -50, 1e-9);

    MarqueeLabel::restartLabelsOfController(_controller);
    EXPECT_DOUBLE_EQ(shownX(first->subLabel()), 20);
    EXPECT_DOUBLE_EQ(shownX(second->subLabel()), 20);
    EXPECT_NEAR(shownX(stranger->subLabel()), -50, 1e-9);
    advance(2.4);
    EXPECT_NEAR(shownX(first->subLabel()), -50, 1e-9);

    // The appearance helpers restart the same way.
    MarqueeLabel::controllerViewDidAppear(_controller);
    EXPECT_DOUBLE_EQ(shownX(first->subLabel()), 20);
}

TEST_F(NotificationTest, LabelizeThenAnimateForOneController) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    auto loose = makeLabel(MarqueeTypeLeftAndBack); // in no hierarchy: finds no controller
    advance(5);
    MarqueeLabel::controllerLabelsShouldLabelize(_controller);
    EXPECT_TRUE(label->labelize());
    EXPECT_FALSE(loose->labelize());
    EXPECT_EQ(copyOf(label), nullptr);
    ExpectRect(label->subLabel()->frame(), 20, 0, 160, 20);
    advance(30);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);

    MarqueeLabel::controllerLabelsShouldAnimate(_controller);
    EXPECT_FALSE(label->labelize());
    ASSERT_NE(copyOf(label), nullptr);
    advance(1.0 + 6.8);
    EXPECT_NEAR(shownX(label->subLabel()), -160, 1e-9);
}

TEST_F(NotificationTest, NilControllerOrMessagePostsNothing) {
    int posts = 0;
    auto* center = NSNotificationCenter::defaultCenter();
    auto token = center->addObserverForName("", nullptr, [&posts](const Ptr<NSNotification>&) { ++posts; });
    MarqueeLabel::restartLabelsOfController(nullptr);
    MarqueeLabel::notifyController(_controller, nullptr);
    EXPECT_EQ(posts, 0);
    MarqueeLabel::notifyController(_controller, NSStr("MarqueeLabelViewControllerRestart"));
    EXPECT_EQ(posts, 1);
    center->removeObserver(token);
}

TEST_F(NotificationTest, ControllerNotificationsMatchByIdentity) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.4);
    // A dictionary standing in for a controller, and no controller at all.
    NSNotificationCenter::defaultCenter()->postNotificationName(
        "MarqueeLabelViewControllerRestart", nullptr,
        NSDictionary::dictionaryWithEntries({{"controller", alloc<UIViewController>()->init()}}));
    NSNotificationCenter::defaultCenter()->postNotificationName("MarqueeLabelViewControllerRestart", nullptr);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
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
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);

    post(_controller, other);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    advance(10);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);

    post(other, _controller);
    advance(2.4);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);

    post(_controller, _controller); // leaving wins
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    advance(5);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
}

TEST_F(NotificationTest, ApplicationStateStopsAndRestarts) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    auto application = UIApplication::sharedApplication();
    advance(5);
    application->setApplicationState(UIApplicationStateInactive);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_FALSE(label->awayFromHome());
    application->setApplicationState(UIApplicationStateBackground);
    advance(60);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);

    application->setApplicationState(UIApplicationStateActive);
    advance(1.0 + 6.8);
    EXPECT_NEAR(shownX(label->subLabel()), -160, 1e-9);
}

TEST_F(NotificationTest, RotationHoldsTheTextAtRestUntilTheWindowsAnimationEnds) {
    auto label = showWideningLabel();
    advance(2.0);
    ASSERT_LT(shownX(label->subLabel()), 20);

    _window->rotateToInterfaceOrientation(3);
    EXPECT_TRUE(label->orientationWillChange());
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_DOUBLE_EQ(label->bounds().size.width, 360);
    ExpectRect(label->awayLabelFrame(), -60, 0, 400, 20); // laid out for the new width

    advance(0.2);
    postAnimationStop(alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 10, 10))); // another window
    EXPECT_TRUE(label->orientationWillChange());
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);

    advance(0.2); // the rotation animation ends: the label restarts with the new frames
    EXPECT_FALSE(label->orientationWillChange());
    advance(1.0 + 0.8);
    EXPECT_NEAR(shownX(label->subLabel()), -20, 1e-9);
}

TEST_F(NotificationTest, OverlappingRotationsKeepOnePendingObserver) {
    auto label = showWideningLabel();
    auto* center = NSNotificationCenter::defaultCenter();
    const auto idle = center->registrationCount();

    _window->rotateToInterfaceOrientation(3);
    EXPECT_EQ(center->registrationCount(), idle + 1);
    advance(0.2);
    _window->rotateToInterfaceOrientation(1);
    EXPECT_EQ(center->registrationCount(), idle + 1);
    EXPECT_DOUBLE_EQ(_window->bounds().size.width, 320);

    advance(0.25); // the first rotation's end has passed: superseded, nothing reported
    EXPECT_TRUE(label->orientationWillChange());
    advance(0.15);
    EXPECT_FALSE(label->orientationWillChange());
    EXPECT_EQ(center->registrationCount(), idle);
    advance(1.0 + 1.4); // 200 wide again: away at -220 over 4.8 s
    EXPECT_NEAR(shownX(label->subLabel()), 20 - 240 * 1.4 / 4.8, 1e-9);
}

TEST_F(NotificationTest, GoneLabelsLeaveNoObservers) {
    auto* center = NSNotificationCenter::defaultCenter();
    const auto idle = center->registrationCount();
    {
        auto label = showLabel(MarqueeTypeContinuousLeft);
        EXPECT_EQ(center->registrationCount(), idle + 9);
        _window->rotateToInterfaceOrientation(3);
        EXPECT_EQ(center->registrationCount(), idle + 10);
        label->removeFromSuperview();
    }
    advance(30); // the rotation ends with the label gone
    EXPECT_EQ(center->registrationCount(), idle);
    center->postNotificationName(UIApplicationWillChangeStatusBarOrientationNotification, nullptr);
    EXPECT_EQ(center->registrationCount(), idle);
}

} // namespace
