#include "Foundation/NSCoder.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "Foundation/NSNumber.h"
#include "Foundation/NSString.h"

namespace {

// The numbers of a geometry string such as "{{1, 2}, {3, 4}}", in order. Anything
// that is not part of a number separates numbers.
std::vector<double> numbersInString(const std::string& text) {
    std::vector<double> numbers;
    const char* cursor = text.c_str();
    while (*cursor != '\0') {
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(cursor, &end);
        if (end != cursor && errno == 0) {
            // "nan" and "inf" parse as numbers but make no geometry.
            if (!std::isfinite(value)) {
                return {};
            }
            numbers.push_back(value);
            cursor = end;
        } else {
            ++cursor;
        }
    }
    return numbers;
}

// The numbers a geometry entry holds: from a string, an array of numbers, or a
// boxed value.
std::vector<double> geometryNumbers(const Ptr<NSObject>& entry) {
    if (const auto string = std::dynamic_pointer_cast<NSString>(entry)) {
        return numbersInString(string->UTF8String());
    }
    if (const auto array = std::dynamic_pointer_cast<NSArray>(entry)) {
        std::vector<double> numbers;
        for (const auto& element : array->objects()) {
            numbers.push_back(NSDoubleValue(element));
        }
        return numbers;
    }
    if (const auto value = std::dynamic_pointer_cast<NSValue>(entry)) {
        const auto rect = value->CGRectValue();
        return {rect.origin.x, rect.origin.y, rect.size.width, rect.size.height};
    }
    return {};
}

} // namespace

Ptr<NSCoder> NSCoder::initForReadingWithDictionary(const Ptr<NSDictionary>& dictionary) {
    NSObject::init();
    if (!dictionary) {
        return nullptr;
    }
    _dictionary = dictionary;
    return self<NSCoder>();
}

BOOL NSCoder::containsValueForKey(std::string_view key) const {
    return _dictionary && _dictionary->objectForKey(key) != nullptr;
}

Ptr<NSObject> NSCoder::decodeObjectForKey(std::string_view key) const {
    return _dictionary ? _dictionary->objectForKey(key) : nullptr;
}

Ptr<NSCoder> NSCoder::nestedCoderForKey(std::string_view key) const {
    const auto nested = std::dynamic_pointer_cast<NSDictionary>(decodeObjectForKey(key));
    return nested ? alloc<NSCoder>()->initForReadingWithDictionary(nested) : nullptr;
}

BOOL NSCoder::decodeBoolForKey(std::string_view key) const {
    return NSBoolValue(decodeObjectForKey(key));
}

NSInteger NSCoder::decodeIntegerForKey(std::string_view key) const {
    return NSIntegerValue(decodeObjectForKey(key));
}

double NSCoder::decodeDoubleForKey(std::string_view key) const {
    return NSDoubleValue(decodeObjectForKey(key));
}

float NSCoder::decodeFloatForKey(std::string_view key) const {
    return NSFloatValue(decodeObjectForKey(key));
}

CGPoint NSCoder::decodeCGPointForKey(std::string_view key) const {
    const auto entry = decodeObjectForKey(key);
    if (const auto value = std::dynamic_pointer_cast<NSValue>(entry)) {
        return value->CGPointValue();
    }
    const auto numbers = geometryNumbers(entry);
    return numbers.size() == 2 ? CGPointMake(numbers[0], numbers[1]) : CGPointZero;
}

CGSize NSCoder::decodeCGSizeForKey(std::string_view key) const {
    const auto entry = decodeObjectForKey(key);
    if (const auto value = std::dynamic_pointer_cast<NSValue>(entry)) {
        return value->CGSizeValue();
    }
    const auto numbers = geometryNumbers(entry);
    return numbers.size() == 2 ? CGSizeMake(numbers[0], numbers[1]) : CGSizeZero;
}

CGRect NSCoder::decodeCGRectForKey(std::string_view key) const {
    const auto numbers = geometryNumbers(decodeObjectForKey(key));
    return numbers.size() == 4 ? CGRectMake(numbers[0], numbers[1], numbers[2], numbers[3]) : CGRectZero;
}
