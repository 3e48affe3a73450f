#include "Foundation/NSKeyValueCoding.h"

#include "Foundation/NSCollections.h"

namespace {

// Splits "a.b.c" into "a.b" and "c"; a path without a dot has an empty head.
std::pair<std::string_view, std::string_view> splitLastKey(std::string_view keyPath) {
    const auto dot = keyPath.rfind('.');
    if (dot == std::string_view::npos) {
        return {std::string_view{}, keyPath};
    }
    return {keyPath.substr(0, dot), keyPath.substr(dot + 1)};
}

Ptr<NSObject> selfObject(const NSKeyValueCoding& coding) {
    // The mixin sits beside NSObject in the same object: a cross cast finds it.
    const auto* object = dynamic_cast<const NSObject*>(&coding);
    return object ? std::const_pointer_cast<NSObject>(object->shared_from_this()) : nullptr;
}

} // namespace

BOOL NSKeyValueCoding::setValue(const Ptr<NSObject>& value, std::string_view key) {
    const auto* accessor = keyValueTable().find(key);
    auto object = selfObject(*this);
    if (!accessor || !accessor->set || !object) {
        return NO;
    }
    accessor->set(*object, value);
    return YES;
}

Ptr<NSObject> NSKeyValueCoding::valueForKey(std::string_view key) const {
    const auto* accessor = keyValueTable().find(key);
    const auto* object = dynamic_cast<const NSObject*>(this);
    if (!accessor || !accessor->get || !object) {
        return nullptr;
    }
    return accessor->get(*object);
}

BOOL NSKeyValueCoding::setValueForKeyPath(const Ptr<NSObject>& value, std::string_view keyPath) {
    return NSObjectSetValueForKeyPath(selfObject(*this), value, keyPath);
}

Ptr<NSObject> NSKeyValueCoding::valueForKeyPath(std::string_view keyPath) const {
    return NSObjectValueForKeyPath(selfObject(*this), keyPath);
}

void NSKeyValueCoding::setValuesForKeysWithDictionary(const Ptr<NSObject>& keyedValues) {
    const auto dictionary = std::dynamic_pointer_cast<NSDictionary>(keyedValues);
    if (!dictionary) {
        return;
    }
    // Copy the entries: a setter may change the dictionary it came from.
    const auto entries = dictionary->entries();
    for (const auto& [key, value] : entries) {
        setValue(value, key);
    }
}

Ptr<NSObject> NSObjectValueForKey(const Ptr<NSObject>& object, std::string_view key) {
    if (const auto* coding = dynamic_cast<const NSKeyValueCoding*>(object.get())) {
        return coding->valueForKey(key);
    }
    if (const auto dictionary = std::dynamic_pointer_cast<NSDictionary>(object)) {
        return dictionary->objectForKey(key);
    }
    return nullptr;
}

BOOL NSObjectSetValueForKey(const Ptr<NSObject>& object, const Ptr<NSObject>& value, std::string_view key) {
    if (auto* coding = dynamic_cast<NSKeyValueCoding*>(object.get())) {
        return coding->setValue(value, key);
    }
    if (const auto dictionary = std::dynamic_pointer_cast<NSMutableDictionary>(object)) {
        dictionary->setObject(value, key);
        return YES;
    }
    return NO;
}

Ptr<NSObject> NSObjectValueForKeyPath(const Ptr<NSObject>& object, std::string_view keyPath) {
    auto current = object;
    while (current) {
        const auto dot = keyPath.find('.');
        if (dot == std::string_view::npos) {
            return NSObjectValueForKey(current, keyPath);
        }
        current = NSObjectValueForKey(current, keyPath.substr(0, dot));
        keyPath.remove_prefix(dot + 1);
    }
    return nullptr;
}

BOOL NSObjectSetValueForKeyPath(const Ptr<NSObject>& object, const Ptr<NSObject>& value,
                                std::string_view keyPath) {
    const auto [head, last] = splitLastKey(keyPath);
    const auto target = head.empty() ? object : NSObjectValueForKeyPath(object, head);
    return target && NSObjectSetValueForKey(target, value, last);
}
