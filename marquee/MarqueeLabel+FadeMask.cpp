// The fade of the text at both side edges: a horizontal opacity gradient installed
// as the mask of the label's own layer, so it stays put while the text scrolls.
#include <algorithm>
#include <cmath>

#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIScreen.h"
#include "marquee/MarqueeLabel.h"

namespace {

// The share of the width each fade takes. A width that cannot hold two fades (zero,
// or less than twice the fade) fades over each half, so the stops stay within
// [0, 1] and in order; a negative or undefined share means no fade.
double fadeShare(CGFloat fadeLength, CGFloat width) {
    const double share = fadeLength / width;
    if (std::isnan(share) || share < 0) {
        return 0;
    }
    return std::min(share, 0.5);
}

} // namespace

Ptr<NSArray> MarqueeLabel::gradientColors() {
    if (!_gradientColors) {
        const auto clear = UIColor::clearColor()->CGColor();
        const auto black = UIColor::blackColor()->CGColor();
        _gradientColors = NSArray::arrayWithObjects({clear, black, black, clear});
    }
    return _gradientColors;
}

void MarqueeLabel::applyGradientMaskForFadeLength(CGFloat fadeLength) {
    applyGradientMaskForFadeLength(fadeLength, YES);
}

void MarqueeLabel::applyGradientMaskForFadeLength(CGFloat fadeLength, BOOL animated) {
    if (animated) {
        returnLabelToOriginImmediately();
    }

    Ptr<CAGradientLayer> gradientMask;
    if (fadeLength != 0) {
        const CGRect labelBounds = bounds();
        const CGRect labelFrame = frame();
        const CGFloat middleY = CGRectGetMidY(labelFrame);
        const double share = fadeShare(_fadeLength, labelFrame.size.width);

        gradientMask = CAGradientLayer::layer();
        gradientMask->setBounds(layer()->bounds());
        gradientMask->setPosition(CGPointMake(labelBounds.size.width * 0.5, labelBounds.size.height * 0.5));
        gradientMask->setShouldRasterize(YES);
        gradientMask->setRasterizationScale(UIScreen::mainScreen()->scale());
        gradientMask->setStartPoint(CGPointMake(0, middleY));
        gradientMask->setEndPoint(CGPointMake(1, middleY));
        gradientMask->setColors(gradientColors());
        gradientMask->setLocations(NSArray::arrayWithObjects({
            NSNumber::numberWithDouble(0.0),
            NSNumber::numberWithDouble(share),
            NSNumber::numberWithDouble(1.0 - share),
            NSNumber::numberWithDouble(1.0),
        }));
    }

    // The mask itself must never be animated in.
    CATransaction::begin();
    CATransaction::setValue(NSNumber::numberWithBool(YES), kCATransactionDisableActions);
    layer()->setMask(gradientMask);
    CATransaction::commit();

    if (animated && labelShouldScroll() && !_tapToScroll) {
        beginScroll();
    }
}
