#pragma once

#include <variant>

#include "Foundation/NSObject.h"

// A boxed boolean, integer or double. Readings convert as the platform does:
// a non-zero number reads as YES.
class NSNumber : public NSObject {
public:
    static Ptr<NSNumber> numberWithBool(BOOL value);
    static Ptr<NSNumber> numberWithInteger(NSInteger value);
    static Ptr<NSNumber> numberWithDouble(double value);

    BOOL isBoolean() const { return std::holds_alternative<bool>(_value); }
    BOOL isInteger() const { return std::holds_alternative<NSInteger>(_value); }
    BOOL boolValue() const;
    NSInteger integerValue() const;
    int intValue() const { return static_cast<int>(integerValue()); }
    double doubleValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }

    BOOL isEqual(const NSObject* other) const override;
    std::size_t hash() const override;
    std::string description() const override;

private:
    std::variant<bool, NSInteger, double> _value = NSInteger{0};
};

// A boxed geometry value.
#include "CoreGraphics/CGGeometry.h"
class NSValue : public NSObject {
public:
    static Ptr<NSValue> valueWithCGSize(CGSize size);
    static Ptr<NSValue> valueWithCGPoint(CGPoint point);
    static Ptr<NSValue> valueWithCGRect(CGRect rect);
    CGSize CGSizeValue() const { return _rect.size; }
    CGPoint CGPointValue() const { return _rect.origin; }
    CGRect CGRectValue() const { return _rect; }

    BOOL isEqual(const NSObject* other) const override;
    std::string description() const override;

private:
    enum class Kind { size, point, rect };
    Kind _kind = Kind::rect;
    CGRect _rect{};
};

// The platform's boolean, float and integer readings of any boxed value: numbers
// and strings read as themselves, anything else (nil included) reads as 0 / NO.
BOOL NSBoolValue(const Ptr<NSObject>& value);
float NSFloatValue(const Ptr<NSObject>& value);
double NSDoubleValue(const Ptr<NSObject>& value);
NSInteger NSIntegerValue(const Ptr<NSObject>& value);
