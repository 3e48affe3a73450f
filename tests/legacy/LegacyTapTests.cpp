#include "Foundation/NSBundle.h"
#include "LegacyTestSupport.h"
#include "UIKit/UIControl.h"
#include "legacy/TrillboxViewController.h"
#include "widget/TrillboxView.h"
#include "support/TestPaths.h"

namespace legacy_test {
namespace {

using RecordingTrillboxView = Recording<TrillboxView>;

// Counts the control events it is sent.
class ControlEventCounter : public NSObject {
public:
    int touchDowns = 0;
    int touchUpsInside = 0;
    void touchDown() { ++touchDowns; }
    void touchUpInside() { ++touchUpsInside; }
};

// The older host's strip 100 points down a window: taps arrive as points in the
// widget view, which lies in the window at (0, 100).
class LegacyTapTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        NSBundle::setBundlePathOverride(TRILLBOX_BUNDLE_DIR);
        window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 200));
        window->makeKeyAndVisible();
        strip = alloc<UIView>()->initWithFrame(CGRectMake(0, 100, 0, 70));
        window->addSubview(strip);
        controller =
            as<TrillboxViewController>(NSClassFromString("TrillboxViewController")->createInstance());
        ASSERT_NE(controller, nullptr);
        widgetView = alloc<RecordingTrillboxView>();
        widgetView->initWithFrame(CGRectMake(0, 0, 0, 70));
        widgetView->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        controller->setView(widgetView);
        strip->addSubview(controller->view());
        controller->loadPlaceholderView();
        controller->loadFullView();
        strip->setFrame(CGRectMake(0, 100, 320, 70));
        window->layoutIfNeeded();
    }
    void TearDown() override {
        controller.reset();
        widgetView.reset();
        window.reset();
        PlatformTest::TearDown();
    }

    // A view of the widget that records its touches.
    Ptr<RecordingView> addRecordingView(CGRect frame) {
        auto view = alloc<RecordingView>();
        view->initWithFrame(frame);
        widgetView->addSubview(view);
        return view;
    }

    Ptr<UIWindow> window;
    Ptr<UIView> strip;
    Ptr<TrillboxViewController> controller;
    Ptr<RecordingTrillboxView> widgetView;
};

TEST_F(LegacyTapTest, ATapBeginsAndEndsOnceOnTheViewUnderThePoint) {
    const auto target = addRecordingView(CGRectMake(200, 10, 50, 50));
    EXPECT_EQ(controller->launchURLForTapLocation(CGPointMake(210.5, 30.25)), nullptr);

    ASSERT_EQ(target->deliveries.size(), 2u);
    const Delivery& began = target->deliveries[0];
    const Delivery& ended = target->deliveries[1];
    EXPECT_EQ(began.deliveredAs, UITouchPhaseBegan);
    EXPECT_EQ(ended.deliveredAs, UITouchPhaseEnded);
    EXPECT_EQ(began.touchPhase, UITouchPhaseBegan);
    EXPECT_EQ(ended.touchPhase, UITouchPhaseEnded);

    // One touch, one event per delivery, each holding the touch alone.
    ASSERT_NE(began.touch, nullptr);
    EXPECT_EQ(ended.touch, began.touch);
    EXPECT_NE(ended.event, began.event);
    EXPECT_EQ(began.touches->count(), 1u);
    EXPECT_EQ(ended.touches->count(), 1u);
    EXPECT_EQ(began.event->allTouches()->anyObject(), began.touch);

    const Ptr<UITouch> touch = began.touch;
    EXPECT_EQ(touch->view(), target);
    EXPECT_EQ(touch->window(), window);
    EXPECT_EQ(touch->tapCount(), 1u);
    EXPECT_EQ(touch->locationInView(target), CGPointMake(10.5, 20.25));
    EXPECT_EQ(touch->previousLocationInView(nullptr), CGPointMake(210.5, 130.25));
    expectTouchRecord(began.event, CGPointMake(210.5, 130.25), UITouchPhaseBegan);
    expectTouchRecord(ended.event, CGPointMake(210.5, 130.25), UITouchPhaseEnded);

    // The view under the point has it; the widget view does not hear of it.
    EXPECT_TRUE(widgetView->deliveries.empty());
}

