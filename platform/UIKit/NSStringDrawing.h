#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

class UIFont;

// Text alignment, by the platform's values.
enum NSTextAlignment : NSInteger {
    NSTextAlignmentLeft = 0,
    NSTextAlignmentCenter = 1,
    NSTextAlignmentRight = 2,
    NSTextAlignmentJustified = 3,
    NSTextAlignmentNatural = 4,
};

// How a line that does not fit is broken or cut, by the platform's values.
enum NSLineBreakMode : NSInteger {
    NSLineBreakByWordWrapping = 0,
    NSLineBreakByCharWrapping = 1,
    NSLineBreakByClipping = 2,
    NSLineBreakByTruncatingHead = 3,
    NSLineBreakByTruncatingTail = 4,
    NSLineBreakByTruncatingMiddle = 5,
};

// How a label's text moves when its font shrinks to fit, by the platform's values.
enum UIBaselineAdjustment : NSInteger {
    UIBaselineAdjustmentAlignBaselines = 0,
    UIBaselineAdjustmentAlignCenters = 1,
    UIBaselineAdjustmentNone = 2,
};

// The size `string` takes in `font` within `size`, measured by the current text
// measurement (UITextMeasurement::current()).
//
// A dimension of CGFLOAT_MAX (or any extent too large to lay out, or not finite)
// means no limit. The wrapping modes break lines at the constraint width and
// stack as many lines as the constraint height holds (at least one); the
// clipping and truncating modes keep each paragraph on one line, no wider than
// the constraint. Widths are not rounded. A nil or empty string, or a nil font,
// measures as a zero size.
CGSize sizeWithFont(const Ptr<NSString>& string, const Ptr<UIFont>& font, CGSize size,
                    NSLineBreakMode lineBreakMode);
// The size of `string` in `font` on one line, without limit.
CGSize sizeWithFont(const Ptr<NSString>& string, const Ptr<UIFont>& font);
