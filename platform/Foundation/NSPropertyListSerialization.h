#pragma once

#include <string>

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
// empty or truncated input, other text, a broken binary table, nesting deeper
// than NSPropertyListMaximumDepth (which would exhaust the stack), or a binary
// list whose shared objects would unfold into more objects than it has bytes (a
// few hundred bytes can otherwise describe billions). Then `problem`, when given,
// receives why, as words to follow the input's name ("is nested too deeply ...").
//
// Writing accepts the same classes; a tree holding anything else (an NSSet, an
// NSValue), a date more than 68 years from the reference date (libplist keeps
// 32-bit seconds) or nesting deeper than the limit is not a property list and
// gives nil.
class NSPropertyListSerialization : public NSObject {
public:
    static Ptr<NSObject> propertyListWithData(const Ptr<NSData>& data, NSPropertyListFormat* format = nullptr,
                                              std::string* problem = nullptr);
    static Ptr<NSData> dataWithPropertyList(const Ptr<NSObject>& propertyList, NSPropertyListFormat format);
    // YES when `propertyList` could be written in `format` (XML or binary).
    static BOOL propertyListIsValidForFormat(const Ptr<NSObject>& propertyList, NSPropertyListFormat format);
};

inline constexpr int NSPropertyListMaximumDepth = 512;
