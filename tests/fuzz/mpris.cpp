// What players send, read by the code the bus client uses. The input is a run of
// property names and values in a compact encoding of D-Bus values: a tag byte,
// then 0 a boolean; 1-8 a byte, int16, uint16, int32, uint32, int64, uint64 or
// double (little-endian); 9 a string; 10 an object path; 11 strings; 12 bytes;
// 13 a{sv}; 14 av. Texts are a length byte and their bytes, containers a count
// byte and their elements; missing bytes read as 0. A value the bus could not
// carry (a string that is not UTF-8) is left out.
#include <vector>

#include <sdbus-c++/Error.h>
#include <sdbus-c++/Types.h>

#include "fuzz/FuzzTarget.h"
#include "mpris/MprisParsing.h"

namespace {

struct MprisFuzzInput {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;

    template <class Number> Number number() {
        Number value{};
        const std::size_t count = std::min(sizeof value, size - at);
        std::memcpy(&value, data + at, count);
        at += count;
        return value;
    }
    std::string text() {
        const std::size_t length = std::min<std::size_t>(number<std::uint8_t>(), size - at);
        at += length;
        return std::string(reinterpret_cast<const char*>(data + at - length), length);
    }
    template <class Read> auto list(Read read) {
        std::vector<decltype(read())> items;
        for (int count = number<std::uint8_t>(); count > 0 && at < size; --count) {
            items.push_back(read());
        }
        return items;
    }
    mpris::PropertyMap map(int depth, std::size_t count) {
        mpris::PropertyMap properties;
        for (; count > 0 && at < size; --count) {
            std::string key = text();
            try {
                properties[key] = value(depth);
            } catch (const sdbus::Error&) {
            }
        }
        return properties;
    }
    sdbus::Variant value(int depth) {
        using sdbus::Variant;
        // clang-format off
        switch (const int tag = number<std::uint8_t>() % 15; depth > 6 && tag > 10 ? 0 : tag) {
        case 1: return Variant(number<std::uint8_t>());
        case 2: return Variant(number<std::int16_t>());
        case 3: return Variant(number<std::uint16_t>());
        case 4: return Variant(number<std::int32_t>());
        case 5: return Variant(number<std::uint32_t>());
        case 6: return Variant(number<std::int64_t>());
        case 7: return Variant(number<std::uint64_t>());
        case 8: return Variant(number<double>());
        case 9: return Variant(text());
        case 10: return Variant(sdbus::ObjectPath(text()));
        case 11: return Variant(list([this] { return text(); }));
        case 12: return Variant(list([this] { return number<std::uint8_t>(); }));
        case 13: return Variant(map(depth + 1, number<std::uint8_t>()));
        case 14: return Variant(list([this, depth] { return value(depth + 1); }));
        default: return Variant(number<std::uint8_t>() % 2 == 1);
        }
        // clang-format on
    }
};

} // namespace

TRILLBOX_FUZZ_TARGET {
    const mpris::PropertyMap properties = MprisFuzzInput{data, size}.map(0, size);
    MprisPlayerSnapshot snapshot;
    mpris::applyRootProperties(properties, snapshot);
    mpris::applyPlayerProperties(properties, snapshot);
    for (const auto& [key, value] : properties) {
        mpris::parseMetadata(value);
        mpris::readPosition(value);
    }
    return 0;
}
