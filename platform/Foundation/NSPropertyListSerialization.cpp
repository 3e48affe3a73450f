#include "Foundation/NSPropertyListSerialization.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <plist/plist.h>
#include <string_view>
#include <vector>

#include "Foundation/NSCollections.h"
#include "Foundation/NSDate.h"
#include "Foundation/NSNumber.h"

namespace {

// Owns a libplist node tree.
struct PlistFree {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistHandle = std::unique_ptr<void, PlistFree>;

// Owns memory that libplist allocated with malloc.
struct MallocFree {
    void operator()(void* pointer) const { std::free(pointer); }
};

std::uint64_t readBigEndian(const std::uint8_t* bytes, std::size_t size) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

constexpr const char* kNotAPropertyList = "is not a property list";
constexpr const char* kDamagedTable = "is a binary property list with a damaged object table";
constexpr const char* kNestedTooDeeply = "is nested too deeply (more than 512 levels)";

// Checks the object table of a binary property list without trusting it: every
// offset and reference in range, no cycles, no nesting deeper than the limit, and
// no more objects once shared ones are unfolded than the input has bytes.
// libplist's reader and its free() recurse once per level, so deep input must be
// refused before it gets there; and the reader copies an object for each
// reference to it, so a chain of containers that each refer to the next twice
// would otherwise grow to 2^depth objects. Answers what is wrong, or nullptr.
const char* binaryPropertyListProblem(const std::uint8_t* bytes, std::size_t length) {
    constexpr std::size_t kHeader = 8;
    constexpr std::size_t kTrailer = 32;
    if (length < kHeader + kTrailer + 1) {
        return kDamagedTable;
    }
    const std::uint8_t* trailer = bytes + length - kTrailer;
    const std::size_t offsetSize = trailer[6];
    const std::size_t referenceSize = trailer[7];
    const std::uint64_t objectCount = readBigEndian(trailer + 8, 8);
    const std::uint64_t topObject = readBigEndian(trailer + 16, 8);
    const std::uint64_t tableOffset = readBigEndian(trailer + 24, 8);
    const std::size_t tableLimit = length - kTrailer;
    if (offsetSize < 1 || offsetSize > 8 || referenceSize < 1 || referenceSize > 8 || objectCount == 0 ||
        topObject >= objectCount || tableOffset < kHeader || tableOffset >= tableLimit ||
        objectCount > (tableLimit - tableOffset) / offsetSize) {
        return kDamagedTable;
    }
    const std::uint8_t* table = bytes + tableOffset;
    auto objectOffset = [&](std::uint64_t object) {
        return readBigEndian(table + object * offsetSize, offsetSize);
    };

    // The child references of a container object, or false when it is malformed.
    struct Children {
        const std::uint8_t* first = nullptr;
        std::uint64_t count = 0;
    };
    // The element count of the object at `offset` (the marker's low nibble, or an
    // integer object after it) and where its contents start.
    auto countOf = [&](std::uint64_t offset, std::uint64_t& count, std::uint64_t& position) {
        count = bytes[offset] & 0xF;
        position = offset + 1;
        if (count == 0xF) {
            // The count follows as an integer object: 0x1n, then 2^n big-endian bytes.
            if (position >= tableOffset || (bytes[position] >> 4) != 0x1) {
                return false;
            }
            const std::size_t countSize = std::size_t{1} << (bytes[position] & 0xF);
            if (countSize > 8 || position + 1 + countSize > tableOffset) {
                return false;
            }
            count = readBigEndian(bytes + position + 1, countSize);
            position += 1 + countSize;
        }
        return count <= tableOffset;
    };
    // A dictionary key must be ASCII text (bytes 1 to 127) or UTF-16 without NUL:
    // libplist asserts, and so aborts the process, on a key whose converted length
    // disagrees with strlen (a Latin-1 byte or a NUL inside).
    auto keyIsSound = [&](std::uint64_t object) {
        if (object >= objectCount) {
            return false;
        }
        const std::uint64_t offset = objectOffset(object);
        if (offset < kHeader || offset >= tableOffset) {
            return false;
        }
        const std::uint8_t kind = bytes[offset] >> 4;
        std::uint64_t count = 0;
        std::uint64_t position = 0;
        if ((kind != 0x5 && kind != 0x6) || !countOf(offset, count, position)) {
            return false;
        }
        const std::uint64_t unit = kind == 0x5 ? 1 : 2;
        if (count > (tableOffset - position) / unit) {
            return false;
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint8_t* character = bytes + position + i * unit;
            const bool bad = unit == 1 ? (character[0] == 0 || character[0] > 0x7F)
                                       : (character[0] == 0 && character[1] == 0);
            if (bad) {
                return false;
            }
        }
        return true;
    };
    auto childrenOf = [&](std::uint64_t object, Children& children) {
        const std::uint64_t offset = objectOffset(object);
        if (offset < kHeader || offset >= tableOffset) {
            return false;
        }
        const std::uint8_t kind = bytes[offset] >> 4;
        children = {};
        if (kind != 0xA && kind != 0xC && kind != 0xD) {
            return true;
        }
        std::uint64_t count = 0;
        std::uint64_t position = 0;
        if (!countOf(offset, count, position)) {
            return false;
        }
        const std::uint64_t references = kind == 0xD ? count * 2 : count;
        if (references > (tableOffset - position) / referenceSize) {
            return false;
        }
        children.first = bytes + position;
        children.count = references;
        if (kind == 0xD) {
            for (std::uint64_t i = 0; i < count; ++i) {
                if (!keyIsSound(readBigEndian(children.first + i * referenceSize, referenceSize))) {
                    return false;
                }
            }
        }
        return true;
    };

    enum : std::uint8_t { unvisited, inProgress, done };
    std::vector<std::uint8_t> state(objectCount, unvisited);
    // Each finished object's size once unfolded (itself and everything under it),
    // never more than `limit`.
    const std::uint64_t limit = length;
    std::vector<std::uint64_t> unfolded(objectCount, 0);
    struct Frame {
        std::uint64_t object;
        Children children;
        std::uint64_t next = 0;
        std::uint64_t size = 1;
    };
    std::vector<Frame> stack;
    Frame top{topObject, {}};
    if (!childrenOf(topObject, top.children)) {
        return kDamagedTable;
    }
    state[topObject] = inProgress;
    stack.push_back(top);
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.children.count) {
            state[frame.object] = done;
            unfolded[frame.object] = frame.size;
            const std::uint64_t size = frame.size;
            stack.pop_back();
            if (!stack.empty() && (stack.back().size += size) > limit) {
                return "has shared objects that unfold into more objects than the file has bytes";
            }
            continue;
        }
        const std::uint64_t child =
            readBigEndian(frame.children.first + frame.next * referenceSize, referenceSize);
        ++frame.next;
        if (child >= objectCount) {
            return kDamagedTable;
        }
        if (state[child] == inProgress) {
            return "is a binary property list whose objects contain themselves";
        }
        if (state[child] == done) {
            if ((frame.size += unfolded[child]) > limit) {
                return "has shared objects that unfold into more objects than the file has bytes";
            }
            continue;
        }
        Frame next{child, {}};
        if (!childrenOf(child, next.children)) {
            return kDamagedTable;
        }
        if (stack.size() + 1 > static_cast<std::size_t>(NSPropertyListMaximumDepth)) {
            return kNestedTooDeeply;
        }
        state[child] = inProgress;
        stack.push_back(next);
    }
    return nullptr;
}