TEST_F(LegacyTapTest, ATapOnTheStripItselfReachesTheWidgetViewThroughItsBackground) {
    // The background image covers the strip but takes no touches.
    ASSERT_NE(widgetView->backgroundImageView(), nullptr);
    controller->launchURLForTapLocation(CGPointMake(160, 35));
    ASSERT_EQ(widgetView->deliveries.size(), 2u);
    EXPECT_EQ(widgetView->deliveries[0].deliveredAs, UITouchPhaseBegan);
    EXPECT_EQ(widgetView->deliveries[1].deliveredAs, UITouchPhaseEnded);
    EXPECT_EQ(widgetView->deliveries[0].touch->view(), widgetView);
}

TEST_F(LegacyTapTest, APointOverNoViewDeliversNothing) {
    const auto target = addRecordingView(CGRectMake(0, 0, 320, 70));
    // Below the window: no view is under the point.
    EXPECT_EQ(controller->launchURLForTapLocation(CGPointMake(10, 400)), nullptr);
    EXPECT_TRUE(target->deliveries.empty());
    EXPECT_TRUE(widgetView->deliveries.empty());

    // A widget view in no window, and no widget view at all.
    strip->removeFromSuperview();
    EXPECT_EQ(controller->launchURLForTapLocation(CGPointMake(10, 10)), nullptr);
    EXPECT_TRUE(target->deliveries.empty());
    controller->setView(nullptr);
    EXPECT_EQ(controller->launchURLForTapLocation(CGPointMake(10, 10)), nullptr);
    EXPECT_TRUE(target->deliveries.empty());
    EXPECT_TRUE(widgetView->deliveries.empty());
}

TEST_F(LegacyTapTest, WithoutTheTouchesEventClassATapDeliversNothing) {
    const auto target = addRecordingView(CGRectMake(0, 0, 320, 70));
    const WithoutTouchesEventClass missing;
    EXPECT_EQ(controller->launchURLForTapLocation(CGPointMake(10, 10)), nullptr);
    EXPECT_TRUE(target->deliveries.empty());
}

TEST_F(LegacyTapTest, AControlUnderThePointIsTappedAsByAFinger) {
    const auto control = alloc<UIControl>()->initWithFrame(CGRectMake(20, 10, 40, 40));
    widgetView->addSubview(control);
    const auto counter = alloc<ControlEventCounter>();
    control->addTarget(counter, &ControlEventCounter::touchDown, UIControlEventTouchDown);
    control->addTarget(counter, &ControlEventCounter::touchUpInside, UIControlEventTouchUpInside);

    controller->launchURLForTapLocation(CGPointMake(30, 30));
    EXPECT_EQ(counter->touchDowns, 1);
    EXPECT_EQ(counter->touchUpsInside, 1);
    EXPECT_FALSE(control->isTracking());
}

TEST_F(LegacyTapTest, TheTapEndsWhereItBeganWhenTheHostLetsTheWidgetGoOnTouchDown) {
    const auto target = addRecordingView(CGRectMake(200, 10, 50, 50));
    // The fixture holds the only reference to the controller, and drops it.
    target->onBegan = [this] {
        controller->unloadView();
        controller.reset();
    };
    const WeakPtr<TrillboxViewController> weakController = controller;
    TrillboxViewController* const tapped = controller.get();

    EXPECT_EQ(tapped->launchURLForTapLocation(CGPointMake(210, 30)), nullptr);
    ASSERT_EQ(target->deliveries.size(), 2u);
    EXPECT_EQ(target->deliveries[1].deliveredAs, UITouchPhaseEnded);
    EXPECT_EQ(target->deliveries[1].touch->view(), target);
    EXPECT_EQ(widgetView->superview(), nullptr);
    EXPECT_TRUE(weakController.expired());
    // The recorded touches hold their view, which holds the records: let go of them.
    target->deliveries.clear();
}

} // namespace
} // namespace legacy_test
