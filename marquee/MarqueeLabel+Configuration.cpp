// Creation, teardown, the sublabel and the routing of label properties to it, and
// the marquee settings' setters.
#include <algorithm>
#include <cmath>

#include "QuartzCore/CALayer.h"
#include "UIKit/UITapGestureRecognizer.h"
#include "marquee/MarqueeLabel.h"

namespace {

constexpr NSInteger kSubLabelTag = 700;
constexpr NSTimeInterval kDefaultLengthOfScroll = 7.0;
constexpr NSUInteger kAnimationCurveMask = 0x30000;

// The label keys an interface file's values reach the sublabel by.
constexpr const char* kForwardedKeys[] = {
    "baselineAdjustment",
    "enabled",
    "font",
    "highlighted",
    "highlightedTextColor",
    "minimumFontSize",
    "shadowColor",
    "shadowOffset",
    "textAlignment",
    "textColor",
    "userInteractionEnabled",
    "text",
    "adjustsFontSizeToFitWidth",
    "lineBreakMode",
    "numberOfLines",
    "backgroundColor",
};

} // namespace

Ptr<MarqueeLabel> MarqueeLabel::initWithFrame(CGRect frame) {
    return initWithFrameDurationAndFadeLength(frame, kDefaultLengthOfScroll, 0.0);
}

Ptr<MarqueeLabel> MarqueeLabel::initWithFrameDurationAndFadeLength(CGRect frame,
                                                                   NSTimeInterval lengthOfScroll,
                                                                   CGFloat fadeLength) {
    if (!UILabel::initWithFrame(frame)) {
        return nullptr;
    }
    setupLabel();
    _lengthOfScroll = lengthOfScroll;
    setFadeLength(std::min(fadeLength, frame.size.width / 2.0));
    return self<MarqueeLabel>();
}

Ptr<MarqueeLabel> MarqueeLabel::initWithFrameRateAndFadeLength(CGRect frame, CGFloat rate,
                                                               CGFloat fadeLength) {
    if (!UILabel::initWithFrame(frame)) {
        return nullptr;
    }
    setupLabel();
    _rate = rate;
    setFadeLength(std::min(fadeLength, frame.size.width / 2.0));
    return self<MarqueeLabel>();
}

Ptr<MarqueeLabel> MarqueeLabel::initWithCoder(const Ptr<NSCoder>& coder) {
    if (!UILabel::initWithCoder(coder)) {
        return nullptr;
    }
    setupLabel();
    if (_lengthOfScroll == 0) {
        setLengthOfScroll(kDefaultLengthOfScroll);
    }
    return self<MarqueeLabel>();
}

void MarqueeLabel::awakeFromNib() {
    UILabel::awakeFromNib();
    forwardPropertiesToSubLabel();
}

MarqueeLabel::~MarqueeLabel() {
    auto* center = NSNotificationCenter::defaultCenter();
    center->removeObserver(_orientationObserver);
    center->removeObserver(this);
    // A rotation still pending would otherwise leave its one-shot observer behind for good.
    if (*_rotationEndObserver) {
        center->removeObserver(*_rotationEndObserver);
        _rotationEndObserver->reset();
    }
}

void MarqueeLabel::setupLabel() {
    setClipsToBounds(YES);
    setNumberOfLines(1);

    _subLabel = alloc<UILabel>()->initWithFrame(bounds());
    _subLabel->setTag(kSubLabelTag);
    addSubview(_subLabel);

    // The label's own background stays clear; colours set later go to the sublabels.
    UILabel::setBackgroundColor(UIColor::clearColor());

    _animationCurve = 0;
    _awayFromHome = NO;
    _orientationWillChange = NO;
    _labelize = NO;
    _holdScrolling = NO;
    _tapToScroll = NO;
    _isPaused = NO;
    _fadeLength = 0;
    _animationDelay = 1.0;
    _animationDuration = 0.0;
    _continuousMarqueeExtraBuffer = 0;

    registerObservers();
}

void MarqueeLabel::forwardPropertiesToSubLabel() {
    if (!_subLabel) {
        return;
    }
    for (const char* key : kForwardedKeys) {
        _subLabel->setValue(valueForKey(key), key);
    }
    // The text and font read from the file sit in the label itself; the overrides
    // hand them to the sublabels and lay them out.
    setText(UILabel::text());
    setFont(UILabel::font());
}

