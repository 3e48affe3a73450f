#pragma once

#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// An ordered array of objects (nil is not stored).
class NSArray : public NSObject {
public:
    static Ptr<NSArray> arrayWithObjects(std::vector<Ptr<NSObject>> objects);
    static Ptr<NSArray> array() { return arrayWithObjects({}); }

    NSUInteger count() const { return _objects.size(); }
    // nil past the end instead of raising.
    Ptr<NSObject> objectAtIndex(NSUInteger index) const;
    const std::vector<Ptr<NSObject>>& objects() const { return _objects; }
    bool containsObject(const Ptr<NSObject>& object) const;

    bool isEqual(const NSObject* other) const override;
    std::string description() const override;

protected:
    std::vector<Ptr<NSObject>> _objects;
};

class NSMutableArray : public NSArray {
public:
    void addObject(const Ptr<NSObject>& object);
    void removeObject(const Ptr<NSObject>& object);
    void removeAllObjects() { _objects.clear(); }
};

// An unordered set of distinct objects, kept in insertion order.
class NSSet : public NSObject {
public:
    static Ptr<NSSet> setWithObject(const Ptr<NSObject>& object);
    static Ptr<NSSet> setWithObjects(const std::vector<Ptr<NSObject>>& objects);

    NSUInteger count() const { return _objects.size(); }
    Ptr<NSObject> anyObject() const { return _objects.empty() ? nullptr : _objects.front(); }
    const std::vector<Ptr<NSObject>>& allObjects() const { return _objects; }
    bool containsObject(const Ptr<NSObject>& object) const;

    bool isEqual(const NSObject* other) const override;
    std::string description() const override;

private:
    std::vector<Ptr<NSObject>> _objects;
};

// A dictionary from string keys to objects, kept in insertion order.
class NSDictionary : public NSObject {
public:
    using Entries = std::vector<std::pair<std::string, Ptr<NSObject>>>;

    static Ptr<NSDictionary> dictionary() { return dictionaryWithEntries({}); }
    static Ptr<NSDictionary> dictionaryWithEntries(Entries entries);
    // The dictionary stored in a property-list file (XML or binary), or nil when the
    // file is missing, unreadable, empty, not a property list or not a dictionary.
    // Device paths (/var/mobile/...) resolve under the device root.
    static Ptr<NSDictionary> dictionaryWithContentsOfFile(const Ptr<NSString>& path);

    NSUInteger count() const { return _entries.size(); }
    Ptr<NSObject> objectForKey(std::string_view key) const;
    Ptr<NSObject> objectForKey(const Ptr<NSString>& key) const { return key ? objectForKey(key->UTF8String()) : nullptr; }
    const Entries& entries() const { return _entries; }

    bool isEqual(const NSObject* other) const override;
    std::string description() const override;

protected:
    Entries _entries;
};

class NSMutableDictionary : public NSDictionary {
public:
    static Ptr<NSMutableDictionary> dictionary() { return alloc<NSMutableDictionary>(); }
    // Setting nil removes the key.
    void setObject(const Ptr<NSObject>& object, std::string_view key);
    void removeObjectForKey(std::string_view key);
};