constexpr const char* kIncompletePropertyList = "is incomplete";

// An XML property list is whole when its <plist> element is closed, and sound when
// its <array> and <dict> elements nest no deeper than the limit. Answers what is
// wrong, or nullptr.
const char* xmlPropertyListProblem(std::string_view text) {
    int depth = 0;
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (text.compare(at, 4, "<!--") == 0) {
            const std::size_t end = text.find("-->", at + 4);
            if (end == std::string_view::npos) {
                return kIncompletePropertyList;
            }
            at = end;
            continue;
        }
        if (text.compare(at, 9, "<![CDATA[") == 0) {
            const std::size_t end = text.find("]]>", at + 9);
            if (end == std::string_view::npos) {
                return kIncompletePropertyList;
            }
            at = end;
            continue;
        }
        const std::size_t close = text.find('>', at);
        if (close == std::string_view::npos) {
            return kIncompletePropertyList;
        }
        const std::string_view tag = text.substr(at + 1, close - at - 1);
        const bool closing = !tag.empty() && tag.front() == '/';
        const std::string_view name =
            tag.substr(closing ? 1 : 0, tag.find_first_of(" \t\r\n/", closing ? 1 : 0) - (closing ? 1 : 0));
        const bool selfClosing = !tag.empty() && tag.back() == '/';
        if ((name == "array" || name == "dict") && !selfClosing) {
            depth += closing ? -1 : 1;
            if (depth > NSPropertyListMaximumDepth) {
                return kNestedTooDeeply;
            }
        }
        at = close;
    }
    if (text.find("<plist") != std::string_view::npos) {
        std::size_t end = text.size();
        while (end > 0 &&
               (std::isspace(static_cast<unsigned char>(text[end - 1])) || text[end - 1] == '\0')) {
            --end;
        }
        constexpr std::string_view kClosing = "</plist>";
        if (end < kClosing.size() || text.substr(end - kClosing.size(), kClosing.size()) != kClosing) {
            return kIncompletePropertyList;
        }
    }
    return nullptr;
}

