#pragma once

#include <string>

#include "support/TestSupport.h"
#include "UIKit/UITextMeasurement.h"
#include "UIKit/UIViewController.h"
#include "UIKit/UIWindow.h"
#include "marquee/MarqueeLabel.h"

// A window showing a controller's view, text measured with the fixed-advance test
// font (a 16-point font advances 10 points per character), and helpers to make
// labels and read where their text is shown.
class MarqueeTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        UITextMeasurement::setCurrent(std::make_shared<UIFixedAdvanceTextMeasurement>());
        _window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 480));
        _controller = alloc<UIViewController>()->init();
        _window->setRootViewController(_controller);
        _window->makeKeyAndVisible();
    }
    void TearDown() override {
        _window.reset();
        _controller.reset();
        UITextMeasurement::setCurrent(nullptr);
        PlatformTest::TearDown();
    }

    // A text of `width` points in the 16-point test font.
    static Ptr<NSString> textOfWidth(int width) {
        return NSStr(std::string(static_cast<std::size_t>(width / 10), 'x'));
    }
    static Ptr<UIFont> testFont() { return UIFont::systemFontOfSize(16); }

    // The widget's kind of label: 200 x 20, rate 50, fade 20, buffer 20, linear,
    // the test font, of `type`, not yet showing any text.
    Ptr<MarqueeLabel> makeLabel(NSUInteger type, CGRect frame = CGRectMake(0, 0, 200, 20)) {
        auto label = alloc<MarqueeLabel>()->initWithFrameRateAndFadeLength(frame, 50, 20);
        label->setMarqueeType(type);
        label->setAnimationCurve(UIViewAnimationOptionCurveLinear);
        label->setContinuousMarqueeExtraBuffer(20);
        label->setFont(testFont());
        return label;
    }
    // The same label given a 300-point text and put into the controller's view now.
    Ptr<MarqueeLabel> showLabel(NSUInteger type) {
        auto label = makeLabel(type);
        label->setText(textOfWidth(300));
        _controller->view()->addSubview(label);
        return label;
    }

    // Where a view is shown now, with its animations applied.
    static CGFloat shownX(const Ptr<UIView>& view) { return view->presentationFrame().origin.x; }
    // The continuous types' copy of the text (tag 701), or nil.
    static Ptr<UIView> copyOf(const Ptr<MarqueeLabel>& label) {
        for (const auto& view : label->subviews()) {
            if (view->tag() == 701) {
                return view;
            }
        }
        return nullptr;
    }

    Ptr<UIWindow> _window;
    Ptr<UIViewController> _controller;
};

inline void ExpectRect(CGRect actual, CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
    EXPECT_DOUBLE_EQ(actual.origin.x, x);
    EXPECT_DOUBLE_EQ(actual.origin.y, y);
    EXPECT_DOUBLE_EQ(actual.size.width, width);
    EXPECT_DOUBLE_EQ(actual.size.height, height);
}
