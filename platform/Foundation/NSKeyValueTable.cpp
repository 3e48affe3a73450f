#include "Foundation/NSKeyValueTable.h"

Ptr<NSObject> NSKeyValueBox(BOOL value) {
    return NSNumber::numberWithBool(value);
}
Ptr<NSObject> NSKeyValueBox(CGSize value) {
    return NSValue::valueWithCGSize(value);
}
Ptr<NSObject> NSKeyValueBox(CGPoint value) {
    return NSValue::valueWithCGPoint(value);
}
Ptr<NSObject> NSKeyValueBox(CGRect value) {
    return NSValue::valueWithCGRect(value);
}

template <> BOOL NSKeyValueUnbox<BOOL>(const Ptr<NSObject>& value) {
    return NSBoolValue(value);
}

template <> CGSize NSKeyValueUnbox<CGSize>(const Ptr<NSObject>& value) {
    const auto boxed = std::dynamic_pointer_cast<NSValue>(value);
    return boxed ? boxed->CGSizeValue() : CGSizeZero;
}

template <> CGPoint NSKeyValueUnbox<CGPoint>(const Ptr<NSObject>& value) {
    const auto boxed = std::dynamic_pointer_cast<NSValue>(value);
    return boxed ? boxed->CGPointValue() : CGPointZero;
}

template <> CGRect NSKeyValueUnbox<CGRect>(const Ptr<NSObject>& value) {
    const auto boxed = std::dynamic_pointer_cast<NSValue>(value);
    return boxed ? boxed->CGRectValue() : CGRectZero;
}

const NSKeyValueAccessor* NSKeyValueTable::find(std::string_view key) const {
    const auto found = _accessors.find(key);
    return found == _accessors.end() ? nullptr : &found->second;
}
