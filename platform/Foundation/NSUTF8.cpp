#include "Foundation/NSUTF8.h"

#include <cassert>

NSUTF8Sequence NSUTF8SequenceAt(std::string_view text, std::size_t index) {
    assert(index < text.size());
    const auto byteAt = [&](std::size_t offset) { return static_cast<unsigned char>(text[index + offset]); };
    const unsigned char lead = byteAt(0);
    if (lead < 0x80) {
        return {1, true};
    }
    std::size_t length = 0;
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
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
        return {1, false};
    }
    for (std::size_t offset = 1; offset < length; ++offset) {
        const unsigned char lower = offset == 1 ? low : 0x80;
        const unsigned char upper = offset == 1 ? high : 0xBF;
        if (index + offset >= text.size() || byteAt(offset) < lower || byteAt(offset) > upper) {
            return {offset, false};
        }
    }
    return {length, true};
}

std::string NSRepairUTF8(std::string_view text) {
    std::string repaired;
    repaired.reserve(text.size());
    std::size_t index = 0;
    while (index < text.size()) {
        const NSUTF8Sequence sequence = NSUTF8SequenceAt(text, index);
        if (sequence.valid) {
            repaired.append(text.substr(index, sequence.length));
        } else {
            repaired.append(NSUTF8ReplacementCharacter);
        }
        index += sequence.length;
    }
    return repaired;
}

int NSHexDigitValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

std::optional<std::string> NSRemovingPercentEncoding(std::string_view text, BOOL keepMalformed) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded.push_back(text[i]);
            continue;
        }
        const int high = i + 2 < text.size() ? NSHexDigitValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? NSHexDigitValue(text[i + 2]) : -1;
        if (high < 0 || low < 0) {
            if (!keepMalformed) {
                return std::nullopt;
            }
            decoded.push_back('%');
            continue;
        }
        decoded.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return decoded;
}
