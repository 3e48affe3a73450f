#pragma once

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>

#include "UIKit/UITextMeasurement.h"
#include "UIKit/UIViewController.h"
#include "UIKit/UIWindow.h"
#include "marquee/MarqueeLabel.h"
#include "support/TestSupport.h"

// A controller's view in a window, text measured with the fixed-advance test font
// (10 points a character at 16 points), and labels to follow over time.
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
    static Ptr<NSString> textOfWidth(int width) { return NSStr(std::string(width / 10, 'x')); }

    // The widget's kind of label: rate 50, fade 20, buffer 20, linear, the test font.
    Ptr<MarqueeLabel> makeLabel(NSUInteger type, CGRect frame = CGRectMake(0, 0, 200, 20)) {
        auto label = alloc<MarqueeLabel>()->initWithFrameRateAndFadeLength(frame, 50, 20);
        label->setMarqueeType(type);
        label->setAnimationCurve(UIViewAnimationOptionCurveLinear);
        label->setContinuousMarqueeExtraBuffer(20);
        label->setFont(UIFont::systemFontOfSize(16));
        return label;
    }
    // The same label, set up, given a 300-point text and shown (in the controller's view).
    Ptr<MarqueeLabel> showLabel(NSUInteger type, const std::function<void(MarqueeLabel&)>& setUp = {},
                                Ptr<UIView> parent = nullptr) {
        auto label = makeLabel(type);
        if (setUp) {
            setUp(*label);
        }
        label->setText(textOfWidth(300));
        (parent ? parent : _controller->view())->addSubview(label);
        return label;
    }

    static CGFloat shownX(const Ptr<UIView>& view) { return view->presentationFrame().origin.x; }
    // The continuous types' copy of the text (tag 701), or nil.
    static Ptr<UIView> copyOf(const Ptr<MarqueeLabel>& label) {
        const auto& views = label->subviews();
        const auto copy =
            std::find_if(views.begin(), views.end(), [](const auto& view) { return view->tag() == 701; });
        return copy == views.end() ? nullptr : *copy;
    }

    // Move the clock on, then where the text (and its copy, unless NaN) is shown.
    struct Step {
        double advance;
        CGFloat x;
        CGFloat copyX = NAN;
    };
    void expectTimeline(const Ptr<MarqueeLabel>& label, std::initializer_list<Step> steps) {
        for (const Step& step : steps) {
            advance(step.advance);
            EXPECT_NEAR(shownX(label->subLabel()), step.x, 1e-3) << "at " << now();
            if (!std::isnan(step.copyX)) {
                const auto copy = copyOf(label);
                ASSERT_NE(copy, nullptr);
                EXPECT_NEAR(shownX(copy), step.copyX, 1e-3) << "copy at " << now();
            }
        }
    }

    Ptr<UIWindow> _window;
    Ptr<UIViewController> _controller;
};
