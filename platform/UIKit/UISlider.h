#pragma once

#include "UIKit/UIControl.h"
#include "UIKit/UIControlStateTable.h"

class UIImage;

// A control for a value in a range, shown as a thumb on a track. Values are
// single precision and always lie in [minimumValue, maximumValue] (an empty range,
// maximum below minimum, holds the minimum).
//
// A drag starts only from a touch on the thumb (its hit area is
// kUISliderThumbHitOutset larger on every side); a touch on the bare track is not
// tracked and sends nothing. While dragged the thumb follows the finger and each
// step that changes the value sends value changed (continuous sliders; others send
// it once on release, before the touch up). Nothing follows the touch up or cancel.
class UISlider : public UIControl {
public:
    Ptr<UISlider> init();
    Ptr<UISlider> initWithFrame(CGRect frame);

    float value() const { return _value; }
    // Stores `value` clamped to the range; sends no action. NaN and infinities are
    // ignored (the value stays).
    void setValue(float value);
    void setValue(float value, BOOL animated) { setValue(value); }
    // The ends of the range (default 0 and 1). The value is clamped again when they
    // move. NaN and infinities are ignored.
    float minimumValue() const { return _minimumValue; }
    void setMinimumValue(float minimum);
    float maximumValue() const { return _maximumValue; }
    void setMaximumValue(float maximum);
    // Whether value changed is sent during the drag (default YES).
    BOOL isContinuous() const { return _continuous; }
    void setContinuous(BOOL continuous) { _continuous = continuous; }

    // Images per state (see UIControlStateTable).
    void setThumbImage(const Ptr<UIImage>& image, UIControlState state);
    Ptr<UIImage> thumbImageForState(UIControlState state) const { return _thumbImages.valueForState(state); }
    void setMinimumTrackImage(const Ptr<UIImage>& image, UIControlState state);
    Ptr<UIImage> minimumTrackImageForState(UIControlState state) const {
        return _minimumTrackImages.valueForState(state);
    }
    void setMaximumTrackImage(const Ptr<UIImage>& image, UIControlState state);
    Ptr<UIImage> maximumTrackImageForState(UIControlState state) const {
        return _maximumTrackImages.valueForState(state);
    }
    Ptr<UIImage> currentThumbImage() const { return thumbImageForState(state()); }
    Ptr<UIImage> currentMinimumTrackImage() const { return minimumTrackImageForState(state()); }
    Ptr<UIImage> currentMaximumTrackImage() const { return maximumTrackImageForState(state()); }

    // Geometry, in the slider's bounds coordinates. The track spans the bounds'
    // width, centred vertically, as high as its tallest image (or
    // kUISliderDefaultTrackHeight). The thumb (its image's size, or
    // kUISliderDefaultThumbSize square) travels so that it stays on the track: at
    // the minimum its left edge meets the track's, at the maximum its right edge.
    CGRect trackRectForBounds(CGRect bounds) const;
    CGRect thumbRectForBounds(CGRect bounds, CGRect trackRect, float value) const;
    // Where a touch must land to grab the thumb.
    CGRect thumbHitRect() const;
    // Draws the minimum track up to the thumb's centre, the maximum track after it, and the thumb.
    void drawRect(CGRect rect) override;

    BOOL beginTrackingWithTouch(const Ptr<UITouch>& touch, const Ptr<UIEvent>& event) override;
    BOOL continueTrackingWithTouch(const Ptr<UITouch>& touch, const Ptr<UIEvent>& event) override;
    void endTrackingWithTouch(const Ptr<UITouch>& touch, const Ptr<UIEvent>& event) override;
    void cancelTrackingWithEvent(const Ptr<UIEvent>& event) override;

private:
    float clamped(float value) const;
    // Moves the value to where the finger puts the thumb's centre; answers whether
    // it changed.
    BOOL followTouch(const Ptr<UITouch>& touch);
    void imagesDidChange();

    float _value = 0;
    float _minimumValue = 0;
    float _maximumValue = 1;
    bool _continuous = true;
    // Finger x minus thumb centre x when the thumb was grabbed, so that the thumb
    // does not jump under the finger.
    CGFloat _grabOffset = 0;
    bool _changedDuringDrag = false;
    UIControlStateTable<UIImage> _thumbImages;
    UIControlStateTable<UIImage> _minimumTrackImages;
    UIControlStateTable<UIImage> _maximumTrackImages;
};
