#include "Foundation/NSString.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <functional>

Ptr<NSString> NSString::initWithUTF8String(std::string_view text) {
    _value.assign(text);
    return self<NSString>();
}

Ptr<NSString> NSString::stringWithUTF8String(std::string_view text) { return alloc<NSString>()->initWithUTF8String(text); }

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

} // namespace

bool NSString::boolValue() const {
    // The platform reads Y, y, T, t or a non-zero digit after optional space, sign and zeros.
    std::string_view text = skipSpace(_value);
    if (text.empty()) {
        return false;
    }
    const char first = text.front();
    if (first == 'Y' || first == 'y' || first == 'T' || first == 't') {
        return true;
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
    const std::string text(skipSpace(_value));
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return end == text.c_str() ? 0.0 : value;
}

float NSString::floatValue() const { return static_cast<float>(doubleValue()); }

NSInteger NSString::integerValue() const {
    const std::string text(skipSpace(_value));
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    return end == text.c_str() ? 0 : value;
}

bool NSString::isEqual(const NSObject* other) const {
    const auto* string = dynamic_cast<const NSString*>(other);
    return string && string->_value == _value;
}

std::size_t NSString::hash() const { return std::hash<std::string>{}(_value); }

namespace {

std::string formatOne(const std::string& spec, const NSString::FormatArgument* argument) {
    const char conversion = spec.back();
    char buffer[512];
    auto asInteger = [&]() -> long long {
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
            return static_cast<long long>(*v);
        }
        return 0;
    };
    auto asDouble = [&]() -> double {
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
    };
    // Strip any length modifiers and put the widest one back.
    std::string flags = spec.substr(0, spec.size() - 1);
    while (!flags.empty() && std::string_view("hlLqjzt").find(flags.back()) != std::string_view::npos) {
        flags.pop_back();
    }
    switch (conversion) {
    case 'd':
    case 'i':
        std::snprintf(buffer, sizeof buffer, (flags + "lld").c_str(), asInteger());
        return buffer;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        std::snprintf(buffer, sizeof buffer, (flags + "ll" + conversion).c_str(),
                      static_cast<unsigned long long>(asInteger()));
        return buffer;
    case 'c':
        std::snprintf(buffer, sizeof buffer, (flags + "c").c_str(), static_cast<int>(asInteger()));
        return buffer;
    case 'f':
    case 'F':
    case 'e':
    case 'E':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
        std::snprintf(buffer, sizeof buffer, (flags + conversion).c_str(), asDouble());
        return buffer;
    case 's': {
        const char* text = "(null)";
        if (argument) {
            if (const auto* v = std::get_if<const char*>(argument); v && *v) {
                text = *v;
            }
        }
        std::snprintf(buffer, sizeof buffer, (flags + "s").c_str(), text);
        return buffer;
    }
    case 'p':
        std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(asInteger()));
        return buffer;
    case '@': {
        if (argument) {
            if (const auto* v = std::get_if<Ptr<NSObject>>(argument); v && *v) {
                return (*v)->description();
            }
        }
        return "(null)";
    }
    default:
        return spec;
    }
}

} // namespace

Ptr<NSString> NSString::stringWithFormatArguments(std::string_view format,
                                                  const std::vector<FormatArgument>& arguments) {
    std::string out;
    std::size_t next = 0;
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
        std::size_t j = i + 1;
        while (j < format.size() && std::string_view("-+ #0123456789.*hlLqjzt").find(format[j]) != std::string_view::npos) {
            ++j;
        }
        if (j >= format.size()) {
            out.append(format.substr(i));
            break;
        }
        const std::string spec(format.substr(i, j - i + 1));
        const FormatArgument* argument = next < arguments.size() ? &arguments[next] : nullptr;
        ++next;
        out += formatOne(spec, argument);
        i = j;
    }
    return stringWithUTF8String(out);
}
