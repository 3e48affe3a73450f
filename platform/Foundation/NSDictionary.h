#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Foundation/NSArray.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// A dictionary from string keys to objects, kept in insertion order.
class NSDictionary : public NSObject {
public:
    using Entries = std::vector<std::pair<std::string, Ptr<NSObject>>>;

    static Ptr<NSDictionary> dictionary() { return dictionaryWithEntries({}); }
    // Later entries replace earlier ones of the same key; nil values are left out.
    static Ptr<NSDictionary> dictionaryWithEntries(Entries entries);
    // A dictionary of one entry (empty when `object` is nil).
    static Ptr<NSDictionary> dictionaryWithObject(const Ptr<NSObject>& object, std::string_view key);
    // The dictionary stored in a property-list file (XML or binary), or nil when the
    // file is missing, unreadable, empty, not a property list or not a dictionary.
    // Device paths (/var/mobile/...) resolve under the device root.
    static Ptr<NSDictionary> dictionaryWithContentsOfFile(const Ptr<NSString>& path);

    NSUInteger count() const { return _entries.size(); }
    Ptr<NSObject> objectForKey(std::string_view key) const;
    Ptr<NSObject> objectForKey(const Ptr<NSString>& key) const {
        return key ? objectForKey(key->UTF8String()) : nullptr;
    }
    const Entries& entries() const { return _entries; }
    // The keys as strings, in the dictionary's order.
    Ptr<NSArray> allKeys() const;

    // Writes the dictionary as an XML property list and answers whether that worked.
    // Atomically: readers see the old file or the new one, never a part (see
    // NSData::writeToFile). Creates the file only, never its directory
    // (NSFileManager::createDirectoryAtPath does that); device paths resolve. A
    // dictionary holding objects that are not property-list objects writes nothing.
    BOOL writeToFile(const Ptr<NSString>& path, BOOL atomically) const;

    BOOL isEqual(const NSObject* other) const override;
    std::string description() const override;

protected:
    Entries _entries;
};

class NSMutableDictionary : public NSDictionary {
public:
    static Ptr<NSMutableDictionary> dictionary() { return alloc<NSMutableDictionary>(); }
    // A mutable copy of `dictionary`'s entries (empty for nil).
    static Ptr<NSMutableDictionary> dictionaryWithDictionary(const Ptr<NSDictionary>& dictionary);
    // Setting nil removes the key.
    void setObject(const Ptr<NSObject>& object, std::string_view key);
    void removeObjectForKey(std::string_view key);
};
