#include "UIKit/UILabel.h"

#include <algorithm>
#include <cmath>

#include "Foundation/NSCoder.h"
#include "UIKit/UITextMeasurement.h"

namespace {

// A single line is measured whole, whatever the break mode: it never wraps.
NSLineBreakMode measuringMode(NSLineBreakMode mode, NSInteger numberOfLines) {
    return numberOfLines == 1 ? NSLineBreakByClipping : mode;
}

// Zero stands for "no limit" in a size query, as does CGFLOAT_MAX.
CGFloat queryExtent(CGFloat extent) {
    return extent <= 0 ? CGFLOAT_MAX : extent;
}

} // namespace

Ptr<UILabel> UILabel::init() {
    return initWithFrame(CGRectZero);
}

Ptr<UILabel> UILabel::initWithFrame(CGRect frame) {
    if (!UIView::initWithFrame(frame)) {
        return nullptr;
    }
    setUpLabelDefaults();
    return self<UILabel>();
}

Ptr<UILabel> UILabel::initWithCoder(const Ptr<NSCoder>& coder) {
    if (!UIView::initWithCoder(coder)) {
        return nullptr;
    }
    setUpLabelDefaults();
    if (coder->containsValueForKey("userInteractionEnabled")) {
        _userInteractionEnabled = coder->decodeBoolForKey("userInteractionEnabled");
    }
    _text = std::dynamic_pointer_cast<NSString>(coder->decodeObjectForKey("text"));
    if (auto font = coder->decodeObjectOfClass<UIFont>("font")) {
        _font = font;
    }
    if (auto color = coder->decodeObjectOfClass<UIColor>("textColor")) {
        _textColor = color;
    }
    _shadowColor = coder->decodeObjectOfClass<UIColor>("shadowColor");
    if (coder->containsValueForKey("shadowOffset")) {
        _shadowOffset = coder->decodeCGSizeForKey("shadowOffset");
    }
    _highlightedTextColor = coder->decodeObjectOfClass<UIColor>("highlightedTextColor");
    _highlighted = coder->decodeBoolForKey("highlighted");
    if (coder->containsValueForKey("enabled")) {
        _enabled = coder->decodeBoolForKey("enabled");
    }
    _baselineAdjustment = static_cast<UIBaselineAdjustment>(coder->decodeIntegerForKey("baselineAdjustment"));
    if (coder->containsValueForKey("numberOfLines")) {
        _numberOfLines = std::max<NSInteger>(0, coder->decodeIntegerForKey("numberOfLines"));
    }
    _adjustsFontSizeToFitWidth = coder->decodeBoolForKey("adjustsFontSizeToFitWidth");
    const double minimumFontSize = coder->decodeDoubleForKey("minimumFontSize");
    _minimumFontSize = std::isfinite(minimumFontSize) ? std::max(0.0, minimumFontSize) : 0.0;
    _textAlignment = static_cast<NSTextAlignment>(coder->decodeIntegerForKey("textAlignment"));
    if (coder->containsValueForKey("lineBreakMode")) {
        _lineBreakMode = static_cast<NSLineBreakMode>(coder->decodeIntegerForKey("lineBreakMode"));
    }
    return self<UILabel>();
}

void UILabel::setUpLabelDefaults() {
    _font = UIFont::systemFontOfSize(UIFont::labelFontSize());
    _textColor = UIColor::blackColor();
    _userInteractionEnabled = false;
}

