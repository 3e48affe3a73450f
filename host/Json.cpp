#include "host/Json.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "Foundation/NSUTF8.h"

namespace host {

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const NSUTF8Sequence sequence = NSUTF8SequenceAt(text, i);
        if (!sequence.valid) {
            out += NSUTF8ReplacementCharacter;
            i += sequence.length;
            continue;
        }
        if (sequence.length > 1) {
            out.append(text.substr(i, sequence.length));
            i += sequence.length;
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