// Why libplist refused XML text that passed the checks above: a numeric character
// reference to a character XML does not allow (NUL, a surrogate, beyond Unicode)
// is named, since nothing else in the text shows it; anything else is
// not a property list.
std::string xmlParseProblem(std::string_view text) {
    for (std::size_t at = text.find("&#"); at != std::string_view::npos; at = text.find("&#", at + 2)) {
        const std::size_t end = text.find(';', at);
        if (end == std::string_view::npos || end - at > 16) {
            continue;
        }
        const std::string_view reference = text.substr(at, end - at + 1);
        const bool hexadecimal = reference.size() > 3 && (reference[2] == 'x' || reference[2] == 'X');
        const std::string_view digits =
            reference.substr(hexadecimal ? 3 : 2, reference.size() - (hexadecimal ? 4 : 3));
        std::uint64_t value = 0;
        const auto result =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, hexadecimal ? 16 : 10);
        const bool parsed =
            !digits.empty() && result.ec == std::errc() && result.ptr == digits.data() + digits.size();
        if (!parsed || value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
            return "holds the character reference " + std::string(reference) +
                   ", which names no character XML allows";
        }
    }
    return kNotAPropertyList;
}

Ptr<NSObject> objectFromNode(plist_t node) {
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return NSNumber::numberWithBool(value != 0);
    }
    case PLIST_UINT: {
        // libplist stores every integer unsigned; the bits are a signed 64-bit value.
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return NSNumber::numberWithInteger(static_cast<NSInteger>(value));
    }
    case PLIST_UID: {
        std::uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return NSNumber::numberWithInteger(static_cast<NSInteger>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return NSNumber::numberWithDouble(value);
    }
    case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        return NSStr(text ? std::string_view(text, length) : std::string_view());
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        return NSData::dataWithBytes(bytes, bytes ? length : 0);
    }
    case PLIST_DATE: {
        std::int32_t seconds = 0;
        std::int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return NSDate::dateWithTimeIntervalSinceReferenceDate(seconds + microseconds / 1e6);
    }
    case PLIST_ARRAY: {
        std::vector<Ptr<NSObject>> objects;
        const std::uint32_t count = plist_array_get_size(node);
        objects.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            auto object = objectFromNode(plist_array_get_item(node, i));
            if (!object) {
                return nullptr;
            }
            objects.push_back(std::move(object));
        }
        return NSArray::arrayWithObjects(std::move(objects));
    }
    case PLIST_DICT: {
        NSDictionary::Entries entries;
        plist_dict_iter iterator = nullptr;
        plist_dict_new_iter(node, &iterator);
        const std::unique_ptr<void, MallocFree> ownedIterator(iterator);
        for (;;) {
            char* rawKey = nullptr;
            plist_t value = nullptr;
            plist_dict_next_item(node, iterator, &rawKey, &value);
            const std::unique_ptr<char, MallocFree> key(rawKey);
            if (!key || !value) {
                break;
            }
            auto object = objectFromNode(value);
            if (!object) {
                return nullptr;
            }
            entries.emplace_back(key.get(), std::move(object));
        }
        return NSDictionary::dictionaryWithEntries(std::move(entries));
    }
    default:
        return nullptr;
    }
}

