// Stopping, restarting, freezing and resuming the scroll chain, and the switches
// that change how it runs: labelize, hold and tap-to-scroll.
#include "QuartzCore/CALayer.h"
#include "UIKit/UIGestureRecognizer.h"
#include "marquee/MarqueeLabel.h"

void MarqueeLabel::restartLabel() {
    returnLabelToOriginImmediately();
    if (!labelShouldScroll() || _tapToScroll) {
        return;
    }
    beginScroll();
}

void MarqueeLabel::resetLabel() {
    returnLabelToOriginImmediately();
    _homeLabelFrame = CGRectNull;
    _awayLabelFrame = CGRectNull;
}

void MarqueeLabel::shutdownLabel() {
    returnLabelToOriginImmediately();
}

void MarqueeLabel::pauseLabel() {
    if (_isPaused) {
        return;
    }
    for (const auto& view : subLabelViews()) {
        const auto& layer = view->layer();
        const CFTimeInterval pausedTime = layer->convertTime(CACurrentMediaTime(), nullptr);
        layer->setSpeed(0.0f);
        layer->setTimeOffset(pausedTime);
    }
    _isPaused = YES;
}

void MarqueeLabel::unpauseLabel() {
    if (!_isPaused) {
        return;
    }
    for (const auto& view : subLabelViews()) {
        const auto& layer = view->layer();
        // Only what the pause froze: a sublabel made since runs on its own clock,
        // and shifting that clock would send its animation back in time.
        if (layer->speed() != 0.0f) {
            continue;
        }
        const CFTimeInterval pausedTime = layer->timeOffset();
        layer->setSpeed(1.0f);
        layer->setTimeOffset(0.0);
        layer->setBeginTime(0.0);
        // Shift the layer's clock back by the time it stood still, so its local time
        // goes on from the frozen instant.
        const CFTimeInterval sincePause = layer->convertTime(CACurrentMediaTime(), nullptr) - pausedTime;
        layer->setBeginTime(sincePause);
    }
    _isPaused = NO;
}

void MarqueeLabel::labelWasTapped(const Ptr<UIGestureRecognizer>&) {
    if (!labelShouldScroll()) {
        return;
    }
    beginScrollWithDelay(NO);
}

void MarqueeLabel::setLabelize(BOOL labelize) {
    if (labelize == _labelize) {
        return;
    }
    _labelize = labelize;
    if (labelize && _subLabel) {
        returnLabelToOriginImmediately();
    }
    updateSublabelAndLocationsAndBeginScroll(YES);
}

void MarqueeLabel::setHoldScrolling(BOOL holdScrolling) {
    if (holdScrolling == _holdScrolling) {
        return;
    }
    _holdScrolling = holdScrolling;
    if (!holdScrolling && !_awayFromHome) {
        beginScroll();
    }
}
