#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Foundation/NSObject.h"

// An immutable UTF-8 string object.
class NSString : public NSObject {
public:
    Ptr<NSString> initWithUTF8String(std::string_view text);

    static Ptr<NSString> stringWithUTF8String(std::string_view text);

    // One argument of a format: an object for %@ (nil prints "(null)"), or a C value.
    using FormatArgument = std::variant<Ptr<NSObject>, long long, unsigned long long, double, const char*>;

    // Formats as the platform does: printf conversions (%d %i %u %x %f %.2d %s %c %%...,
    // with flags, width, precision and '*') and %@ for an object's description; %.2d
    // of -1 is "-01" as in C. Integers print at their full width whatever the length
    // modifier. Missing arguments format as 0 / "(null)"; an unknown conversion is
    // written as it stands.
    static Ptr<NSString> stringWithFormatArguments(std::string_view format,
                                                   const std::vector<FormatArgument>& arguments);
    template <class... Args>
    static Ptr<NSString> stringWithFormat(std::string_view format, const Args&... args) {
        return stringWithFormatArguments(format, {toFormatArgument(args)...});
    }

    const std::string& UTF8String() const { return _value; }
    // Length in UTF-16 code units, as the platform counts.
    NSUInteger length() const;
    BOOL isEqualToString(const Ptr<NSString>& other) const { return other && other->_value == _value; }
    // The platform's readings of a string's leading number (0 / NO when there is none).
    BOOL boolValue() const;
    float floatValue() const;
    double doubleValue() const;
    NSInteger integerValue() const;
    // integerValue clamped to the int range.
    int intValue() const;

    BOOL isEqual(const NSObject* other) const override;
    std::size_t hash() const override;
    std::string description() const override { return _value; }

private:
    static FormatArgument toFormatArgument(const Ptr<NSObject>& object) { return object; }
    template <class T>
    requires std::is_base_of_v<NSObject, T>
    static FormatArgument toFormatArgument(const Ptr<T>& object) { return Ptr<NSObject>(object); }
    static FormatArgument toFormatArgument(std::nullptr_t) { return Ptr<NSObject>(); }
    static FormatArgument toFormatArgument(const char* text) { return text; }
    static FormatArgument toFormatArgument(double value) { return value; }
    static FormatArgument toFormatArgument(float value) { return static_cast<double>(value); }
    template <class T>
    requires std::is_integral_v<T> && std::is_signed_v<T>
    static FormatArgument toFormatArgument(T value) { return static_cast<long long>(value); }
    template <class T>
    requires std::is_integral_v<T> && std::is_unsigned_v<T>
    static FormatArgument toFormatArgument(T value) { return static_cast<unsigned long long>(value); }

    std::string _value;
};

// A string object from a literal or std::string: NSStr("Not Playing").
inline Ptr<NSString> NSStr(std::string_view text) {
    return NSString::stringWithUTF8String(text);
}

// The text of a string object, "" for nil.
inline const std::string& NSStringText(const Ptr<NSString>& string) {
    static const std::string empty;
    return string ? string->UTF8String() : empty;
}
