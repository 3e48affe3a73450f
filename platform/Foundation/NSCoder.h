#pragma once

#include <string_view>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSCollections.h"
#include "Foundation/NSObject.h"

// A keyed decoder over a property-list dictionary: what an interface file holds
// for one object. Each key is one property; a nested dictionary is an object of
// its own, decoded by that class's initWithCoder.
//
// Geometry is written as the platform writes it into strings: "{x, y}",
// "{width, height}" and "{{x, y}, {width, height}}"; an array of numbers in the
// same order is read as well. A missing or malformed entry reads as zero / NO / nil.
class NSCoder : public NSObject {
public:
    // A coder reading `dictionary`; nil when the dictionary is nil.
    Ptr<NSCoder> initForReadingWithDictionary(const Ptr<NSDictionary>& dictionary);

    BOOL containsValueForKey(std::string_view key) const;

    // The entry as stored (a string, number, array, dictionary...), or nil.
    Ptr<NSObject> decodeObjectForKey(std::string_view key) const;
    // An object of class T: an entry that already is a T as it is, a nested
    // dictionary through T's initWithCoder, anything else nil.
    template <class T> Ptr<T> decodeObjectOfClass(std::string_view key) const;
    // A nested dictionary as a coder of its own, or nil.
    Ptr<NSCoder> nestedCoderForKey(std::string_view key) const;

    BOOL decodeBoolForKey(std::string_view key) const;
    NSInteger decodeIntegerForKey(std::string_view key) const;
    double decodeDoubleForKey(std::string_view key) const;
    float decodeFloatForKey(std::string_view key) const;
    CGPoint decodeCGPointForKey(std::string_view key) const;
    CGSize decodeCGSizeForKey(std::string_view key) const;
    CGRect decodeCGRectForKey(std::string_view key) const;

    const Ptr<NSDictionary>& dictionary() const { return _dictionary; }

private:
    Ptr<NSDictionary> _dictionary;
};

template <class T> Ptr<T> NSCoder::decodeObjectOfClass(std::string_view key) const {
    auto object = decodeObjectForKey(key);
    if (auto typed = std::dynamic_pointer_cast<T>(object)) {
        return typed;
    }
    if (auto nested = nestedCoderForKey(key)) {
        return alloc<T>()->initWithCoder(nested);
    }
    return nullptr;
}
