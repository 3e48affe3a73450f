#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

#include "Foundation/NSRuntime.h"
#include "InputTestSupport.h"
#include "UIKit/UIButton.h"
#include "UIKit/UITouchesEvent.h"

namespace {

// The open fields keep the widths that hand-made touches write.
static_assert(std::is_same_v<decltype(UITouch::_tapCount), std::int32_t>);
static_assert(std::is_same_v<decltype(UITouch::_phase), std::int32_t>);
static_assert(std::is_same_v<decltype(UITouch::_timestamp), double>);
static_assert(std::is_same_v<decltype(UITouch::_view), Ptr<UIView>>);
static_assert(std::is_same_v<decltype(UITouch::_window), Ptr<UIWindow>>);
static_assert(std::is_same_v<decltype(UITouch::_touchFlags.firstByte), std::uint8_t>);

class Presses : public NSObject {
public:
    void down() { ++downs; }
    void upInside() { ++upsInside; }
    int downs = 0;
    int upsInside = 0;
};

class TouchEventTest : public InputTest {};

TEST_F(TouchEventTest, TouchInitialisersAndLocations) {
    auto own = makeObject<UITouch>();
    EXPECT_EQ(own->phase(), UITouchPhaseBegan);
    EXPECT_EQ(own->tapCount(), 1u);

    // The base initialiser leaves everything zero for code that fills the fields.
    auto bare = alloc<UITouch>();
    ASSERT_TRUE(bare->NSObject::init());
    EXPECT_EQ(bare->_tapCount, 0);
    EXPECT_EQ(bare->_touchFlags.firstByte, 0);
    bare->_touchFlags.firstByte |= 3;
    EXPECT_EQ(bare->_touchFlags.firstByte, 3);

    auto inner = makeView<UIView>(CGRectMake(100, 40, 50, 50));
    window->addSubview(inner);
    auto touch = down(120, 50);
    move(130, 55);
    EXPECT_EQ(touch->view(), inner);
    EXPECT_EQ(touch->window(), window);
    EXPECT_EQ(touch->phase(), UITouchPhaseMoved);
    EXPECT_EQ(touch->locationInView(inner), (CGPoint{30, 15}));
    EXPECT_EQ(touch->previousLocationInView(inner), (CGPoint{20, 10}));
    EXPECT_EQ(touch->locationInView(nullptr), (CGPoint{130, 55}));
}

TEST_F(TouchEventTest, QuickSecondTapNearbyCountsTwo) {
    tap(50, 50);
    advance(0.2);
    auto second = down(53, 52);
    EXPECT_EQ(second->tapCount(), 2u);
    up(53, 52);
    advance(1);
    EXPECT_EQ(down(53, 52)->tapCount(), 1u);
    up(53, 52);
    advance(0.1);
    EXPECT_EQ(down(90, 52)->tapCount(), 1u);
}

TEST_F(TouchEventTest, TouchesEventIsFoundByNameAndKeepsItsRecord) {
    Class touchesEvent = NSClassFromString("UITouchesEvent");
    ASSERT_NE(touchesEvent, nullptr);
    auto touch = makeObject<UITouch>();
    touch->_timestamp = 42;

    std::uint8_t record[UITouchesEvent::kEventRecordSize] = {};
    const std::uint32_t type = 3001;
    std::memcpy(record + 8, &type, sizeof type);
    auto event = as<UIEvent>(touchesEvent->allocate())->_initWithEvent(record, NSSet::setWithObject(touch));
    ASSERT_TRUE(event);
    EXPECT_EQ(event->allTouches()->count(), 1u);
    EXPECT_TRUE(event->allTouches()->containsObject(touch));
    EXPECT_EQ(event->timestamp(), 42);
    auto concrete = as<UITouchesEvent>(event);
    ASSERT_TRUE(concrete && concrete->hasEventRecord());
    EXPECT_EQ(std::memcmp(concrete->eventRecord().data(), record, sizeof record), 0);

    // No record and no touches: an empty event, not a crash.
    auto empty = as<UIEvent>(touchesEvent->allocate())->_initWithEvent(nullptr, nullptr);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->allTouches()->count(), 0u);
    // A plain event does not answer the private initialiser.
    EXPECT_EQ(makeObject<UIEvent>()->_initWithEvent(record, nullptr), nullptr);
}

TEST_F(TouchEventTest, HandMadeTouchDeliveredDirectlyPressesAButton) {
    auto presses = makeObject<Presses>();
    auto button = UIButton::buttonWithType(UIButtonTypeCustom);
    button->setFrame(CGRectMake(202, 42, 16, 20));
    button->addTarget(presses, &Presses::down, UIControlEventTouchDown);
    button->addTarget(presses, &Presses::upInside, UIControlEventTouchUpInside);
    window->addSubview(button);

    // What a host that reports only tap locations does: fill a touch by hand and
    // call the view's touch methods with touches events made by name.
    const CGPoint point{210, 50};
    auto touch = alloc<UITouch>();
    touch->NSObject::init();
    touch->_tapCount = 1;
    touch->_locationInWindow = touch->_previousLocationInWindow = point;
    touch->_view = window->hitTest(point, nullptr);
    touch->_window = window;
    touch->_touchFlags.firstByte |= 3;
    ASSERT_EQ(touch->view(), button);
    const auto makeEvent = [&] {
        std::uint8_t record[UITouchesEvent::kEventRecordSize] = {};
        return as<UIEvent>(NSClassFromString("UITouchesEvent")->allocate())
            ->_initWithEvent(record, NSSet::setWithObject(touch));
    };
    auto began = makeEvent();
    touch->view()->touchesBegan(began->allTouches(), began);
    touch->setPhase(UITouchPhaseEnded);
    auto ended = makeEvent();
    touch->view()->touchesEnded(ended->allTouches(), ended);
    EXPECT_EQ(presses->downs, 1);
    EXPECT_EQ(presses->upsInside, 1);
}

TEST_F(TouchEventTest, EventAnswersTouchesPerViewAndWindow) {
    auto inner = makeView<UIView>(CGRectMake(0, 0, 50, 50));
    window->addSubview(inner);
    auto touch = down(10, 10);
    auto event = alloc<UITouchesEvent>()->initWithTouches(NSSet::setWithObject(touch), now());
    EXPECT_EQ(event->touchesForView(inner)->count(), 1u);
    EXPECT_EQ(event->touchesForView(window)->count(), 0u);
    EXPECT_EQ(event->touchesForWindow(window)->count(), 1u);
    up(10, 10);
}

} // namespace