// --- Label properties ---------------------------------------------------------------

Ptr<NSString> MarqueeLabel::text() const {
    return _subLabel ? _subLabel->text() : nullptr;
}

void MarqueeLabel::setText(const Ptr<NSString>& text) {
    if (text && text->isEqualToString(this->text())) {
        return;
    }
    if (_subLabel) {
        _subLabel->setText(text);
    }
    if (!text) {
        // Nothing scrolls without text: drop the copy, which still shows the old
        // text, and end the chain (its completions report NO and start nothing).
        for (const auto& view : subLabelViews()) {
            if (view != _subLabel) {
                view->layer()->removeAllAnimations();
                view->removeFromSuperview();
            }
        }
        returnLabelToOriginImmediately();
    }
    updateSublabelAndLocations();
}

Ptr<UIFont> MarqueeLabel::font() const {
    return _subLabel ? _subLabel->font() : nullptr;
}

void MarqueeLabel::setFont(const Ptr<UIFont>& font) {
    if (font && font->isEqual(this->font().get())) {
        return;
    }
    if (_subLabel) {
        _subLabel->setFont(font);
    }
    updateSublabelAndLocations();
}

Ptr<UIColor> MarqueeLabel::textColor() const {
    return _subLabel ? _subLabel->textColor() : nullptr;
}

void MarqueeLabel::setTextColor(const Ptr<UIColor>& color) {
    updateSubLabelsForKey(NSStr("textColor"), color);
}

Ptr<UIColor> MarqueeLabel::backgroundColor() const {
    return _subLabel ? _subLabel->backgroundColor() : nullptr;
}

void MarqueeLabel::setBackgroundColor(const Ptr<UIColor>& color) {
    updateSubLabelsForKey(NSStr("backgroundColor"), color);
}

Ptr<UIColor> MarqueeLabel::shadowColor() const {
    return _subLabel ? _subLabel->shadowColor() : nullptr;
}

void MarqueeLabel::setShadowColor(const Ptr<UIColor>& color) {
    updateSubLabelsForKey(NSStr("shadowColor"), color);
}

CGSize MarqueeLabel::shadowOffset() const {
    return _subLabel ? _subLabel->shadowOffset() : CGSizeZero;
}

void MarqueeLabel::setShadowOffset(CGSize offset) {
    updateSubLabelsForKey(NSStr("shadowOffset"), NSValue::valueWithCGSize(offset));
}

Ptr<UIColor> MarqueeLabel::highlightedTextColor() const {
    return _subLabel ? _subLabel->highlightedTextColor() : nullptr;
}

void MarqueeLabel::setHighlightedTextColor(const Ptr<UIColor>& color) {
    updateSubLabelsForKey(NSStr("highlightedTextColor"), color);
}

BOOL MarqueeLabel::isHighlighted() const {
    return _subLabel && _subLabel->isHighlighted();
}

void MarqueeLabel::setHighlighted(BOOL highlighted) {
    updateSubLabelsForKey(NSStr("highlighted"), NSNumber::numberWithBool(highlighted));
}

BOOL MarqueeLabel::isEnabled() const {
    return _subLabel && _subLabel->isEnabled();
}

void MarqueeLabel::setEnabled(BOOL enabled) {
    updateSubLabelsForKey(NSStr("enabled"), NSNumber::numberWithBool(enabled));
}

UIBaselineAdjustment MarqueeLabel::baselineAdjustment() const {
    return _subLabel ? _subLabel->baselineAdjustment() : UIBaselineAdjustmentAlignBaselines;
}

void MarqueeLabel::setBaselineAdjustment(UIBaselineAdjustment adjustment) {
    updateSubLabelsForKey(NSStr("baselineAdjustment"), NSNumber::numberWithInteger(adjustment));
}

void MarqueeLabel::setNumberOfLines(NSInteger) {
    UILabel::setNumberOfLines(1);
}

void MarqueeLabel::setAdjustsFontSizeToFitWidth(BOOL) {
    UILabel::setAdjustsFontSizeToFitWidth(NO);
}

void MarqueeLabel::setMinimumFontSize(CGFloat) {
    UILabel::setMinimumFontSize(0);
}

// --- Sublabels ----------------------------------------------------------------------

