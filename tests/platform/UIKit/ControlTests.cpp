#include <gtest/gtest.h>

#include <cmath>

#include "InputTestSupport.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIInputConstants.h"
#include "UIKit/UILongPressGestureRecognizer.h"
#include "UIKit/UISlider.h"

namespace {

using Names = std::vector<std::string>;

// Records control actions by name; each form of action (no argument, sender,
// sender and event) is used somewhere.
class ControlLog : public NSObject {
public:
    void down() { names.push_back("down"); }
    void upInside(const Ptr<UIButton>& button) { names.push_back(button ? "upInside" : "upInside(nil)"); }
    void upOutside(const Ptr<NSObject>& sender, const Ptr<UIEvent>& event) { names.push_back("upOutside"); }
    void cancel() { names.push_back("cancel"); }
    void exit() { names.push_back("exit"); }
    void enter() { names.push_back("enter"); }
    void changed(const Ptr<UISlider>& slider) {
        names.push_back("changed " + std::to_string(slider->value()));
    }
    void sliderUpInside() { names.push_back("upInside"); }
    void sliderUpOutside() { names.push_back("upOutside"); }
    void first() { names.push_back("first"); }
    void second() { names.push_back("second"); }
    Names names;
};

class ControlTest : public InputTest {
protected:
    void SetUp() override {
        InputTest::SetUp();
        log = makeObject<ControlLog>();
        button = UIButton::buttonWithType(UIButtonTypeCustom);
        button->setFrame(CGRectMake(120, 42, 32, 20));
        button->addTarget(log, &ControlLog::down, UIControlEventTouchDown);
        button->addTarget(log, &ControlLog::upInside, UIControlEventTouchUpInside);
        button->addTarget(log, &ControlLog::upOutside, UIControlEventTouchUpOutside);
        button->addTarget(log, &ControlLog::cancel, UIControlEventTouchCancel);
        window->addSubview(button);

        // The widget's time slider: 0 to 100, thumb (default size 20) at 0.
        slider = makeView<UISlider>(CGRectMake(150, 75, 120, 20));
        slider->setMaximumValue(100);
        slider->addTarget(log, &ControlLog::changed, UIControlEventValueChanged);
        slider->addTarget(log, &ControlLog::sliderUpInside, UIControlEventTouchUpInside);
        slider->addTarget(log, &ControlLog::sliderUpOutside, UIControlEventTouchUpOutside);
        window->addSubview(slider);
    }

