#pragma once

#include <string>

#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

class NSCoder;

// A colour in device RGB with alpha, components 0...1. Two colours are equal when
// their components are.
class UIColor : public NSObject {
public:
    static Ptr<UIColor> colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
    static Ptr<UIColor> colorWithWhite(CGFloat white, CGFloat alpha);
    // The platform's named colours: clear is white 0 with alpha 0, black white 0,
    // white white 1, gray white 0.5.
    static Ptr<UIColor> clearColor();
    static Ptr<UIColor> blackColor();
    static Ptr<UIColor> whiteColor();
    static Ptr<UIColor> grayColor();

    // Components are clamped to 0...1.
    Ptr<UIColor> initWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
    Ptr<UIColor> initWithWhite(CGFloat white, CGFloat alpha);
    // Reads "white" or "red" / "green" / "blue", and "alpha" (1 when missing).
    Ptr<UIColor> initWithCoder(const Ptr<NSCoder>& coder);

    // The same colour with another alpha.
    Ptr<UIColor> colorWithAlphaComponent(CGFloat alpha) const;
    // The colour as Core Graphics takes it.
    CGColorRef CGColor() const;
    // Always succeeds for this platform's colours.
    BOOL getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const;

    CGFloat red() const { return _red; }
    CGFloat green() const { return _green; }
    CGFloat blue() const { return _blue; }
    CGFloat alpha() const { return _alpha; }

    BOOL isEqual(const NSObject* other) const override;
    std::size_t hash() const override;
    // "UIDeviceRGBColorSpace r g b a", as the platform prints a colour.
    std::string description() const override;

private:
    CGFloat _red = 0;
    CGFloat _green = 0;
    CGFloat _blue = 0;
    CGFloat _alpha = 0;
};