Ptr<NSArray> MarqueeLabel::allSubLabels() const {
    std::vector<Ptr<NSObject>> labels;
    for (const auto& view : subLabelViews()) {
        labels.push_back(view);
    }
    return NSArray::arrayWithObjects(std::move(labels));
}

std::vector<Ptr<UIView>> MarqueeLabel::subLabelViews() const {
    std::vector<Ptr<UIView>> labels;
    for (const auto& view : subviews()) {
        if (view->tag() >= kSubLabelTag) {
            labels.push_back(view);
        }
    }
    return labels;
}

void MarqueeLabel::updateSubLabelsForKey(const Ptr<NSString>& key, const Ptr<NSObject>& value) {
    if (!key) {
        return;
    }
    for (const auto& view : subLabelViews()) {
        view->setValueForKeyPath(value, key->UTF8String());
    }
}

void MarqueeLabel::updateSubLabelsForKeysWithValues(const Ptr<NSDictionary>& values) {
    if (!values) {
        return;
    }
    for (const auto& view : subLabelViews()) {
        for (const auto& [key, value] : values->entries()) {
            view->setValue(value, key);
        }
    }
}

void MarqueeLabel::refreshSubLabels(const Ptr<NSArray>& labels) {
    if (!labels) {
        return;
    }
    for (const auto& object : labels->objects()) {
        // A plain view a caller tagged as a sublabel has no text to take.
        auto label = as<UILabel>(object);
        if (!label) {
            continue;
        }
        label->setText(text());
        label->setFont(font());
        label->setTextColor(textColor());
        label->setBackgroundColor(backgroundColor());
        label->setShadowColor(shadowColor());
        label->setShadowOffset(shadowOffset());
        label->setTextAlignment(NSTextAlignmentLeft);
    }
}

// --- Marquee settings ---------------------------------------------------------------

void MarqueeLabel::setRate(CGFloat rate) {
    if (rate == _rate) {
        return;
    }
    _lengthOfScroll = 0;
    _rate = rate;
    updateSublabelAndLocations();
}

void MarqueeLabel::setLengthOfScroll(NSTimeInterval lengthOfScroll) {
    if (lengthOfScroll == _lengthOfScroll) {
        return;
    }
    _rate = 0;
    _lengthOfScroll = lengthOfScroll;
    updateSublabelAndLocations();
}

void MarqueeLabel::setAnimationCurve(NSUInteger animationCurve) {
    if (animationCurve == _animationCurve) {
        return;
    }
    if ((animationCurve & ~kAnimationCurveMask) != 0) {
        return;
    }
    _animationCurve = animationCurve;
}

void MarqueeLabel::setContinuousMarqueeExtraBuffer(CGFloat buffer) {
    if (buffer == _continuousMarqueeExtraBuffer) {
        return;
    }
    _continuousMarqueeExtraBuffer = static_cast<CGFloat>(std::fabs(static_cast<float>(buffer)));
    updateSublabelAndLocations();
}

void MarqueeLabel::setFadeLength(CGFloat fadeLength) {
    if (fadeLength == _fadeLength) {
        return;
    }
    _fadeLength = fadeLength;
    applyGradientMaskForFadeLength(fadeLength);
    updateSublabelAndLocations();
}

void MarqueeLabel::setTapToScroll(BOOL tapToScroll) {
    if (tapToScroll == _tapToScroll) {
        return;
    }
    _tapToScroll = tapToScroll;
    if (tapToScroll) {
        auto recognizer = alloc<UITapGestureRecognizer>()->initWithTarget(self<MarqueeLabel>(),
                                                                          &MarqueeLabel::labelWasTapped);
        addGestureRecognizer(recognizer);
        _tapRecognizer = recognizer;
        setUserInteractionEnabled(YES);
    } else {
        if (auto recognizer = _tapRecognizer.lock()) {
            removeGestureRecognizer(recognizer);
        }
        _tapRecognizer.reset();
        setUserInteractionEnabled(NO);
    }
}

void MarqueeLabel::setMarqueeType(NSUInteger marqueeType) {
    if (marqueeType == _marqueeType) {
        return;
    }
    _marqueeType = marqueeType;
    if (marqueeType != MarqueeTypeContinuousLeft) {
        for (const auto& view : subLabelViews()) {
            if (view != _subLabel) {
                view->removeFromSuperview();
            }
        }
    }
    updateSublabelAndLocations();
}