PlistHandle nodeFromObject(const NSObject* object, int depth) {
    if (!object || depth > NSPropertyListMaximumDepth) {
        return nullptr;
    }
    if (const auto* dictionary = dynamic_cast<const NSDictionary*>(object)) {
        PlistHandle node(plist_new_dict());
        for (const auto& [key, value] : dictionary->entries()) {
            PlistHandle child = nodeFromObject(value.get(), depth + 1);
            if (!child) {
                return nullptr;
            }
            plist_dict_set_item(node.get(), key.c_str(), child.release());
        }
        return node;
    }
    if (const auto* array = dynamic_cast<const NSArray*>(object)) {
        PlistHandle node(plist_new_array());
        for (const auto& value : array->objects()) {
            PlistHandle child = nodeFromObject(value.get(), depth + 1);
            if (!child) {
                return nullptr;
            }
            plist_array_append_item(node.get(), child.release());
        }
        return node;
    }
    if (const auto* string = dynamic_cast<const NSString*>(object)) {
        return PlistHandle(plist_new_string(string->UTF8String().c_str()));
    }
    if (const auto* number = dynamic_cast<const NSNumber*>(object)) {
        if (number->isBoolean()) {
            return PlistHandle(plist_new_bool(number->boolValue() ? 1 : 0));
        }
        if (number->isInteger()) {
            return PlistHandle(plist_new_uint(static_cast<std::uint64_t>(number->integerValue())));
        }
        return PlistHandle(plist_new_real(number->doubleValue()));
    }
    if (const auto* data = dynamic_cast<const NSData*>(object)) {
        return PlistHandle(plist_new_data(reinterpret_cast<const char*>(data->bytes()), data->length()));
    }
    if (const auto* date = dynamic_cast<const NSDate*>(object)) {
        const double interval = date->referenceDateInterval();
        double whole = std::floor(interval);
        if (!std::isfinite(whole) || whole < std::numeric_limits<std::int32_t>::min() ||
            whole > std::numeric_limits<std::int32_t>::max()) {
            return nullptr;
        }
        auto microseconds = static_cast<std::int32_t>(std::lround((interval - whole) * 1e6));
        if (microseconds >= 1'000'000) {
            microseconds -= 1'000'000;
            whole += 1;
        }
        return PlistHandle(plist_new_date(static_cast<std::int32_t>(whole), microseconds));
    }
    return nullptr;
}

} // namespace

Ptr<NSObject> NSPropertyListSerialization::propertyListWithData(const Ptr<NSData>& data,
                                                                NSPropertyListFormat* format,
                                                                std::string* problem) {
    const auto refuse = [problem](std::string why) -> Ptr<NSObject> {
        if (problem) {
            *problem = std::move(why);
        }
        return nullptr;
    };
    if (!data || data->length() == 0) {
        return refuse("is empty");
    }
    if (data->length() > std::numeric_limits<std::uint32_t>::max()) {
        return refuse("is larger than 4 GB");
    }
    const auto* bytes = data->bytes();
    auto length = static_cast<std::uint32_t>(data->length());
    // Editors may start an XML file with a UTF-8 byte-order mark; libplist refuses it.
    if (length >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        bytes += 3;
        length -= 3;
    }
    const char* text = reinterpret_cast<const char*>(bytes);
    const bool binary = plist_is_binary(text, length) != 0;
    if (const char* why = binary ? binaryPropertyListProblem(bytes, length)
                                 : xmlPropertyListProblem(std::string_view(text, length))) {
        return refuse(why);
    }
    plist_t parsed = nullptr;
    // libplist reports failure only by leaving the result empty.
    if (binary) {
        plist_from_bin(text, length, &parsed);
    } else {
        plist_from_xml(text, length, &parsed);
    }
    const PlistHandle root(parsed);
    if (!root) {
        return refuse(binary ? kDamagedTable : xmlParseProblem(std::string_view(text, length)));
    }
    auto object = objectFromNode(root.get());
    if (!object) {
        return refuse(kNotAPropertyList);
    }
    if (format) {
        *format = binary ? NSPropertyListBinaryFormat_v1_0 : NSPropertyListXMLFormat_v1_0;
    }
    return object;
}

Ptr<NSData> NSPropertyListSerialization::dataWithPropertyList(const Ptr<NSObject>& propertyList,
                                                              NSPropertyListFormat format) {
    if (format != NSPropertyListXMLFormat_v1_0 && format != NSPropertyListBinaryFormat_v1_0) {
        return nullptr;
    }
    const PlistHandle root = nodeFromObject(propertyList.get(), 1);
    if (!root) {
        return nullptr;
    }
    char* output = nullptr;
    std::uint32_t length = 0;
    if (format == NSPropertyListXMLFormat_v1_0) {
        plist_to_xml(root.get(), &output, &length);
    } else {
        plist_to_bin(root.get(), &output, &length);
    }
    if (!output) {
        return nullptr;
    }
    auto data = NSData::dataWithBytes(output, length);
    if (format == NSPropertyListXMLFormat_v1_0) {
        plist_to_xml_free(output);
    } else {
        plist_to_bin_free(output);
    }
    return data;
}

BOOL NSPropertyListSerialization::propertyListIsValidForFormat(const Ptr<NSObject>& propertyList,
                                                               NSPropertyListFormat format) {
    if (format != NSPropertyListXMLFormat_v1_0 && format != NSPropertyListBinaryFormat_v1_0) {
        return NO;
    }
    return nodeFromObject(propertyList.get(), 1) != nullptr;
}
