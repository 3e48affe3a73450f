// The layout of the sublabels for each marquee type and the chain of view
// animations that moves them: each leg or cycle starts the next one from its
// completion, so the label holds no timer and does no per-frame work.
#include <cmath>

#include "Foundation/NSWhileAlive.h"
#include "UIKit/UIViewController.h"
#include "UIKit/UIWindow.h"
#include "marquee/MarqueeLabel.h"

namespace {

constexpr NSInteger kCopyLabelTag = 701;
// The run loop counts whole nanoseconds: a leg shorter than that would complete in
// the instant it started and the chain would never let time move on.
constexpr NSTimeInterval kShortestLegTime = 1e-9;

BOOL isContinuous(NSUInteger marqueeType) {
    return marqueeType == MarqueeTypeContinuousLeft || marqueeType == MarqueeTypeContinuousRight;
}

// Whether a leg of `interval` seconds after `delayAmount` seconds can run: both
// finite and not negative, and together long enough to take time at all.
BOOL legTakesTime(NSTimeInterval interval, NSTimeInterval delayAmount) {
    if (!std::isfinite(interval) || !std::isfinite(delayAmount) || interval < 0 || delayAmount < 0) {
        return NO;
    }
    return interval + delayAmount >= kShortestLegTime;
}

// Whether the label is shown: its view controller's view is loaded and in a window.
BOOL isInWindow(const UIView* label) {
    const auto controller = MarqueeLabelHelpers::firstAvailableViewController(label);
    if (!controller || !controller->isViewLoaded()) {
        return NO;
    }
    return controller->viewIfLoaded()->window() != nullptr;
}

} // namespace

CGFloat MarqueeLabel::scrollDirection() const {
    return _marqueeType == MarqueeTypeContinuousRight ? -1.0 : 1.0;
}

CGFloat MarqueeLabel::sublabelSpacing(CGFloat fadeCount) {
    return homeLabelFrame().size.width + fadeCount * _fadeLength + _continuousMarqueeExtraBuffer;
}

void MarqueeLabel::updateSublabelAndLocationsAndBeginScroll(BOOL beginScroll) {
    if (!_subLabel || !_subLabel->text()) {
        return;
    }
    const CGSize expected = subLabelSize();
    invalidateIntrinsicContentSize();
    returnLabelToOriginImmediately();

    const CGFloat boundsWidth = bounds().size.width;
    const CGFloat fade = _fadeLength;

    if (_labelize || !labelShouldScroll()) {
        // Shown like a plain label: the label's own alignment, inset by the fades.
        _subLabel->setTextAlignment(textAlignment());
        _subLabel->setLineBreakMode(lineBreakMode());
        const CGRect frame = CGRectIntegral(CGRectMake(fade, 0, boundsWidth - 2.0 * fade, expected.height));
        _homeLabelFrame = frame;
        _awayLabelFrame = frame;
        for (const auto& view : subLabelViews()) {
            if (view != _subLabel) {
                view->removeFromSuperview();
            }
        }
        _subLabel->setFrame(_homeLabelFrame);
        return;
    }

    _subLabel->setLineBreakMode(NSLineBreakByClipping);
    const CGFloat width = expected.width;
    const CGFloat height = expected.height;
    const CGFloat buffer = _continuousMarqueeExtraBuffer;

    if (isContinuous(_marqueeType)) {
        const BOOL leftwards = _marqueeType == MarqueeTypeContinuousLeft;
        const CGFloat homeX = leftwards ? fade : boundsWidth - (width + fade);
        _homeLabelFrame = CGRectIntegral(CGRectMake(homeX, 0, width, height));
        const CGFloat travel = _homeLabelFrame.size.width + 2.0 * fade + buffer;
        _awayLabelFrame = CGRectOffset(_homeLabelFrame, leftwards ? -travel : travel, 0);

        const Ptr<NSArray> present = allSubLabels();
        auto labels = present->objects();
        if (labels.size() < 2) {
            // The copy rests one text-and-gap behind the text, on the side it scrolls in from.
            const CGFloat spacing = sublabelSpacing(2.0);
            auto copy = alloc<UILabel>()->initWithFrame(
                CGRectOffset(_homeLabelFrame, leftwards ? spacing : -spacing, 0));
            copy->setNumberOfLines(1);
            copy->setTag(kCopyLabelTag);
            addSubview(copy);
            labels.push_back(copy);
        }
        refreshSubLabels(NSArray::arrayWithObjects(labels));
        _animationDuration = _rate != 0 ? std::fabs(_awayLabelFrame.origin.x) / _rate : _lengthOfScroll;
        _subLabel->setFrame(_homeLabelFrame);
    } else if (_marqueeType == MarqueeTypeRightAndBack) {
        _homeLabelFrame = CGRectIntegral(CGRectMake(boundsWidth - (width + fade), 0, width, height));
        _awayLabelFrame = CGRectIntegral(CGRectMake(fade, 0, width, height));
        _animationDuration = _rate != 0
                                 ? std::fabs(_awayLabelFrame.origin.x - _homeLabelFrame.origin.x) / _rate
                                 : _lengthOfScroll;
        _subLabel->setFrame(_homeLabelFrame);
        _subLabel->setTextAlignment(NSTextAlignmentRight);
    } else {
        _homeLabelFrame = CGRectIntegral(CGRectMake(fade, 0, width, height));
        _awayLabelFrame = CGRectIntegral(CGRectOffset(_homeLabelFrame, boundsWidth - 2.0 * fade - width, 0));
        _animationDuration = _rate != 0
                                 ? std::fabs(_awayLabelFrame.origin.x - _homeLabelFrame.origin.x) / _rate
                                 : _lengthOfScroll;
        _subLabel->setFrame(_homeLabelFrame);
        _subLabel->setTextAlignment(NSTextAlignmentLeft);
    }

    if (!_tapToScroll && !_holdScrolling && beginScroll) {
        this->beginScroll();
    }
}

