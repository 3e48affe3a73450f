#include "Foundation/NSDictionary.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

Ptr<NSDictionary> NSDictionary::dictionaryWithEntries(Entries entries) {
    auto dictionary = alloc<NSDictionary>();
    Entries& kept = dictionary->_entries;
    kept.reserve(entries.size());
    // A few entries are searched; many are indexed, so that a large property list
    // is not read in quadratic time. The index points into `entries`, which does
    // not move while it is used.
    constexpr std::size_t kSearchedAtMost = 16;
    std::unordered_map<std::string_view, std::size_t> index;
    const bool indexed = entries.size() > kSearchedAtMost;
    for (const auto& entry : entries) {
        // Named, not bound: a lambda below uses the key, and structured bindings
        // cannot be captured before clang 16.
        const auto& key = entry.first;
        const auto& value = entry.second;
        if (!value) {
            continue;
        }
        if (indexed) {
            const auto [at, added] = index.try_emplace(key, kept.size());
            if (!added) {
                kept[at->second].second = value;
                continue;
            }
        } else if (const auto existing = std::find_if(kept.begin(), kept.end(),
                                                      [&](const auto& other) { return other.first == key; });
                   existing != kept.end()) {
            existing->second = value;
            continue;
        }
        kept.emplace_back(key, value);
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

BOOL NSDictionary::isEqual(const NSObject* other) const {
    const auto* dictionary = dynamic_cast<const NSDictionary*>(other);
    if (!dictionary || dictionary->_entries.size() != _entries.size()) {
        return NO;
    }
    for (const auto& [key, value] : _entries) {
        if (!NSObjectsEqual(value, dictionary->objectForKey(key))) {
            return NO;
        }
    }
    return YES;
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
