#pragma once

#include <vector>

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

// An ordered array of objects (nil is not stored).
class NSArray : public NSObject {
public:
    static Ptr<NSArray> arrayWithObjects(std::vector<Ptr<NSObject>> objects);
    static Ptr<NSArray> array() { return arrayWithObjects({}); }
    // The array stored in a property-list file (XML or binary), or nil when the file
    // is missing, unreadable, empty, not a property list or not an array. Device
    // paths (/var/mobile/...) resolve under the device root.
    static Ptr<NSArray> arrayWithContentsOfFile(const Ptr<NSString>& path);

    NSUInteger count() const { return _objects.size(); }
    // nil past the end instead of raising.
    Ptr<NSObject> objectAtIndex(NSUInteger index) const;
    const std::vector<Ptr<NSObject>>& objects() const { return _objects; }
    BOOL containsObject(const Ptr<NSObject>& object) const;
    // Writes the array as an XML property list; see NSDictionary::writeToFile.
    BOOL writeToFile(const Ptr<NSString>& path, BOOL atomically) const;

    BOOL isEqual(const NSObject* other) const override;
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
