#pragma once

#include <string>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

// A colour as Core Graphics passes it around: device RGB components and alpha,
// each 0...1. UIColor hands these out through its CGColor.
class CGColor : public NSObject {
public:
    static Ptr<CGColor> colorWithComponents(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
        auto color = alloc<CGColor>();
        color->_red = red;
        color->_green = green;
        color->_blue = blue;
        color->_alpha = alpha;
        return color;
    }

    CGFloat red() const { return _red; }
    CGFloat green() const { return _green; }
    CGFloat blue() const { return _blue; }
    CGFloat alpha() const { return _alpha; }

    BOOL isEqual(const NSObject* other) const override {
        const auto* color = dynamic_cast<const CGColor*>(other);
        return color && color->_red == _red && color->_green == _green && color->_blue == _blue &&
               color->_alpha == _alpha;
    }
    std::string description() const override {
        return "<CGColor " + std::to_string(_red) + " " + std::to_string(_green) + " " +
               std::to_string(_blue) + " " + std::to_string(_alpha) + ">";
    }

private:
    CGFloat _red = 0;
    CGFloat _green = 0;
    CGFloat _blue = 0;
    CGFloat _alpha = 0;
};
using CGColorRef = Ptr<CGColor>;
