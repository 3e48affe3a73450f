#include "Foundation/NSSet.h"

#include <algorithm>

Ptr<NSSet> NSSet::setWithObject(const Ptr<NSObject>& object) {
    return setWithObjects({object});
}

Ptr<NSSet> NSSet::setWithObjects(const std::vector<Ptr<NSObject>>& objects) {
    auto set = alloc<NSSet>();
    for (const auto& object : objects) {
        if (object && !set->containsObject(object)) {
            set->_objects.push_back(object);
        }
    }
    return set;
}

BOOL NSSet::containsObject(const Ptr<NSObject>& object) const {
    return std::any_of(_objects.begin(), _objects.end(),
                       [&](const Ptr<NSObject>& item) { return NSObjectsEqual(item, object); });
}

BOOL NSSet::isEqual(const NSObject* other) const {
    const auto* set = dynamic_cast<const NSSet*>(other);
    if (!set || set->_objects.size() != _objects.size()) {
        return NO;
    }
    return std::all_of(_objects.begin(), _objects.end(),
                       [&](const Ptr<NSObject>& item) { return set->containsObject(item); });
}

std::string NSSet::description() const {
    std::string out = "{(";
    for (std::size_t i = 0; i < _objects.size(); ++i) {
        out += i ? ", " : "";
        out += _objects[i]->description();
    }
    return out + ")}";
}
