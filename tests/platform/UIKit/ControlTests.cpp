#include <gtest/gtest.h>

#include <cmath>

#include "UIKit/UIButton.h"
#include "UIKit/UISlider.h"
#include "platform/UIKit/InputTestSupport.h"

namespace {

// The widget's button at (120, 42)-(152, 62) and its time slider, 0 to 100, at
// (150, 75)-(270, 95), whose 20-point thumb travels 100 points. The events below
// are logged, the slider's with its value.
class ControlTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        button = UIButton::buttonWithType(UIButtonTypeCustom);
        button->setFrame(CGRectMake(120, 42, 32, 20));
        slider = alloc<UISlider>()->initWithFrame(CGRectMake(150, 75, 120, 20));
        slider->setMaximumValue(100);
        window->addSubview(button);
        window->addSubview(slider);
        const auto value = [](const Ptr<NSObject>& sender) {
            return twoDecimals(as<UISlider>(sender)->value());
        };
        for (const auto& [event, name] :
             std::vector<std::pair<UIControlEvents, std::string>>{{UIControlEventTouchDown, "down"},
                                                                  {UIControlEventTouchUpInside, "upInside"},
                                                                  {UIControlEventTouchUpOutside, "upOutside"},
                                                                  {UIControlEventTouchCancel, "cancel"},
                                                                  {UIControlEventValueChanged, "changed"}}) {
            button->addTarget(recorder("button " + name), &ActionRecorder::fire, event);
            slider->addTarget(recorder("slider " + name, value), &ActionRecorder::fire, event);
        }
    }

    Ptr<UIButton> button;
    Ptr<UISlider> slider;
};

TEST_F(ControlTest, TouchesBecomeControlEvents) {
    // Each slider case starts at the value the one before left.
    const std::vector<std::tuple<const char*, const char*, const char*>> cases = {
        {"a press released inside", "down 130 50, up 131 51", "button down, button upInside"},
        {"a press dragged in and out, released outside",
         "down 130 50, move 200 50, move 140 50, move 200 90, up 200 90", "button down, button upOutside"},
        {"a slider drag sends one change per horizontal step",
         "down 160 85, move 170 85, move 180 85, move 180 94, up 180 90",
         "slider down 0.00, slider changed 10.00, slider changed 20.00, slider upInside 20.00"},
        {"a slider drag released outside, then nothing", "down 165 85, move 235 60, up 235 60, move 240 60",
         "slider down 20.00, slider changed 90.00, slider upOutside 90.00"},
        {"the value stops at the end while the finger goes on",
         "down 245 85, move 300 85, move 310 85, up 310 85",
         "slider down 90.00, slider changed 100.00, slider upOutside 100.00"},
        {"a drag from the bare track moves nothing", "down 230 85, move 180 85, up 180 85", ""},
        {"the thumb's hit area reaches 6 points past the thumb", "down 245 85, move 200 85, up 200 85",
         "slider down 100.00, slider changed 55.00, slider upInside 55.00"},
        {"but no farther", "down 233 85, move 200 85, up 200 85", ""},
        {"a cancelled drag keeps its value", "down 215 85, move 235 85, cancel 250 85",
         "slider down 55.00, slider changed 75.00, slider cancel 75.00"},
    };
    for (const auto& [name, script, expected] : cases) {
        SCOPED_TRACE(name);
        log.clear();
        play(script);
        EXPECT_EQ(logLine(), expected);
    }
}

TEST_F(ControlTest, ADisabledButtonSendsNothingAndDisablingItMidPressCancels) {
    button->setEnabled(false);
    play("down 130 50, up 130 50");
    button->setEnabled(true);
    play("down 130 50");
    button->setEnabled(false);
    play("up 130 50");
    EXPECT_EQ(logLine(), "button down, button cancel");
}

TEST_F(ControlTest, TargetsAreHeldWeakly) {
    recorders.clear();
    play("down 130 50, up 130 50, down 160 85, move 200 85, up 200 85");
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(button->allControlEvents(), 0u);
}

TEST_F(ControlTest, SliderValueIsClampedToAFiniteRangeAndSetsSendNothing) {
    for (const auto& [given, expected] :
         std::vector<std::pair<float, float>>{{150, 100}, {-3, 0}, {1.0f / 3, 1.0f / 3}, {NAN, 1.0f / 3}}) {
        slider->setValue(given);
        EXPECT_EQ(slider->value(), expected) << given;
    }
    slider->setValue(80);
    slider->setMaximumValue(50); // the value follows a shrinking range
    EXPECT_EQ(slider->value(), 50);
    slider->setMaximumValue(INFINITY);
    slider->setMaximumValue(-10); // an empty range holds the minimum
    EXPECT_EQ(slider->value(), 0);
    EXPECT_TRUE(log.empty());
}

} // namespace