    Ptr<ControlLog> log;
    Ptr<UIButton> button;
    Ptr<UISlider> slider;
};

TEST_F(ControlTest, ButtonPressReleasedInsideSendsTouchUpInside) {
    down(130, 50);
    EXPECT_TRUE(button->isHighlighted());
    up(131, 51);
    EXPECT_EQ(log->names, (Names{"down", "upInside"}));
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_FALSE(button->isTracking());
}

TEST_F(ControlTest, ButtonPressEndingOutsideSendsOnlyTouchUpOutside) {
    button->addTarget(log, &ControlLog::exit, UIControlEventTouchDragExit);
    button->addTarget(log, &ControlLog::enter, UIControlEventTouchDragEnter);
    down(130, 50);
    move(140, 50);
    move(200, 50); // out
    move(210, 50);
    move(140, 50); // back in
    move(200, 90); // out again
    up(200, 90);
    EXPECT_EQ(log->names, (Names{"down", "exit", "enter", "exit", "upOutside"}));
}

TEST_F(ControlTest, ActionsOfOneEventRunInTheOrderAdded) {
    button->addTarget(log, &ControlLog::first, UIControlEventTouchUpInside);
    button->addTarget(log, &ControlLog::second, UIControlEventTouchUpInside);
    button->addTarget(log, &ControlLog::first, UIControlEventTouchUpInside); // already there
    EXPECT_EQ(button->actionCountForControlEvents(UIControlEventTouchUpInside), 3u);
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(log->names, (Names{"upInside", "first", "second"}));

    log->names.clear();
    button->removeTarget(log.get(), &ControlLog::first, UIControlEventTouchUpInside);
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(log->names, (Names{"upInside", "second"}));
    button->removeTarget(log.get(), UIControlEventAllEvents);
    EXPECT_EQ(button->allControlEvents(), 0u);
}

TEST_F(ControlTest, TargetsAreHeldWeakly) {
    WeakPtr<ControlLog> weakLog = log;
    log.reset();
    EXPECT_TRUE(weakLog.expired());
    tap(130, 50); // the actions of a target that went away are dropped, not sent
    EXPECT_EQ(button->allControlEvents(), 0u);
    EXPECT_EQ(slider->allControlEvents(), 0u);
}

TEST_F(ControlTest, DisabledControlSendsNothingAndDisablingMidPressCancels) {
    button->setEnabled(false);
    tap(130, 50);
    EXPECT_TRUE(log->names.empty());

    button->setEnabled(true);
    down(130, 50);
    button->setEnabled(false);
    up(130, 50);
    EXPECT_EQ(log->names, (Names{"down", "cancel"}));
}

TEST_F(ControlTest, LongPressOnAnAncestorCancelsTheButtonTouch) {
    auto press = makeObject<UILongPressGestureRecognizer>();
    window->addGestureRecognizer(press);
    down(130, 50);
    advance(1);
    up(130, 50);
    EXPECT_EQ(log->names, (Names{"down", "cancel"}));
}

TEST_F(ControlTest, SliderDragSendsValueChangedOnEachStepThenTouchUpInside) {
    // The thumb spans x 150..170 in the window; its travel is 100 points.
    down(160, 85);
    move(170, 85);
    move(180, 85);
    move(180, 95); // no horizontal change, no new value
    up(180, 90);
    EXPECT_EQ(log->names, (Names{"changed 10.000000", "changed 20.000000", "upInside"}));
    EXPECT_FLOAT_EQ(slider->value(), 20);
}

TEST_F(ControlTest, SliderReleasedOutsideSendsTouchUpOutsideAndNothingAfter) {
    down(160, 85);
    move(230, 60); // above the slider: the thumb follows x only
    up(230, 60);
    move(240, 60);
    EXPECT_EQ(log->names, (Names{"changed 70.000000", "upOutside"}));
}

TEST_F(ControlTest, SliderValueStopsAtTheEndsWhileTheFingerGoesOn) {
    down(160, 85);
    move(300, 85);
    move(310, 85);
    up(310, 85);
    EXPECT_EQ(log->names, (Names{"changed 100.000000", "upOutside"}));
}

TEST_F(ControlTest, TapOnTheBareTrackChangesNothing) {
    tap(250, 85);
    EXPECT_TRUE(log->names.empty());
    EXPECT_FLOAT_EQ(slider->value(), 0);

    // The thumb's hit area reaches a few points past the thumb.
    down(170 + kUISliderThumbHitOutset - 1, 85);
    move(200, 85);
    up(200, 85);
    EXPECT_EQ(log->names.size(), 2u);
}

TEST_F(ControlTest, SliderWithUserInteractionOffTakesNoTouches) {
    slider->setUserInteractionEnabled(false);
    down(160, 85);
    move(200, 85);
    up(200, 85);
    EXPECT_TRUE(log->names.empty());
}

TEST_F(ControlTest, SliderCancelKeepsTheValueAndSendsNoMoreChanges) {
    slider->addTarget(log, &ControlLog::cancel, UIControlEventTouchCancel);
    down(160, 85);
    move(180, 85);
    pointer->injectTouch(UITouchPhaseCancelled, {190, 85}, now());
    EXPECT_EQ(log->names, (Names{"changed 20.000000", "cancel"}));
    EXPECT_FLOAT_EQ(slider->value(), 20);
}

TEST_F(ControlTest, SliderValueIsClampedSinglePrecision) {
    slider->setValue(150);
    EXPECT_FLOAT_EQ(slider->value(), 100);
    slider->setValue(-3);
    EXPECT_FLOAT_EQ(slider->value(), 0);
    slider->setValue(1.0f / 3);
    EXPECT_EQ(slider->value(), 1.0f / 3);
    slider->setValue(NAN);
    EXPECT_EQ(slider->value(), 1.0f / 3);

    slider->setValue(80);
    slider->setMaximumValue(50); // the value follows a shrinking range
    EXPECT_FLOAT_EQ(slider->value(), 50);
    slider->setMaximumValue(INFINITY);
    EXPECT_FLOAT_EQ(slider->maximumValue(), 50);
    slider->setMaximumValue(-10); // an empty range holds the minimum
    EXPECT_FLOAT_EQ(slider->value(), 0);
    EXPECT_TRUE(log->names.empty()); // programmatic changes send nothing
}

TEST_F(ControlTest, ThumbTravelsAcrossTheTrack) {
    const CGRect bounds = slider->bounds();
    const CGRect track = slider->trackRectForBounds(bounds);
    EXPECT_EQ(slider->thumbRectForBounds(bounds, track, 0).origin.x, 0);
    EXPECT_EQ(CGRectGetMaxX(slider->thumbRectForBounds(bounds, track, 100)), 120);
    EXPECT_EQ(slider->thumbRectForBounds(bounds, track, 50).origin.x, 50);
    EXPECT_EQ(CGRectGetMidY(slider->thumbRectForBounds(bounds, track, 50)), 10);
}

} // namespace
