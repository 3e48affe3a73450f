// UIView: animation blocks.
#include "QuartzCore/CAAnimationEngine.h"
#include "UIKit/UIView.h"

void UIView::animateWithDuration(NSTimeInterval duration, NSTimeInterval delay,
                                 UIViewAnimationOptions options, const std::function<void()>& animations,
                                 const std::function<void(BOOL finished)>& completion) {
    CAAnimationEngine::shared().runAnimationBlock(
        duration, delay, CAAnimationEngine::timingFunctionForOptions(options), animations, completion);
}

void UIView::animateWithDuration(NSTimeInterval duration, const std::function<void()>& animations,
                                 const std::function<void(BOOL finished)>& completion) {
    animateWithDuration(duration, 0, UIViewAnimationOptionCurveEaseInOut, animations, completion);
}

void UIView::setAnimationsEnabled(BOOL enabled) {
    CAAnimationEngine::shared().setAnimationsEnabled(enabled);
}

BOOL UIView::areAnimationsEnabled() {
    return CAAnimationEngine::shared().animationsEnabled();
}
