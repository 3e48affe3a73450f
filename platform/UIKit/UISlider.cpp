#include "UIKit/UISlider.h"

#include <algorithm>
#include <cmath>

#include "UIKit/UIImage.h"
#include "UIKit/UIInputConstants.h"
#include "UIKit/UITouch.h"

Ptr<UISlider> UISlider::init() {
    return initWithFrame(CGRectZero);
}

Ptr<UISlider> UISlider::initWithFrame(CGRect frame) {
    if (!UIControl::initWithFrame(frame)) {
        return nullptr;
    }
    return self<UISlider>();
}

float UISlider::clamped(float value) const {
    return std::max(_minimumValue, std::min(value, _maximumValue));
}

void UISlider::setValue(float value) {
    if (!std::isfinite(value)) {
        return;
    }
    const float newValue = clamped(value);
    if (newValue == _value) {
        return;
    }
    _value = newValue;
    setNeedsDisplay();
}

void UISlider::setMinimumValue(float minimum) {
    if (!std::isfinite(minimum) || minimum == _minimumValue) {
        return;
    }
    _minimumValue = minimum;
    _value = clamped(_value);
    setNeedsDisplay();
}

void UISlider::setMaximumValue(float maximum) {
    if (!std::isfinite(maximum) || maximum == _maximumValue) {
        return;
    }
    _maximumValue = maximum;
    _value = clamped(_value);
    setNeedsDisplay();
}

void UISlider::imagesDidChange() {
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UISlider::setThumbImage(const Ptr<UIImage>& image, UIControlState state) {
    if (_thumbImages.setValue(image, state)) {
        imagesDidChange();
    }
}

void UISlider::setMinimumTrackImage(const Ptr<UIImage>& image, UIControlState state) {
    if (_minimumTrackImages.setValue(image, state)) {
        imagesDidChange();
    }
}

void UISlider::setMaximumTrackImage(const Ptr<UIImage>& image, UIControlState state) {
    if (_maximumTrackImages.setValue(image, state)) {
        imagesDidChange();
    }
}

CGRect UISlider::trackRectForBounds(CGRect bounds) const {
    CGFloat height = 0;
    for (const auto& image : {currentMinimumTrackImage(), currentMaximumTrackImage()}) {
        if (image) {
            height = std::max(height, image->size().height);
        }
    }
    if (height <= 0) {
        height = kUISliderDefaultTrackHeight;
    }
    return CGRectMake(bounds.origin.x, CGRectGetMidY(bounds) - height / 2, bounds.size.width, height);
}

CGRect UISlider::thumbRectForBounds(CGRect bounds, CGRect trackRect, float value) const {
    CGSize size = CGSizeMake(kUISliderDefaultThumbSize, kUISliderDefaultThumbSize);
    if (auto image = currentThumbImage()) {
        size = image->size();
    }
    const double span = static_cast<double>(_maximumValue) - _minimumValue;
    double fraction = span > 0 ? (static_cast<double>(value) - _minimumValue) / span : 0;
    fraction = std::clamp(fraction, 0.0, 1.0);
    const CGFloat travel = std::max<CGFloat>(trackRect.size.width - size.width, 0);
    return CGRectMake(trackRect.origin.x + travel * fraction, CGRectGetMidY(trackRect) - size.height / 2,
                      size.width, size.height);
}

CGRect UISlider::thumbHitRect() const {
    const CGRect bounds = this->bounds();
    const CGRect thumb = thumbRectForBounds(bounds, trackRectForBounds(bounds), _value);
    return CGRectInset(thumb, -kUISliderThumbHitOutset, -kUISliderThumbHitOutset);
}

BOOL UISlider::beginTrackingWithTouch(const Ptr<UITouch>& touch, const Ptr<UIEvent>& event) {
    const CGPoint location = touch->locationInView(self<UIView>());
    const CGRect hitRect = thumbHitRect();
    if (!CGRectContainsPoint(hitRect, location)) {
        return NO;
    }
    _grabOffset = location.x - CGRectGetMidX(hitRect);
    _changedDuringDrag = false;
    return YES;
}

BOOL UISlider::followTouch(const Ptr<UITouch>& touch) {
    const CGRect bounds = this->bounds();
    const CGRect track = trackRectForBounds(bounds);
    const CGRect thumb = thumbRectForBounds(bounds, track, _value);
    const CGFloat travel = track.size.width - thumb.size.width;
    if (travel <= 0) {
        return NO;
    }
    const CGFloat centre = touch->locationInView(self<UIView>()).x - _grabOffset;
    const double fraction = std::clamp((centre - (track.origin.x + thumb.size.width / 2)) / travel, 0.0, 1.0);
    const double span = std::max(static_cast<double>(_maximumValue) - _minimumValue, 0.0);
    const float before = _value;
    setValue(static_cast<float>(_minimumValue + fraction * span));
    return _value != before;
}

BOOL UISlider::continueTrackingWithTouch(const Ptr<UITouch>& touch, const Ptr<UIEvent>& event) {
    if (followTouch(touch)) {
        _changedDuringDrag = true;
        if (_continuous) {
            sendActionsForControlEvents(UIControlEventValueChanged, event);
        }
    }
    return YES;
}

void UISlider::endTrackingWithTouch(const Ptr<UITouch>& touch, const Ptr<UIEvent>& event) {
    // The release point counts as the drag's last step, so its value change comes
    // before the touch up.
    const bool changed = followTouch(touch);
    if ((changed && _continuous) || (!_continuous && (changed || _changedDuringDrag))) {
        sendActionsForControlEvents(UIControlEventValueChanged, event);
    }
    _changedDuringDrag = false;
}

void UISlider::cancelTrackingWithEvent(const Ptr<UIEvent>& event) {
    _changedDuringDrag = false;
}
