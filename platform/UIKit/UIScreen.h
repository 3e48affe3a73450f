#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

// The display. The host sets the main screen's scale (pixels per point) and size;
// by default the scale is 1 and the bounds are 320 x 480 points.
class UIScreen : public NSObject {
public:
    static Ptr<UIScreen> mainScreen();

    CGFloat scale() const { return _scale; }
    // Ignores a scale that is not positive and finite.
    void setScale(CGFloat scale);
    CGRect bounds() const { return _bounds; }
    void setBounds(CGRect bounds);

private:
    CGFloat _scale = 1;
    CGRect _bounds{{0, 0}, {320, 480}};
};
