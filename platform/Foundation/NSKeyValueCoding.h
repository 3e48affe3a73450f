#pragma once

#include <string_view>

#include "Foundation/NSKeyValueTable.h"
#include "Foundation/NSObject.h"

// Key-value coding: properties set and read by key name.
//
// A class that supports it derives from NSKeyValueCoding and answers a table
// (NSKeyValueTable) from key names to its own getter and setter member functions.
// A subclass's table starts as a copy of its base class's table. Because the
// table holds member-function pointers, a key read or write dispatches through
// the object's virtual functions: a subclass that overrides a getter is asked
// through its override.

// The interface of a class with key-value coding. Mixed into an NSObject subclass.
class NSKeyValueCoding {
public:
    virtual ~NSKeyValueCoding() = default;

    // Writes `value` through the key's setter. Answers NO (and changes nothing)
    // for a key the class does not support or that is read-only.
    BOOL setValue(const Ptr<NSObject>& value, std::string_view key);
    // Reads the key through its getter; nil for an unsupported key.
    Ptr<NSObject> valueForKey(std::string_view key) const;
    // Dotted key paths ("subLabel.font"): every key but the last is read, the
    // last is written on the object reached. Answers NO when a step is nil or
    // does not support its key.
    BOOL setValueForKeyPath(const Ptr<NSObject>& value, std::string_view keyPath);
    Ptr<NSObject> valueForKeyPath(std::string_view keyPath) const;
    // Writes each entry of `keyedValues` (an NSDictionary) in its order.
    void setValuesForKeysWithDictionary(const Ptr<NSObject>& keyedValues);

    // The keys this object's class supports.
    virtual const NSKeyValueTable& keyValueTable() const = 0;
};

// Key-value coding on any object: classes with a key table, and dictionaries
// (a key reads and writes the dictionary's entry). Anything else supports no key.
Ptr<NSObject> NSObjectValueForKey(const Ptr<NSObject>& object, std::string_view key);
BOOL NSObjectSetValueForKey(const Ptr<NSObject>& object, const Ptr<NSObject>& value, std::string_view key);
Ptr<NSObject> NSObjectValueForKeyPath(const Ptr<NSObject>& object, std::string_view keyPath);
BOOL NSObjectSetValueForKeyPath(const Ptr<NSObject>& object, const Ptr<NSObject>& value,
                                std::string_view keyPath);
