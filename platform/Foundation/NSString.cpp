#include "Foundation/NSString.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <locale.h>

Ptr<NSString> NSString::initWithUTF8String(std::string_view text) {
    _value.assign(text);
    return self<NSString>();
}

Ptr<NSString> NSString::stringWithUTF8String(std::string_view text) {
    return alloc<NSString>()->initWithUTF8String(text);
}

NSUInteger NSString::length() const {
    NSUInteger units = 0;
    for (std::size_t i = 0; i < _value.size();) {
        const auto lead = static_cast<unsigned char>(_value[i]);
        std::size_t width = 1;
        if (lead >= 0xF0) {
            width = 4;
            units += 2; // a surrogate pair
        } else {
            width = lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            units += 1;
        }
        i += width;
    }
    return units;
}

namespace {

std::string_view skipSpace(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    return text;
}

// The leading decimal number of `text` (sign, digits, fraction, exponent), as the
// platform's readings see it: no hexadecimal, no "inf" or "nan".
std::string leadingDecimal(std::string_view text) {
    std::size_t end = 0;
    auto digitsFrom = [&](std::size_t at) {
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            ++at;
        }
        return at;
    };
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
        ++end;
    }
    const std::size_t integerStart = end;
    end = digitsFrom(end);
    bool anyDigit = end > integerStart;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = digitsFrom(end + 1);
        anyDigit = anyDigit || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!anyDigit) {
        return {};
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponentEnd = digitsFrom(exponent);
        if (exponentEnd > exponent) {
            end = exponentEnd;
        }
    }
    return std::string(text.substr(0, end));
}

// Number parsing must not depend on the locale the host may have set.
locale_t cLocale() {
    static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

} // namespace

BOOL NSString::boolValue() const {
    // The platform reads Y, y, T, t or a non-zero digit after optional space, sign and zeros.
    std::string_view text = skipSpace(_value);
    if (text.empty()) {
        return NO;
    }
    const char first = text.front();
    if (first == 'Y' || first == 'y' || first == 'T' || first == 't') {
        return YES;
    }
    if (first == '+' || first == '-') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.front() == '0') {
        text.remove_prefix(1);
    }
    return !text.empty() && text.front() >= '1' && text.front() <= '9';
}

double NSString::doubleValue() const {
    const std::string number = leadingDecimal(skipSpace(_value));
    if (number.empty()) {
        return 0.0;
    }
    return ::strtod_l(number.c_str(), nullptr, cLocale());
}

float NSString::floatValue() const {
    return static_cast<float>(doubleValue());
}

NSInteger NSString::integerValue() const {
    const std::string text(skipSpace(_value));
    if (text.empty() ||
        !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '+' || text[0] == '-')) {
        return 0;
    }
    char* end = nullptr;
    // Out-of-range values saturate, as strtoll does.
    const long long value = std::strtoll(text.c_str(), &end, 10);
    return end == text.c_str() ? 0 : value;
}

int NSString::intValue() const {
    const NSInteger value = integerValue();
    return static_cast<int>(std::clamp<NSInteger>(value, INT_MIN, INT_MAX));
}

BOOL NSString::isEqual(const NSObject* other) const {
    const auto* string = dynamic_cast<const NSString*>(other);
    return string && string->_value == _value;
}

std::size_t NSString::hash() const {
    return std::hash<std::string>{}(_value);
}

namespace {

// snprintf into a string of the right size, however long the result.
template <class... Values> std::string printfString(const std::string& format, Values... values) {
    const int size = std::snprintf(nullptr, 0, format.c_str(), values...);
    if (size <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(size), '\0');
    std::snprintf(out.data(), out.size() + 1, format.c_str(), values...);
    return out;
}

long long saturatingInteger(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<long long>::max())) {
        return std::numeric_limits<long long>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<long long>::min())) {
        return std::numeric_limits<long long>::min();
    }
    return static_cast<long long>(value);
}

long long integerOf(const NSString::FormatArgument* argument) {
    if (!argument) {
        return 0;
    }
    if (const auto* v = std::get_if<long long>(argument)) {
        return *v;
    }
    if (const auto* v = std::get_if<unsigned long long>(argument)) {
        return static_cast<long long>(*v);
    }
    if (const auto* v = std::get_if<double>(argument)) {
        return saturatingInteger(*v);
    }
    return 0;
}

