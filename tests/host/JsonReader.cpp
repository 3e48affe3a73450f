#include "JsonReader.h"

#include <charconv>
#include <stdexcept>

class JsonParser {
public:
    explicit JsonParser(std::string_view text) : _text(text) {}

    JsonValue parseDocument() {
        JsonValue value = parseValue();
        skipSpace();
        if (_position != _text.size()) {
            fail("text after the value");
        }
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(_position));
    }
    void skipSpace() {
        while (_position < _text.size() && (_text[_position] == ' ' || _text[_position] == '\n' ||
                                            _text[_position] == '\r' || _text[_position] == '\t')) {
            ++_position;
        }
    }
    bool consume(std::string_view word) {
        if (_text.substr(_position, word.size()) == word) {
            _position += word.size();
            return true;
        }
        return false;
    }
    void expect(char c) {
        skipSpace();
        if (_position >= _text.size() || _text[_position] != c) {
            fail(std::string("expected '") + c + "'");
        }
        ++_position;
    }
    JsonValue parseValue() {
        skipSpace();
        JsonValue value;
        if (_position >= _text.size()) {
            fail("unexpected end");
        }
        const char c = _text[_position];
        if (consume("null")) {
            value._type = JsonValue::Type::null;
        } else if (consume("true") || consume("false")) {
            value._type = JsonValue::Type::boolean;
            value._boolean = _text[_position - 1] == 'e' && _text[_position - 2] == 'u';
        } else if (c == '"') {
            value._type = JsonValue::Type::string;
            value._string = parseString();
        } else if (c == '[') {
            value._type = JsonValue::Type::array;
            ++_position;
            skipSpace();
            if (!consume("]")) {
                do {
                    value._items.push_back(parseValue());
                    skipSpace();
                } while (consume(","));
                expect(']');
            }
        } else if (c == '{') {
            value._type = JsonValue::Type::object;
            ++_position;
            skipSpace();
            if (!consume("}")) {
                do {
                    skipSpace();
                    std::string key = parseString();
                    expect(':');
                    value._members.emplace_back(std::move(key), parseValue());
                    skipSpace();
                } while (consume(","));
                expect('}');
            }
        } else {
            value._type = JsonValue::Type::number;
            const auto result =
                std::from_chars(_text.data() + _position, _text.data() + _text.size(), value._number);
            if (result.ec != std::errc()) {
                fail("bad value");
            }
            _position = static_cast<std::size_t>(result.ptr - _text.data());
        }
        return value;
    }
    std::string parseString() {
        if (!consume("\"")) {
            fail("expected a string");
        }
        std::string out;
        while (_position < _text.size() && _text[_position] != '"') {
            const auto c = static_cast<unsigned char>(_text[_position++]);
            if (c < 0x20) {
                fail("control character in a string");
            }
            if (c != '\\') {
                out.push_back(static_cast<char>(c));
                continue;
            }
            if (_position >= _text.size()) {
                fail("unfinished escape");
            }
            const char escape = _text[_position++];
            switch (escape) {
            case '"':
                out.push_back('"');
                break;
            case '\\':
                out.push_back('\\');
                break;
            case '/':
                out.push_back('/');
                break;
            case 'b':
                out.push_back('\b');
                break;
            case 'f':
                out.push_back('\f');
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'u': {
                unsigned code = 0;
                const auto result =
                    std::from_chars(_text.data() + _position, _text.data() + _position + 4, code, 16);
                if (result.ec != std::errc() || result.ptr != _text.data() + _position + 4) {
                    fail("bad \\u escape");
                }
                _position += 4;
                // Only the escapes the program writes (control characters) are needed.
                out.push_back(static_cast<char>(code));
                break;
            }
            default:
                fail("bad escape");
            }
        }
        if (!consume("\"")) {
            fail("unfinished string");
        }
        return out;
    }

    std::string_view _text;
    std::size_t _position = 0;
};

JsonValue JsonValue::parse(std::string_view text) {
    return JsonParser(text).parseDocument();
}

bool JsonValue::boolean() const {
    if (_type != Type::boolean) {
        throw std::runtime_error("JSON: not a boolean");
    }
    return _boolean;
}

double JsonValue::number() const {
    if (_type != Type::number) {
        throw std::runtime_error("JSON: not a number");
    }
    return _number;
}

const std::string& JsonValue::string() const {
    if (_type != Type::string) {
        throw std::runtime_error("JSON: not a string");
    }
    return _string;
}

const std::vector<JsonValue>& JsonValue::items() const {
    return _items;
}

const std::vector<std::pair<std::string, JsonValue>>& JsonValue::members() const {
    return _members;
}

bool JsonValue::has(std::string_view key) const {
    for (const auto& member : _members) {
        if (member.first == key) {
            return true;
        }
    }
    return false;
}

const JsonValue& JsonValue::operator[](std::string_view key) const {
    static const JsonValue none;
    for (const auto& member : _members) {
        if (member.first == key) {
            return member.second;
        }
    }
    return none;
}

const JsonValue& JsonValue::operator[](std::size_t index) const {
    static const JsonValue none;
    return index < _items.size() ? _items[index] : none;
}
