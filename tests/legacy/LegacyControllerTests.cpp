// The older host's controller: the strip's stretchable background, and taps turned
// into a hand-made touch and event record delivered to the view under the point.
#include <cairo.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "Foundation/NSBundle.h"
#include "Foundation/NSDate.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UITouch.h"
#include "UIKit/UITouchesEvent.h"
#include "UIKit/UIWindow.h"
#include "legacy/TrillboxViewController.h"
#include "legacy/UIEvent+Trillbox__TouchFix.h"
#include "legacy/UITouch+Trillbox__TouchFix.h"
#include "support/TemporaryDirectory.h"
#include "support/TestPaths.h"
#include "support/TestSupport.h"
#include "widget/TrillboxView.h"

namespace {

// Counts the taps a button sends.
class TapCounter : public NSObject {
public:
    int taps = 0;
    void tapped() { ++taps; }
};

// One touchesBegan or touchesEnded, with the only touch it carried.
struct Delivery {
    UITouchPhase deliveredAs;
    Ptr<UITouch> touch;
    Ptr<UIEvent> event;
};

// A widget view that records the touches it begins and ends.
class RecordingWidgetView : public TrillboxView {
public:
    std::vector<Delivery> deliveries;
    // Runs inside touchesBegan, after recording.
    std::function<void()> onBegan;

    void touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override {
        deliveries.push_back({UITouchPhaseBegan, as<UITouch>(touches->anyObject()), event});
        if (onBegan) {
            onBegan();
        }
    }
    void touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) override {
        deliveries.push_back({UITouchPhaseEnded, as<UITouch>(touches->anyObject()), event});
    }
};

// The older host's strip 100 points down a 320 x 200 window, holding the
// controller's (recording) widget view with its placeholder background.
class LegacyTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        NSBundle::setBundlePathOverride(TRILLBOX_BUNDLE_DIR);
        window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 200));
        window->makeKeyAndVisible();
        strip = alloc<UIView>()->initWithFrame(CGRectMake(0, 100, 320, 70));
        window->addSubview(strip);
        controller =
            as<TrillboxViewController>(NSClassFromString("TrillboxViewController")->createInstance());
        ASSERT_NE(controller, nullptr);
        widgetView = alloc<RecordingWidgetView>();
        strip->addSubview(widgetView->initWithFrame(CGRectMake(0, 0, 320, 70)));
        controller->setView(widgetView);
        controller->loadPlaceholderView();
        window->layoutIfNeeded();
    }
    void TearDown() override {
        controller.reset();
        widgetView.reset();
        window.reset();
        PlatformTest::TearDown();
    }

    Ptr<TapCounter> addButton(CGRect frame) {
        auto button = UIButton::buttonWithType(UIButtonTypeCustom);
        button->setFrame(frame);
        auto counter = alloc<TapCounter>();
        button->addTarget(counter, &TapCounter::tapped, UIControlEventTouchUpInside);
        widgetView->addSubview(button);
        return counter;
    }
    Ptr<UIImage> placeholderBackground() {
        controller->loadPlaceholderView();
        const auto background = widgetView->backgroundImageView();
        return background ? background->image() : nullptr;
    }
    void writePng(const std::string& name, int width, int height) {
        UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
        ASSERT_EQ(cairo_surface_write_to_png(surface.get(), bundle.file(name).c_str()), CAIRO_STATUS_SUCCESS);
    }

    Ptr<UIWindow> window;
    Ptr<UIView> strip;
    Ptr<TrillboxViewController> controller;
    Ptr<RecordingWidgetView> widgetView;
    TemporaryDirectory bundle;
};

using Trillbox__TouchFix::initWithPoint;
using Trillbox__TouchFix::initWithTouch;

