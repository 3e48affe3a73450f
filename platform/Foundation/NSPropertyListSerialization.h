#pragma once

#include "Foundation/NSData.h"
#include "Foundation/NSObject.h"

// Property-list encodings, with the platform's values.
enum NSPropertyListFormat : NSUInteger {
    NSPropertyListOpenStepFormat = 1,
    NSPropertyListXMLFormat_v1_0 = 100,
    NSPropertyListBinaryFormat_v1_0 = 200,
};

// Property lists to and from bytes, in XML or binary form.
//
// Reading gives NSDictionary, NSArray, NSString, NSNumber (integers as signed
// 64-bit, reals as doubles, booleans as boolean numbers), NSData and NSDate. It
// answers nil for anything that is not one whole, well-formed property list:
// empty or truncated input, other text, a broken binary table, or nesting deeper
// than NSPropertyListMaximumDepth (which would exhaust the stack).
//
// Writing accepts the same classes; a tree holding anything else (an NSSet, an
// NSValue), a date more than 68 years from the reference date (libplist keeps
// 32-bit seconds) or nesting deeper than the limit is not a property list and
// gives nil.
class NSPropertyListSerialization : public NSObject {
public:
    static Ptr<NSObject> propertyListWithData(const Ptr<NSData>& data,
                                              NSPropertyListFormat* format = nullptr);
    static Ptr<NSData> dataWithPropertyList(const Ptr<NSObject>& propertyList, NSPropertyListFormat format);
    // YES when `propertyList` could be written in `format` (XML or binary).
    static BOOL propertyListIsValidForFormat(const Ptr<NSObject>& propertyList, NSPropertyListFormat format);
};

inline constexpr int NSPropertyListMaximumDepth = 512;
