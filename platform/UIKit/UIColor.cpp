#include "UIKit/UIColor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "Foundation/NSCoder.h"

namespace {

CGFloat clampComponent(CGFloat value) {
    if (std::isnan(value)) {
        return 0;
    }
    return std::clamp(value, 0.0, 1.0);
}

} // namespace

Ptr<UIColor> UIColor::colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    return alloc<UIColor>()->initWithRed(red, green, blue, alpha);
}

Ptr<UIColor> UIColor::colorWithWhite(CGFloat white, CGFloat alpha) {
    return alloc<UIColor>()->initWithWhite(white, alpha);
}

Ptr<UIColor> UIColor::clearColor() {
    return colorWithWhite(0, 0);
}
Ptr<UIColor> UIColor::blackColor() {
    return colorWithWhite(0, 1);
}
Ptr<UIColor> UIColor::whiteColor() {
    return colorWithWhite(1, 1);
}
Ptr<UIColor> UIColor::grayColor() {
    return colorWithWhite(0.5, 1);
}

Ptr<UIColor> UIColor::initWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    NSObject::init();
    _red = clampComponent(red);
    _green = clampComponent(green);
    _blue = clampComponent(blue);
    _alpha = clampComponent(alpha);
    return self<UIColor>();
}

Ptr<UIColor> UIColor::initWithWhite(CGFloat white, CGFloat alpha) {
    return initWithRed(white, white, white, alpha);
}

Ptr<UIColor> UIColor::initWithCoder(const Ptr<NSCoder>& coder) {
    if (!coder) {
        return nullptr;
    }
    const CGFloat alpha = coder->containsValueForKey("alpha") ? coder->decodeDoubleForKey("alpha") : 1.0;
    if (coder->containsValueForKey("white")) {
        return initWithWhite(coder->decodeDoubleForKey("white"), alpha);
    }
    return initWithRed(coder->decodeDoubleForKey("red"), coder->decodeDoubleForKey("green"),
                       coder->decodeDoubleForKey("blue"), alpha);
}

Ptr<UIColor> UIColor::colorWithAlphaComponent(CGFloat alpha) const {
    return colorWithRed(_red, _green, _blue, alpha);
}

CGColorRef UIColor::CGColor() const {
    return CGColor::colorWithComponents(_red, _green, _blue, _alpha);
}

BOOL UIColor::getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const {
    if (red) {
        *red = _red;
    }
    if (green) {
        *green = _green;
    }
    if (blue) {
        *blue = _blue;
    }
    if (alpha) {
        *alpha = _alpha;
    }
    return YES;
}

BOOL UIColor::isEqual(const NSObject* other) const {
    const auto* color = dynamic_cast<const UIColor*>(other);
    return color && color->_red == _red && color->_green == _green && color->_blue == _blue &&
           color->_alpha == _alpha;
}

std::size_t UIColor::hash() const {
    std::size_t result = 0;
    for (const CGFloat component : {_red, _green, _blue, _alpha}) {
        result = result * 31 + std::hash<CGFloat>{}(component);
    }
    return result;
}

std::string UIColor::description() const {
    char text[96];
    std::snprintf(text, sizeof text, "UIDeviceRGBColorSpace %g %g %g %g", _red, _green, _blue, _alpha);
    return text;
}
