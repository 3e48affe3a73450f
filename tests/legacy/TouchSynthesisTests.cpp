#include "Foundation/NSDate.h"
#include "LegacyTestSupport.h"
#include "legacy/UIEvent+Trillbox__TouchFix.h"
#include "legacy/UITouch+Trillbox__TouchFix.h"

namespace legacy_test {
namespace {

using Trillbox__TouchFix::initWithPoint;
using Trillbox__TouchFix::initWithTouch;

class TouchSynthesisTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 200));
        window->makeKeyAndVisible();
        container = alloc<UIView>()->initWithFrame(CGRectMake(0, 100, 320, 70));
        window->addSubview(container);
        target = alloc<RecordingView>();
        target->initWithFrame(CGRectMake(100, 10, 50, 40));
        container->addSubview(target);
    }
    void TearDown() override {
        window.reset();
        PlatformTest::TearDown();
    }

    Ptr<UITouch> touchAt(CGPoint pointInWindow) {
        return initWithPoint(alloc<UITouch>(), pointInWindow, container);
    }

    Ptr<UIWindow> window;
    Ptr<UIView> container;
    Ptr<RecordingView> target;
};

TEST_F(TouchSynthesisTest, ATouchIsOneTapBeganOverTheViewTheWindowFindsUnderThePoint) {
    // A date far from the run loop's clock, to tell the two apart.
    const auto wallClock = std::make_shared<ManualClock>(NanosecondsFromSeconds(700'000'000.25));
    NSDate::setClock(wallClock);
    const auto touch = alloc<UITouch>();
    // Flags set before: the synthesis adds its two bits and keeps the rest.
    touch->_touchFlags.firstByte = 0x84;
    touch->_touchFlags.reserved[0] = 0x5a;

    // Asked through the container, found by the window: the view under the point.
    ASSERT_EQ(initWithPoint(touch, CGPointMake(110.5, 125.25), container), touch);
    EXPECT_EQ(touch->tapCount(), 1u);
    EXPECT_EQ(touch->locationInView(nullptr), CGPointMake(110.5, 125.25));
    EXPECT_EQ(touch->previousLocationInView(nullptr), CGPointMake(110.5, 125.25));
    EXPECT_EQ(touch->locationInView(target), CGPointMake(10.5, 15.25));
    EXPECT_EQ(touch->view(), target);
    EXPECT_EQ(touch->window(), window);
    EXPECT_EQ(touch->phase(), UITouchPhaseBegan);
    EXPECT_EQ(touch->_touchFlags.firstByte, 0x87);
    EXPECT_EQ(touch->_touchFlags.reserved[0], 0x5a);
    EXPECT_DOUBLE_EQ(touch->timestamp(), 700'000'000.25);
    // Made by hand, the touch went through no window delivery.
    EXPECT_TRUE(target->deliveries.empty());
}

TEST_F(TouchSynthesisTest, APointOverNoViewOrAViewInNoWindowGivesATouchWithoutAView) {
    const auto outside = touchAt(CGPointMake(10, 500));
    ASSERT_NE(outside, nullptr);
    EXPECT_EQ(outside->view(), nullptr);
    EXPECT_EQ(outside->window(), window);

    // Views that do not take touches are passed over.
    target->setUserInteractionEnabled(false);
    EXPECT_EQ(touchAt(CGPointMake(110, 120))->view(), container);

    const auto loose = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 70));
    const auto unplaced = initWithPoint(alloc<UITouch>(), CGPointMake(10, 10), loose);
    ASSERT_NE(unplaced, nullptr);
    EXPECT_EQ(unplaced->view(), nullptr);
    EXPECT_EQ(unplaced->window(), nullptr);
    EXPECT_EQ(unplaced->tapCount(), 1u);

    const auto noView = initWithPoint(alloc<UITouch>(), CGPointMake(10, 10), nullptr);
    ASSERT_NE(noView, nullptr);
    EXPECT_EQ(noView->view(), nullptr);

    EXPECT_EQ(initWithPoint(nullptr, CGPointMake(10, 10), container), nullptr);
}

TEST_F(TouchSynthesisTest, EachEventCarriesARecordOfTheTouchInThePhaseItHadThen) {
    const CGPoint point = CGPointMake(110.5, 125.25);
    const auto touch = touchAt(point);
    const auto receiver = alloc<UIEvent>();

    const Ptr<UIEvent> began = initWithTouch(receiver, touch);
    ASSERT_NE(began, nullptr);
    EXPECT_NE(began, receiver);
    expectTouchRecord(began, point, UITouchPhaseBegan);
    ASSERT_NE(began->allTouches(), nullptr);
    EXPECT_EQ(began->allTouches()->count(), 1u);
    EXPECT_EQ(began->allTouches()->anyObject(), touch);
    EXPECT_EQ(began->touchesForView(target)->count(), 1u);

    touch->setPhase(UITouchPhaseEnded);
    const Ptr<UIEvent> ended = initWithTouch(alloc<UIEvent>(), touch);
    ASSERT_NE(ended, nullptr);
    EXPECT_NE(ended, began);
    expectTouchRecord(ended, point, UITouchPhaseEnded);
    // The first event kept the record it was built with.
    expectTouchRecord(began, point, UITouchPhaseBegan);

    for (const UITouchPhase phase : {UITouchPhaseMoved, UITouchPhaseStationary, UITouchPhaseCancelled}) {
        touch->setPhase(phase);
        expectTouchRecord(initWithTouch(alloc<UIEvent>(), touch), point, phase);
    }
}

TEST_F(TouchSynthesisTest, ANilTouchGivesAnEventWithoutTouchesAtTheOrigin) {
    const Ptr<UIEvent> event = initWithTouch(alloc<UIEvent>(), nullptr);
    ASSERT_NE(event, nullptr);
    expectTouchRecord(event, CGPointMake(0, 0), UITouchPhaseBegan);
    ASSERT_NE(event->allTouches(), nullptr);
    EXPECT_EQ(event->allTouches()->count(), 0u);

    EXPECT_EQ(initWithTouch(nullptr, touchAt(CGPointMake(110, 120))), nullptr);
}

TEST_F(TouchSynthesisTest, WithoutTheTouchesEventClassNoEventIsMade) {
    const auto touch = touchAt(CGPointMake(110, 120));
    {
        const WithoutTouchesEventClass missing;
        EXPECT_EQ(initWithTouch(alloc<UIEvent>(), touch), nullptr);
    }
    EXPECT_NE(initWithTouch(alloc<UIEvent>(), touch), nullptr);
}

} // namespace
} // namespace legacy_test
