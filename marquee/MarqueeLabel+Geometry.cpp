// Text measurement, the scroll decision, sizing to the text, the lazily computed
// resting and far frames, and reacting to a new size.
#include <algorithm>
#include <cmath>

#include "marquee/MarqueeLabel.h"

CGSize MarqueeLabel::subLabelSize() const {
    CGFloat width = 0;
    if (_subLabel) {
        if (auto text = _subLabel->text()) {
            width =
                sizeWithFont(text, font(), CGSizeMake(CGFLOAT_MAX, CGFLOAT_MAX), NSLineBreakByClipping).width;
        }
    }
    // Rounded up in single precision, as the text width has always been rounded.
    width = static_cast<CGFloat>(std::ceil(static_cast<float>(width)));
    return CGSizeMake(width, bounds().size.height);
}

CGSize MarqueeLabel::sizeThatFits(CGSize size) const {
    CGSize fitting = _subLabel ? _subLabel->sizeThatFits(size) : CGSizeZero;
    fitting.width += 2.0 * _fadeLength;
    return fitting;
}

CGSize MarqueeLabel::intrinsicContentSize() const {
    return _subLabel ? _subLabel->intrinsicContentSize() : CGSizeZero;
}

void MarqueeLabel::minimizeLabelFrameWithMaximumSize(CGSize maximumSize, BOOL adjustHeight) {
    if (!_subLabel || !_subLabel->text()) {
        return;
    }
    if (maximumSize.width == 0 && maximumSize.height == 0) {
        maximumSize = CGSizeMake(CGFLOAT_MAX, CGFLOAT_MAX);
    }
    const CGSize needed = subLabelSize();
    const CGRect current = frame();
    const CGFloat width = std::min(needed.width + 2.0 * _fadeLength, maximumSize.width);
    const CGFloat height = adjustHeight ? std::min(needed.height, maximumSize.height) : current.size.height;
    setFrame(CGRectMake(current.origin.x, current.origin.y, width, height));
}

BOOL MarqueeLabel::labelShouldScroll() const {
    const auto text = _subLabel ? _subLabel->text() : nullptr;
    if (!text || text->length() == 0) {
        return NO;
    }
    // The continuous left type shows a copy after the text, so it needs both fades clear.
    const CGFloat fade = _marqueeType == MarqueeTypeContinuousLeft ? 2.0 * _fadeLength : _fadeLength;
    if (_labelize) {
        return NO;
    }
    return bounds().size.width < subLabelSize().width + fade;
}

CGRect MarqueeLabel::homeLabelFrame() {
    if (CGRectEqualToRect(_homeLabelFrame, CGRectNull)) {
        const CGSize size = subLabelSize();
        _homeLabelFrame = CGRectMake(_fadeLength, 0, size.width + _fadeLength, bounds().size.height);
    }
    return _homeLabelFrame;
}

CGRect MarqueeLabel::awayLabelFrame() {
    if (CGRectEqualToRect(_awayLabelFrame, CGRectNull)) {
        const CGRect home = homeLabelFrame();
        const CGFloat shift = bounds().size.width - 2.0 * _fadeLength - subLabelSize().width;
        _awayLabelFrame = CGRectOffset(home, shift, 0);
    }
    return _awayLabelFrame;
}

void MarqueeLabel::setBounds(CGRect bounds) {
    const CGRect previous = this->bounds();
    UILabel::setBounds(bounds);
    if (previous.size.width == bounds.size.width && previous.size.height == bounds.size.height) {
        return;
    }
    // During a rotation the text stays at rest until the rotation has ended.
    applyGradientMaskForFadeLength(_fadeLength, !_orientationWillChange);
    updateSublabelAndLocationsAndBeginScroll(!_orientationWillChange);
}
