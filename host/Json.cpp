#include "Json.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace host {
namespace {

// The length of the well-formed UTF-8 sequence at the start of `text`, or 0 when
// it is not one (overlong forms, surrogates and values past U+10FFFF included).
// `invalidLength` receives how many bytes one replacement character stands for:
// the longest prefix that could still have become a valid sequence, at least 1.
std::size_t validSequenceLength(std::string_view text, std::size_t& invalidLength) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    invalidLength = 1;
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char lower = i == 1 ? low : 0x80;
        const unsigned char upper = i == 1 ? high : 0xBF;
        if (i >= text.size() || byte(i) < lower || byte(i) > upper) {
            invalidLength = i;
            return 0;
        }
    }
    return length;
}

} // namespace

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t invalidLength = 1;
        const std::size_t length = validSequenceLength(text.substr(i), invalidLength);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            i += invalidLength;
            continue;
        }
        if (length > 1) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\u00";
                out.push_back(kHex[c >> 4]);
                out.push_back(kHex[c & 0xF]);
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
        ++i;
    }
    out.push_back('"');
}

void appendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    // Negative zero reads as a surprise in a dump; it is the same position.
    if (value == 0) {
        value = 0;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void JsonWriter::beforeValue() {
    if (_afterKey) {
        _afterKey = false;
        return;
    }
    if (!_hasElement.empty()) {
        if (_hasElement.back()) {
            _out.push_back(',');
        }
        _hasElement.back() = true;
    }
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    _out.push_back('{');
    _hasElement.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    assert(!_hasElement.empty() && !_afterKey);
    _hasElement.pop_back();
    _out.push_back('}');
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    _out.push_back('[');
    _hasElement.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    assert(!_hasElement.empty() && !_afterKey);
    _hasElement.pop_back();
    _out.push_back(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    assert(!_hasElement.empty() && !_afterKey);
    beforeValue();
    appendJsonString(_out, name);
    _out.push_back(':');
    _afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::string(std::string_view text) {
    beforeValue();
    appendJsonString(_out, text);
    return *this;
}

JsonWriter& JsonWriter::number(double value) {
    beforeValue();
    appendJsonNumber(_out, value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    beforeValue();
    _out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    _out += "null";
    return *this;
}

JsonWriter& JsonWriter::raw(std::string_view json) {
    beforeValue();
    _out.append(json);
    return *this;
}

} // namespace host
