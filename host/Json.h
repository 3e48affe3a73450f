#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace host {

// Appends `text` as a JSON string literal: quotes, backslashes and control
// characters escaped, every byte sequence that is not UTF-8 replaced by U+FFFD.
void appendJsonString(std::string& out, std::string_view text);
// Appends `value` in its shortest exact decimal form; NaN and infinities, which
// JSON cannot hold, become null.
void appendJsonNumber(std::string& out, double value);

// Builds one JSON text by hand, placing the commas. Values go after a key inside
// objects and anywhere inside arrays; misuse is a programming error.
class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The next value's key inside an object.
    JsonWriter& key(std::string_view name);
    JsonWriter& string(std::string_view text);
    JsonWriter& number(double value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();
    // Inserts an already encoded JSON value.
    JsonWriter& raw(std::string_view json);

    const std::string& text() const { return _out; }
    std::string take() { return std::move(_out); }

private:
    void beforeValue();

    std::string _out;
    // One entry per open container: whether it already holds an element.
    std::vector<bool> _hasElement;
    bool _afterKey = false;
};

} // namespace host