// The 128-byte record the touch path reads for a touch at `location` (window
// coordinates): flags, type, the location three times and a 1 x 1 contact, little
// endian at fixed offsets; zeros everywhere else.
UITouchesEvent::EventRecord expectedRecord(CGPoint location, bool ended) {
    UITouchesEvent::EventRecord record{};
    auto put = [&](std::size_t offset, auto value) {
        std::memcpy(record.data() + offset, &value, sizeof value);
    };
    put(4, ended ? std::uint32_t{0x01010180} : std::uint32_t{0x03010180});
    put(8, std::uint32_t{3001});
    for (const std::size_t offset : {16, 24, 108}) {
        put(offset, static_cast<float>(location.x));
        put(offset + 4, static_cast<float>(location.y));
    }
    put(100, 1.0f);
    put(104, 1.0f);
    return record;
}

using TouchSynthesisTest = LegacyTest;

TEST_F(TouchSynthesisTest, ATouchIsOneTapBeganOnTheViewTheWindowFindsUnderThePoint) {
    // A date far from the run loop's clock, to tell the two apart.
    NSDate::setClock(std::make_shared<ManualClock>(NanosecondsFromSeconds(700'000'000.25)));
    const auto target = alloc<UIView>()->initWithFrame(CGRectMake(100, 10, 50, 40));
    widgetView->addSubview(target);
    const auto touch = alloc<UITouch>();
    touch->_touchFlags.firstByte = 0x84;
    ASSERT_EQ(initWithPoint(touch, CGPointMake(110.5, 125.25), widgetView), touch);
    EXPECT_EQ(touch->view(), target);
    EXPECT_EQ(touch->window(), window);
    EXPECT_EQ(touch->phase(), UITouchPhaseBegan);
    EXPECT_EQ(touch->tapCount(), 1u);
    EXPECT_EQ(touch->previousLocationInView(target), CGPointMake(10.5, 15.25));
    EXPECT_EQ(touch->_touchFlags.firstByte, 0x87) << "first touch for its view and a tap; other flags kept";
    EXPECT_DOUBLE_EQ(touch->timestamp(), 700'000'000.25);
    EXPECT_EQ(initWithPoint(nullptr, CGPointMake(10, 10), widgetView), nullptr);
}

TEST_F(TouchSynthesisTest, EachEventCarriesItsTouchAndARecordOfItInThePhaseItHadThen) {
    const CGPoint location = CGPointMake(110.5, 125.25);
    const auto touch = initWithPoint(alloc<UITouch>(), location, widgetView);
    const struct {
        const char* name;
        Ptr<UITouch> touch;
        UITouchPhase phase;
        CGPoint location;
    } events[] = {{"began", touch, UITouchPhaseBegan, location},
                  {"ended", touch, UITouchPhaseEnded, location},
                  {"without a touch", nullptr, UITouchPhaseBegan, CGPointZero}};
    for (const auto& event : events) {
        SCOPED_TRACE(event.name);
        if (event.touch) {
            event.touch->setPhase(event.phase);
        }
        const auto made = as<UITouchesEvent>(initWithTouch(alloc<UIEvent>(), event.touch));
        ASSERT_TRUE(made && made->hasEventRecord());
        EXPECT_EQ(made->allTouches()->count(), event.touch ? 1u : 0u);
        EXPECT_EQ(made->allTouches()->anyObject(), event.touch);
        const auto expected = expectedRecord(event.location, event.phase == UITouchPhaseEnded);
        for (std::size_t offset = 0; offset < expected.size(); offset += 4) {
            EXPECT_EQ(std::memcmp(made->eventRecord().data() + offset, expected.data() + offset, 4), 0)
                << "the word at offset " << offset;
        }
    }
    EXPECT_EQ(initWithTouch(nullptr, touch), nullptr);
}

using LegacyControllerTest = LegacyTest;

TEST_F(LegacyControllerTest, BackgroundStretchesFromItsMiddleCountingPoints) {
    // 41 x 71 points at either scale: the caps are half of that, rounded down.
    writePng("Background.png", 41, 71);
    writePng("Background@2x.png", 82, 142);
    controller->setBundle(NSBundle::bundleWithPath(NSStr(bundle.path())));
    for (const double scale : {1.0, 2.0}) {
        NSBundle::setPreferredImageScale(scale);
        const Ptr<UIImage> background = placeholderBackground();
        ASSERT_NE(background, nullptr);
        EXPECT_EQ(background->scale(), scale);
        EXPECT_EQ(background->leftCapWidth(), 20) << scale;
        EXPECT_EQ(background->topCapHeight(), 35) << scale;
    }
}

