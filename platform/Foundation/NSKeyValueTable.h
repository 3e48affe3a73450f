#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSObject.h"

// The table from key names to one class's getters and setters, which key-value
// coding (Foundation/NSKeyValueCoding.h) reads and writes through.
//
// Values cross as objects: booleans, integers, enumerations and floating-point
// values as NSNumber, geometry records as NSValue, objects as themselves. Writing
// nil to a scalar key writes 0 / NO; writing an object of the wrong class to an
// object key writes nil.

// One key's accessors. `set` is empty for a read-only key.
struct NSKeyValueAccessor {
    std::function<Ptr<NSObject>(const NSObject& object)> get;
    std::function<void(NSObject& object, const Ptr<NSObject>& value)> set;
};

// Boxing of property values into objects and back.
Ptr<NSObject> NSKeyValueBox(BOOL value);
Ptr<NSObject> NSKeyValueBox(CGSize value);
Ptr<NSObject> NSKeyValueBox(CGPoint value);
Ptr<NSObject> NSKeyValueBox(CGRect value);
template <class T>
requires(std::is_integral_v<T> || std::is_enum_v<T>) &&
    (!std::is_same_v<T, bool>)Ptr<NSObject> NSKeyValueBox(T value) {
    return NSNumber::numberWithInteger(static_cast<NSInteger>(value));
}
template <class T>
requires std::is_floating_point_v<T> Ptr<NSObject> NSKeyValueBox(T value) {
    return NSNumber::numberWithDouble(static_cast<double>(value));
}
template <class T> Ptr<NSObject> NSKeyValueBox(const Ptr<T>& value) {
    return value;
}

// Reads a boxed value as T: NSNumber and NSString readings for scalars, NSValue
// for geometry (anything else reads as zero), a checked cast for objects.
template <class T> T NSKeyValueUnbox(const Ptr<NSObject>& value);
template <> BOOL NSKeyValueUnbox<BOOL>(const Ptr<NSObject>& value);
template <> CGSize NSKeyValueUnbox<CGSize>(const Ptr<NSObject>& value);
template <> CGPoint NSKeyValueUnbox<CGPoint>(const Ptr<NSObject>& value);
template <> CGRect NSKeyValueUnbox<CGRect>(const Ptr<NSObject>& value);
namespace detail {
template <class T> struct IsPtr : std::false_type {};
template <class T> struct IsPtr<std::shared_ptr<T>> : std::true_type {};
} // namespace detail
template <class T> T NSKeyValueUnbox(const Ptr<NSObject>& value) {
    if constexpr (detail::IsPtr<T>::value) {
        return std::dynamic_pointer_cast<typename T::element_type>(value);
    } else if constexpr (std::is_floating_point_v<T>) {
        return static_cast<T>(NSDoubleValue(value));
    } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
        return static_cast<T>(NSIntegerValue(value));
    } else {
        static_assert(sizeof(T) == 0, "no unboxing for this property type");
    }
}

// The keys one class supports.
class NSKeyValueTable {
public:
    NSKeyValueTable() = default;

    // Adds (or replaces) `key` with a getter and an optional setter of class T.
    template <class T, class R, class P>
    NSKeyValueTable& add(std::string_view key, R (T::*getter)() const, void (T::*setter)(P)) {
        using Value = std::remove_cvref_t<P>;
        NSKeyValueAccessor accessor;
        accessor.get = [getter](const NSObject& object) {
            return NSKeyValueBox((static_cast<const T&>(object).*getter)());
        };
        accessor.set = [setter](NSObject& object, const Ptr<NSObject>& value) {
            (static_cast<T&>(object).*setter)(NSKeyValueUnbox<Value>(value));
        };
        _accessors.insert_or_assign(std::string(key), std::move(accessor));
        return *this;
    }
    NSKeyValueTable& add(std::string_view key, NSKeyValueAccessor accessor) {
        _accessors.insert_or_assign(std::string(key), std::move(accessor));
        return *this;
    }

    // The accessors of `key`, or nullptr when the class does not support it.
    const NSKeyValueAccessor* find(std::string_view key) const;
    BOOL contains(std::string_view key) const { return find(key) != nullptr; }

private:
    std::map<std::string, NSKeyValueAccessor, std::less<>> _accessors;
};
