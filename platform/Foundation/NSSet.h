#pragma once

#include <vector>

#include "Foundation/NSObject.h"

// An unordered set of distinct objects, kept in insertion order.
class NSSet : public NSObject {
public:
    static Ptr<NSSet> setWithObject(const Ptr<NSObject>& object);
    static Ptr<NSSet> setWithObjects(const std::vector<Ptr<NSObject>>& objects);

    NSUInteger count() const { return _objects.size(); }
    Ptr<NSObject> anyObject() const { return _objects.empty() ? nullptr : _objects.front(); }
    const std::vector<Ptr<NSObject>>& allObjects() const { return _objects; }
    BOOL containsObject(const Ptr<NSObject>& object) const;

    BOOL isEqual(const NSObject* other) const override;
    std::string description() const override;

private:
    std::vector<Ptr<NSObject>> _objects;
};