TEST_F(LegacyControllerTest, WithoutAReadableBackgroundThePlaceholderShowsNone) {
    ASSERT_NE(placeholderBackground(), nullptr);
    controller->setBundle(NSBundle::bundleWithPath(NSStr(bundle.path())));
    EXPECT_EQ(placeholderBackground(), nullptr) << "no image in the bundle";
    bundle.write("Background.png", "not a png");
    EXPECT_EQ(placeholderBackground(), nullptr) << "an unreadable image";
    controller->setBundle(nullptr);
    EXPECT_EQ(placeholderBackground(), nullptr) << "no bundle";
    EXPECT_TRUE(widgetView->subviews().empty());
}

TEST_F(LegacyControllerTest, TapsReachTheButtonUnderThePoint) {
    const auto left = addButton(CGRectMake(20, 10, 40, 40));
    const auto right = addButton(CGRectMake(200, 10, 50, 50));
    const struct {
        const char* name;
        CGPoint point;
        int leftTaps;
        int rightTaps;
        std::size_t widgetViewDeliveries;
    } taps[] = {
        {"left button", CGPointMake(30, 30), 1, 0, 0},
        {"right button", CGPointMake(245, 55), 0, 1, 0},
        {"background, which takes no touches", CGPointMake(160, 35), 0, 0, 2},
        {"below the window", CGPointMake(30, 130), 0, 0, 0},
    };
    for (const auto& tap : taps) {
        SCOPED_TRACE(tap.name);
        left->taps = right->taps = 0;
        widgetView->deliveries.clear();
        EXPECT_EQ(controller->launchURLForTapLocation(tap.point), nullptr);
        EXPECT_EQ(left->taps, tap.leftTaps);
        EXPECT_EQ(right->taps, tap.rightTaps);
        EXPECT_EQ(widgetView->deliveries.size(), tap.widgetViewDeliveries);
    }
}

TEST_F(LegacyControllerTest, WithNowhereToDeliverATapDeliversNothing) {
    const auto button = addButton(CGRectMake(20, 10, 40, 40));
    objc_unregisterClass("UITouchesEvent");
    controller->launchURLForTapLocation(CGPointMake(30, 30));
    UITouchesEvent::registerClass();
    strip->removeFromSuperview();
    controller->launchURLForTapLocation(CGPointMake(30, 30));
    controller->setView(nullptr);
    EXPECT_EQ(controller->launchURLForTapLocation(CGPointMake(30, 30)), nullptr);
    EXPECT_EQ(button->taps, 0);
    EXPECT_TRUE(widgetView->deliveries.empty());
}

TEST_F(LegacyControllerTest, ATapIsOneTouchEndingWhereItBeganEvenWhenTheHostLetsGoOnTouchDown) {
    // The fixture holds the only reference to the controller, and drops it.
    widgetView->onBegan = [this] {
        controller->unloadView();
        controller.reset();
    };
    const WeakPtr<TrillboxViewController> weakController = controller;
    EXPECT_EQ(controller.get()->launchURLForTapLocation(CGPointMake(160.5, 30.25)), nullptr);
    EXPECT_TRUE(weakController.expired());
    EXPECT_EQ(widgetView->superview(), nullptr);
    ASSERT_EQ(widgetView->deliveries.size(), 2u);
    const Delivery& began = widgetView->deliveries[0];
    const Delivery& ended = widgetView->deliveries[1];
    EXPECT_EQ(began.deliveredAs, UITouchPhaseBegan);
    EXPECT_EQ(ended.deliveredAs, UITouchPhaseEnded);
    ASSERT_NE(began.touch, nullptr);
    EXPECT_EQ(ended.touch, began.touch);
    EXPECT_NE(ended.event, began.event) << "an event of its own for each phase";
    EXPECT_EQ(ended.touch->view(), widgetView);
    EXPECT_EQ(began.touch->locationInView(nullptr), CGPointMake(160.5, 130.25));
    // The recorded touches hold their view, which holds the records: let go of them.
    widgetView->deliveries.clear();
}

} // namespace
