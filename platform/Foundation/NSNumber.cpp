#include "Foundation/NSNumber.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

#include "Foundation/NSString.h"

Ptr<NSNumber> NSNumber::numberWithBool(BOOL value) {
    auto number = alloc<NSNumber>();
    number->_value = value;
    return number;
}

Ptr<NSNumber> NSNumber::numberWithInteger(NSInteger value) {
    auto number = alloc<NSNumber>();
    number->_value = value;
    return number;
}

Ptr<NSNumber> NSNumber::numberWithDouble(double value) {
    auto number = alloc<NSNumber>();
    number->_value = value;
    return number;
}

BOOL NSNumber::boolValue() const {
    return std::visit([](auto v) { return v != 0; }, _value);
}

NSInteger NSNumber::integerValue() const {
    if (const auto* d = std::get_if<double>(&_value)) {
        // Saturate instead of converting an out-of-range double with undefined behaviour.
        if (std::isnan(*d)) {
            return 0;
        }
        if (*d >= static_cast<double>(std::numeric_limits<NSInteger>::max())) {
            return std::numeric_limits<NSInteger>::max();
        }
        if (*d <= static_cast<double>(std::numeric_limits<NSInteger>::min())) {
            return std::numeric_limits<NSInteger>::min();
        }
        return static_cast<NSInteger>(*d);
    }
    return std::visit([](auto v) { return static_cast<NSInteger>(v); }, _value);
}

double NSNumber::doubleValue() const {
    return std::visit([](auto v) { return static_cast<double>(v); }, _value);
}

BOOL NSNumber::isEqual(const NSObject* other) const {
    const auto* number = dynamic_cast<const NSNumber*>(other);
    if (!number) {
        return NO;
    }
    if (isInteger() && number->isInteger()) {
        return integerValue() == number->integerValue();
    }
    return doubleValue() == number->doubleValue();
}

std::size_t NSNumber::hash() const {
    return std::hash<double>{}(doubleValue());
}

std::string NSNumber::description() const {
    char buffer[64];
    if (const auto* d = std::get_if<double>(&_value)) {
        // The shortest text that reads back as the same double: 0.1 prints as "0.1".
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, *d);
        return std::string(buffer, result.ptr);
    }
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(integerValue()));
    return buffer;
}

Ptr<NSValue> NSValue::valueWithCGSize(CGSize size) {
    auto value = alloc<NSValue>();
    value->_kind = Kind::size;
    value->_rect.size = size;
    return value;
}

Ptr<NSValue> NSValue::valueWithCGPoint(CGPoint point) {
    auto value = alloc<NSValue>();
    value->_kind = Kind::point;
    value->_rect.origin = point;
    return value;
}

Ptr<NSValue> NSValue::valueWithCGRect(CGRect rect) {
    auto value = alloc<NSValue>();
    value->_kind = Kind::rect;
    value->_rect = rect;
    return value;
}

BOOL NSValue::isEqual(const NSObject* other) const {
    // The stored fields as they are: a value of a negative size is not the same value
    // as its standardised rectangle.
    const auto* value = dynamic_cast<const NSValue*>(other);
    return value && value->_kind == _kind && value->_rect.origin == _rect.origin &&
           value->_rect.size == _rect.size;
}

std::string NSValue::description() const {
    char buffer[128];
    switch (_kind) {
    case Kind::size:
        std::snprintf(buffer, sizeof buffer, "NSSize: {%g, %g}", _rect.size.width, _rect.size.height);
        break;
    case Kind::point:
        std::snprintf(buffer, sizeof buffer, "NSPoint: {%g, %g}", _rect.origin.x, _rect.origin.y);
        break;
    case Kind::rect:
        std::snprintf(buffer, sizeof buffer, "NSRect: {{%g, %g}, {%g, %g}}", _rect.origin.x, _rect.origin.y,
                      _rect.size.width, _rect.size.height);
        break;
    }
    return buffer;
}

BOOL NSBoolValue(const Ptr<NSObject>& value) {
    if (const auto number = as<NSNumber>(value)) {
        return number->boolValue();
    }
    if (const auto string = as<NSString>(value)) {
        return string->boolValue();
    }
    return NO;
}

double NSDoubleValue(const Ptr<NSObject>& value) {
    if (const auto number = as<NSNumber>(value)) {
        return number->doubleValue();
    }
    if (const auto string = as<NSString>(value)) {
        return string->doubleValue();
    }
    return 0;
}

float NSFloatValue(const Ptr<NSObject>& value) {
    return static_cast<float>(NSDoubleValue(value));
}

NSInteger NSIntegerValue(const Ptr<NSObject>& value) {
    if (const auto number = as<NSNumber>(value)) {
        return number->integerValue();
    }
    if (const auto string = as<NSString>(value)) {
        return string->integerValue();
    }
    return 0;
}