void MarqueeLabel::didMoveToSuperview() {
    updateSublabelAndLocationsAndBeginScroll(YES);
}

void MarqueeLabel::beginScrollWithDelay(BOOL delay) {
    const NSTimeInterval interval = durationForInterval(_animationDuration);
    if (isContinuous(_marqueeType)) {
        scrollContinuousWithInterval(interval, delay ? _animationDelay : 0.0);
    } else {
        // The back-and-forth types always wait before leaving home.
        scrollAwayWithInterval(interval);
    }
}

NSTimeInterval MarqueeLabel::durationForInterval(NSTimeInterval interval) const {
    // The continuous left text travels its own width plus two fades and the gap
    // while the leg duration covers only the away distance; doubling keeps its speed.
    return _marqueeType == MarqueeTypeContinuousLeft ? interval * 2.0 : interval;
}

void MarqueeLabel::scrollAwayWithInterval(NSTimeInterval interval, BOOL delay) {
    scrollAwayWithIntervalDelayAmount(interval, delay ? _animationDelay : 0.0);
}

void MarqueeLabel::scrollAwayWithIntervalDelayAmount(NSTimeInterval interval, NSTimeInterval delayAmount) {
    if (!superview() || !_subLabel || !legTakesTime(interval, delayAmount)) {
        return;
    }
    if (!isInWindow(this)) {
        return;
    }
    _awayFromHome = YES;
    _subLabel->layer()->removeAllAnimations();
    layer()->removeAllAnimations();

    const Ptr<MarqueeLabel> strongSelf = self<MarqueeLabel>();
    UIView::animateWithDuration(
        interval, delayAmount, _animationCurve,
        [strongSelf] { strongSelf->_subLabel->setFrame(strongSelf->awayLabelFrame()); },
        NSWhileAlive(strongSelf, [interval, delayAmount](const Ptr<MarqueeLabel>& label, BOOL finished) {
            if (finished) {
                label->scrollHomeWithIntervalDelayAmount(interval, delayAmount);
            }
        }));
}

void MarqueeLabel::scrollHomeWithInterval(NSTimeInterval interval, BOOL delay) {
    scrollHomeWithIntervalDelayAmount(interval, delay ? _animationDelay : 0.0);
}

void MarqueeLabel::scrollHomeWithIntervalDelayAmount(NSTimeInterval interval, NSTimeInterval delayAmount) {
    if (!superview() || !_subLabel || !legTakesTime(interval, delayAmount)) {
        return;
    }
    const Ptr<MarqueeLabel> strongSelf = self<MarqueeLabel>();
    UIView::animateWithDuration(
        interval, delayAmount, _animationCurve,
        [strongSelf] { strongSelf->_subLabel->setFrame(strongSelf->homeLabelFrame()); },
        NSWhileAlive(strongSelf, [interval](const Ptr<MarqueeLabel>& label, BOOL finished) {
            if (!finished) {
                return;
            }
            label->_awayFromHome = NO;
            if (!label->_tapToScroll && !label->_holdScrolling) {
                label->scrollAwayWithInterval(interval);
            }
        }));
}

void MarqueeLabel::scrollContinuousWithInterval(NSTimeInterval interval, NSTimeInterval delayAmount) {
    if (!superview() || !legTakesTime(interval, delayAmount)) {
        return;
    }
    returnLabelToOriginImmediately();
    if (!isInWindow(this)) {
        return;
    }
    const Ptr<NSArray> labels = allSubLabels();
    _awayFromHome = YES;

    const Ptr<MarqueeLabel> strongSelf = self<MarqueeLabel>();
    UIView::animateWithDuration(
        interval, delayAmount, _animationCurve,
        [strongSelf, labels] {
            // Each sublabel moves one text-and-gap on, so the copy ends where the text began.
            const CGRect away = strongSelf->awayLabelFrame();
            const CGFloat step = strongSelf->scrollDirection() * strongSelf->sublabelSpacing(2.0);
            CGFloat offset = 0;
            for (const auto& object : labels->objects()) {
                as<UIView>(object)->setFrame(CGRectOffset(away, offset, 0));
                offset += step;
            }
        },
        NSWhileAlive(strongSelf, [interval, delayAmount](const Ptr<MarqueeLabel>& label, BOOL finished) {
            if (!finished || label->_tapToScroll || label->_holdScrolling) {
                return;
            }
            label->_awayFromHome = NO;
            label->scrollContinuousWithInterval(interval, delayAmount);
        }));
}

void MarqueeLabel::returnLabelToOriginImmediately() {
    const CGRect home = homeLabelFrame();
    // The same spacing a cycle moves the sublabels by: text and copy then travel
    // alike, so the gap between them holds while they move.
    const CGFloat step = scrollDirection() * sublabelSpacing(2.0);
    CGFloat offset = 0;
    for (const auto& view : subLabelViews()) {
        view->layer()->removeAllAnimations();
        view->setFrame(CGRectOffset(home, offset, 0));
        offset += step;
    }
    const CGFloat subLabelX = _subLabel ? _subLabel->frame().origin.x : 0;
    if (subLabelX == homeLabelFrame().origin.x) {
        _awayFromHome = NO;
    }
}
