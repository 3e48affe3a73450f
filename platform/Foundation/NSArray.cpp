#include "Foundation/NSArray.h"

#include <algorithm>

Ptr<NSArray> NSArray::arrayWithObjects(std::vector<Ptr<NSObject>> objects) {
    auto array = alloc<NSArray>();
    std::erase(objects, nullptr);
    array->_objects = std::move(objects);
    return array;
}

Ptr<NSObject> NSArray::objectAtIndex(NSUInteger index) const {
    return index < _objects.size() ? _objects[index] : nullptr;
}

BOOL NSArray::containsObject(const Ptr<NSObject>& object) const {
    return std::any_of(_objects.begin(), _objects.end(),
                       [&](const Ptr<NSObject>& item) { return NSObjectsEqual(item, object); });
}

BOOL NSArray::isEqual(const NSObject* other) const {
    const auto* array = dynamic_cast<const NSArray*>(other);
    if (!array || array->_objects.size() != _objects.size()) {
        return NO;
    }
    for (std::size_t i = 0; i < _objects.size(); ++i) {
        if (!NSObjectsEqual(_objects[i], array->_objects[i])) {
            return NO;
        }
    }
    return YES;
}

std::string NSArray::description() const {
    std::string out = "(";
    for (std::size_t i = 0; i < _objects.size(); ++i) {
        out += i ? ", " : "";
        out += _objects[i]->description();
    }
    return out + ")";
}

void NSMutableArray::addObject(const Ptr<NSObject>& object) {
    if (object) {
        _objects.push_back(object);
    }
}

void NSMutableArray::removeObject(const Ptr<NSObject>& object) {
    std::erase_if(_objects, [&](const Ptr<NSObject>& item) { return NSObjectsEqual(item, object); });
}
