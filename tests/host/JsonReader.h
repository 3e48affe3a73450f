#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A parsed JSON value, for reading the program's dumps.
class JsonValue {
public:
    enum class Type { null, boolean, number, string, array, object };

    // Parses one JSON text; throws std::runtime_error when it is not valid JSON.
    static JsonValue parse(std::string_view text);

    Type type() const { return _type; }
    bool isNull() const { return _type == Type::null; }
    bool boolean() const;
    double number() const;
    const std::string& string() const;
    const std::vector<JsonValue>& items() const;
    const std::vector<std::pair<std::string, JsonValue>>& members() const;
    bool has(std::string_view key) const;
    // A member or element; a null value when there is none.
    const JsonValue& operator[](std::string_view key) const;
    const JsonValue& operator[](std::size_t index) const;
    std::size_t size() const { return _type == Type::array ? _items.size() : _members.size(); }

private:
    friend class JsonParser;
    Type _type = Type::null;
    bool _boolean = false;
    double _number = 0;
    std::string _string;
    std::vector<JsonValue> _items;
    std::vector<std::pair<std::string, JsonValue>> _members;
};
