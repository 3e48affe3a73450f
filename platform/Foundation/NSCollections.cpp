#include "Foundation/NSCollections.h"

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

bool NSArray::containsObject(const Ptr<NSObject>& object) const {
    return std::any_of(_objects.begin(), _objects.end(),
                       [&](const Ptr<NSObject>& item) { return NSObjectsEqual(item, object); });
}

bool NSArray::isEqual(const NSObject* other) const {
    const auto* array = dynamic_cast<const NSArray*>(other);
    if (!array || array->_objects.size() != _objects.size()) {
        return false;
    }
    for (std::size_t i = 0; i < _objects.size(); ++i) {
        if (!NSObjectsEqual(_objects[i], array->_objects[i])) {
            return false;
        }
    }
    return true;
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

bool NSSet::containsObject(const Ptr<NSObject>& object) const {
    return std::any_of(_objects.begin(), _objects.end(),
                       [&](const Ptr<NSObject>& item) { return NSObjectsEqual(item, object); });
}

bool NSSet::isEqual(const NSObject* other) const {
    const auto* set = dynamic_cast<const NSSet*>(other);
    if (!set || set->_objects.size() != _objects.size()) {
        return false;
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

Ptr<NSDictionary> NSDictionary::dictionaryWithEntries(Entries entries) {
    auto dictionary = alloc<NSDictionary>();
    for (auto& [key, value] : entries) {
        if (!value) {
            continue;
        }
        auto existing = std::find_if(dictionary->_entries.begin(), dictionary->_entries.end(),
                                     [&](const auto& entry) { return entry.first == key; });
        if (existing != dictionary->_entries.end()) {
            existing->second = value;
        } else {
            dictionary->_entries.emplace_back(key, value);
        }
    }
    return dictionary;
}

Ptr<NSDictionary> NSDictionary::dictionaryWithObject(const Ptr<NSObject>& object, std::string_view key) {
    return dictionaryWithEntries({{std::string(key), object}});
}

Ptr<NSArray> NSDictionary::allKeys() const {
    std::vector<Ptr<NSObject>> keys;
    keys.reserve(_entries.size());
    for (const auto& [key, value] : _entries) {
        keys.push_back(NSStr(key));
    }
    return NSArray::arrayWithObjects(std::move(keys));
}

Ptr<NSObject> NSDictionary::objectForKey(std::string_view key) const {
    for (const auto& [name, value] : _entries) {
        if (name == key) {
            return value;
        }
    }
    return nullptr;
}

bool NSDictionary::isEqual(const NSObject* other) const {
    const auto* dictionary = dynamic_cast<const NSDictionary*>(other);
    if (!dictionary || dictionary->_entries.size() != _entries.size()) {
        return false;
    }
    for (const auto& [key, value] : _entries) {
        if (!NSObjectsEqual(value, dictionary->objectForKey(key))) {
            return false;
        }
    }
    return true;
}

std::string NSDictionary::description() const {
    std::string out = "{";
    for (const auto& [key, value] : _entries) {
        out += "\n    " + key + " = " + value->description() + ";";
    }
    return out + (_entries.empty() ? "}" : "\n}");
}

Ptr<NSMutableDictionary> NSMutableDictionary::dictionaryWithDictionary(const Ptr<NSDictionary>& dictionary) {
    auto copy = alloc<NSMutableDictionary>();
    if (dictionary) {
        copy->_entries = dictionary->entries();
    }
    return copy;
}

void NSMutableDictionary::setObject(const Ptr<NSObject>& object, std::string_view key) {
    if (!object) {
        removeObjectForKey(key);
        return;
    }
    for (auto& [name, value] : _entries) {
        if (name == key) {
            value = object;
            return;
        }
    }
    _entries.emplace_back(std::string(key), object);
}

void NSMutableDictionary::removeObjectForKey(std::string_view key) {
    std::erase_if(_entries, [&](const auto& entry) { return entry.first == key; });
}