double doubleOf(const NSString::FormatArgument* argument) {
    if (!argument) {
        return 0;
    }
    if (const auto* v = std::get_if<double>(argument)) {
        return *v;
    }
    if (const auto* v = std::get_if<long long>(argument)) {
        return static_cast<double>(*v);
    }
    if (const auto* v = std::get_if<unsigned long long>(argument)) {
        return static_cast<double>(*v);
    }
    return 0;
}

// What an argument reads as for %@ and %s: an object's description, a C string,
// or a number written out; nil and missing arguments read as "(null)".
std::string textOf(const NSString::FormatArgument* argument) {
    if (!argument) {
        return "(null)";
    }
    if (const auto* v = std::get_if<Ptr<NSObject>>(argument)) {
        return *v ? (*v)->description() : "(null)";
    }
    if (const auto* v = std::get_if<const char*>(argument)) {
        return *v ? *v : "(null)";
    }
    if (const auto* v = std::get_if<long long>(argument)) {
        return std::to_string(*v);
    }
    if (const auto* v = std::get_if<unsigned long long>(argument)) {
        return std::to_string(*v);
    }
    return printfString("%g", std::get<double>(*argument));
}

// One conversion. `flags` holds flags, width and precision (any '*' already
// replaced by its argument); `longModifier` tells whether the format asked for a
// 64-bit integer (l, ll, q, z, j, t).
std::string formatOne(std::string flags, bool longModifier, char conversion,
                      const NSString::FormatArgument* argument) {
    switch (conversion) {
    case 'd':
    case 'i':
        return printfString(flags + "lld", integerOf(argument));
    case 'u':
    case 'x':
    case 'X':
    case 'o': {
        unsigned long long value = 0;
        if (argument && std::holds_alternative<unsigned long long>(*argument)) {
            value = std::get<unsigned long long>(*argument);
        } else {
            const long long signedValue = integerOf(argument);
            // A negative int printed unsigned shows its 32 bits, as C does.
            value = (!longModifier && signedValue < 0) ? static_cast<unsigned int>(signedValue)
                                                       : static_cast<unsigned long long>(signedValue);
        }
        return printfString(flags + "ll" + conversion, value);
    }
    case 'c':
        return printfString(flags + "c", static_cast<int>(integerOf(argument)));
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
        return printfString(flags + conversion, doubleOf(argument));
    case 's':
    case '@':
        return printfString(flags + "s", textOf(argument).c_str());
    case 'p':
        return printfString("0x%llx", static_cast<unsigned long long>(integerOf(argument)));
    default:
        return flags + conversion;
    }
}

constexpr std::string_view kConversions = "diuxXocfFeEgGaAs@p";
constexpr std::string_view kFlagCharacters = "-+ #0123456789.";
constexpr std::string_view kLengthCharacters = "hlLqjzt";

} // namespace

Ptr<NSString> NSString::stringWithFormatArguments(std::string_view format,
                                                  const std::vector<FormatArgument>& arguments) {
    std::string out;
    std::size_t next = 0;
    auto nextArgument = [&]() -> const FormatArgument* {
        const FormatArgument* argument = next < arguments.size() ? &arguments[next] : nullptr;
        ++next;
        return argument;
    };
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::string flags = "%";
        bool longModifier = false;
        std::size_t j = i + 1;
        for (; j < format.size(); ++j) {
            const char c = format[j];
            if (c == '*') {
                // Width or precision taken from the argument list, as printf does.
                flags += std::to_string(integerOf(nextArgument()));
            } else if (kFlagCharacters.find(c) != std::string_view::npos) {
                flags += c;
            } else if (kLengthCharacters.find(c) != std::string_view::npos) {
                longModifier = longModifier || (c != 'h');
            } else {
                break;
            }
        }
        if (j >= format.size()) {
            out.append(format.substr(i));
            break;
        }
        const char conversion = format[j];
        if (kConversions.find(conversion) == std::string_view::npos) {
            // Not a conversion: written as it stands and consumes nothing.
            out.append(format.substr(i, j - i + 1));
        } else {
            out += formatOne(flags, longModifier, conversion, nextArgument());
        }
        i = j;
    }
    return stringWithUTF8String(out);
}
