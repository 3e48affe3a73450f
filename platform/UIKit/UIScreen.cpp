#include "UIKit/UIScreen.h"

#include <cmath>

#include "QuartzCore/CALayer.h"

Ptr<UIScreen> UIScreen::mainScreen() {
    static const Ptr<UIScreen> screen = [] {
        auto created = alloc<UIScreen>();
        created->init();
        return created;
    }();
    return screen;
}

void UIScreen::setScale(CGFloat scale) {
    if (!std::isfinite(scale) || scale <= 0 || scale == _scale) {
        return;
    }
    _scale = scale;
    // Everything is drawn anew at the new scale.
    CAMarkDisplayChanged();
}

void UIScreen::setBounds(CGRect bounds) {
    bounds = CGRectStandardize(bounds);
    if (CGRectEqualToRect(bounds, _bounds)) {
        return;
    }
    _bounds = bounds;
    CAMarkDisplayChanged();
}