void UILabel::textLayoutDidChange() {
    _drawnText.invalidate();
    _naturalText.invalidate();
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UILabel::setText(const Ptr<NSString>& text) {
    if (NSObjectsEqual(text.get(), _text.get())) {
        return;
    }
    _text = text;
    textLayoutDidChange();
}

void UILabel::setFont(const Ptr<UIFont>& font) {
    auto newFont = font ? font : UIFont::systemFontOfSize(UIFont::labelFontSize());
    if (NSObjectsEqual(newFont.get(), _font.get())) {
        return;
    }
    _font = std::move(newFont);
    textLayoutDidChange();
}

void UILabel::setTextColor(const Ptr<UIColor>& color) {
    auto newColor = color ? color : UIColor::blackColor();
    if (NSObjectsEqual(newColor.get(), _textColor.get())) {
        return;
    }
    _textColor = std::move(newColor);
    setNeedsDisplay();
}

void UILabel::setShadowColor(const Ptr<UIColor>& color) {
    if (NSObjectsEqual(color.get(), _shadowColor.get())) {
        return;
    }
    _shadowColor = color;
    setNeedsDisplay();
}

void UILabel::setShadowOffset(CGSize offset) {
    if (!std::isfinite(offset.width) || !std::isfinite(offset.height) || offset == _shadowOffset) {
        return;
    }
    _shadowOffset = offset;
    setNeedsDisplay();
}

void UILabel::setHighlightedTextColor(const Ptr<UIColor>& color) {
    if (NSObjectsEqual(color.get(), _highlightedTextColor.get())) {
        return;
    }
    _highlightedTextColor = color;
    setNeedsDisplay();
}

void UILabel::setHighlighted(BOOL highlighted) {
    if (highlighted == _highlighted) {
        return;
    }
    _highlighted = highlighted;
    setNeedsDisplay();
}

void UILabel::setEnabled(BOOL enabled) {
    if (enabled == _enabled) {
        return;
    }
    _enabled = enabled;
    setNeedsDisplay();
}

void UILabel::setBaselineAdjustment(UIBaselineAdjustment adjustment) {
    if (adjustment == _baselineAdjustment) {
        return;
    }
    _baselineAdjustment = adjustment;
    setNeedsDisplay();
}

void UILabel::setNumberOfLines(NSInteger lines) {
    lines = std::max<NSInteger>(0, lines);
    if (lines == _numberOfLines) {
        return;
    }
    _numberOfLines = lines;
    textLayoutDidChange();
}

void UILabel::setAdjustsFontSizeToFitWidth(BOOL adjusts) {
    if (adjusts == _adjustsFontSizeToFitWidth) {
        return;
    }
    _adjustsFontSizeToFitWidth = adjusts;
    setNeedsDisplay();
}

void UILabel::setMinimumFontSize(CGFloat size) {
    size = std::isfinite(size) ? std::max(0.0, size) : 0.0;
    if (size == _minimumFontSize) {
        return;
    }
    _minimumFontSize = size;
    setNeedsDisplay();
}

void UILabel::setTextAlignment(NSTextAlignment alignment) {
    if (alignment == _textAlignment) {
        return;
    }
    _textAlignment = alignment;
    setNeedsDisplay();
}

void UILabel::setLineBreakMode(NSLineBreakMode mode) {
    if (mode == _lineBreakMode) {
        return;
    }
    _lineBreakMode = mode;
    textLayoutDidChange();
}

CGRect UILabel::textRectForBounds(CGRect bounds, NSInteger numberOfLines) const {
    bounds = CGRectStandardize(bounds);
    const auto text = this->text();
    const auto font = this->font();
    const CGSize size = UITextMeasurement::current().sizeOfText(
        NSStringText(text), font.get(), CGSizeMake(bounds.size.width, queryExtent(bounds.size.height)),
        measuringMode(lineBreakMode(), numberOfLines), numberOfLines);
    CGFloat x = bounds.origin.x;
    switch (textAlignment()) {
    case NSTextAlignmentCenter:
        x += (bounds.size.width - size.width) / 2;
        break;
    case NSTextAlignmentRight:
        x += bounds.size.width - size.width;
        break;
    default:
        break;
    }
    return CGRectMake(x, bounds.origin.y + (bounds.size.height - size.height) / 2, size.width, size.height);
}

CGSize UILabel::sizeThatFits(CGSize size) const {
    const auto text = this->text();
    const auto font = this->font();
    const NSInteger lines = numberOfLines();
    return UITextMeasurement::current().sizeOfText(
        NSStringText(text), font.get(), CGSizeMake(queryExtent(size.width), queryExtent(size.height)),
        measuringMode(lineBreakMode(), lines), lines);
}

CGSize UILabel::intrinsicContentSize() const {
    const auto text = this->text();
    const auto font = this->font();
    const NSInteger lines = numberOfLines();
    return UITextMeasurement::current().sizeOfText(NSStringText(text), font.get(),
                                                   CGSizeMake(CGFLOAT_MAX, CGFLOAT_MAX),
                                                   measuringMode(lineBreakMode(), lines), lines);
}

const NSKeyValueTable& UILabel::keyValueTable() const {
    // The view's keys, then the label's.
    static const NSKeyValueTable table = [this] {
        NSKeyValueTable keys = UIView::keyValueTable();
        keys.add("text", &UILabel::text, &UILabel::setText)
            .add("font", &UILabel::font, &UILabel::setFont)
            .add("textColor", &UILabel::textColor, &UILabel::setTextColor)
            .add("shadowColor", &UILabel::shadowColor, &UILabel::setShadowColor)
            .add("shadowOffset", &UILabel::shadowOffset, &UILabel::setShadowOffset)
            .add("highlightedTextColor", &UILabel::highlightedTextColor, &UILabel::setHighlightedTextColor)
            .add("highlighted", &UILabel::isHighlighted, &UILabel::setHighlighted)
            .add("enabled", &UILabel::isEnabled, &UILabel::setEnabled)
            .add("baselineAdjustment", &UILabel::baselineAdjustment, &UILabel::setBaselineAdjustment)
            .add("numberOfLines", &UILabel::numberOfLines, &UILabel::setNumberOfLines)
            .add("adjustsFontSizeToFitWidth", &UILabel::adjustsFontSizeToFitWidth,
                 &UILabel::setAdjustsFontSizeToFitWidth)
            .add("minimumFontSize", &UILabel::minimumFontSize, &UILabel::setMinimumFontSize)
            .add("textAlignment", &UILabel::textAlignment, &UILabel::setTextAlignment)
            .add("lineBreakMode", &UILabel::lineBreakMode, &UILabel::setLineBreakMode);
        return keys;
    }();
    return table;
}
