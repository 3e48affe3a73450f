#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/NSObject.h"

// U+FFFD, which stands in for bytes that are not UTF-8.
inline constexpr std::string_view NSUTF8ReplacementCharacter = "\xEF\xBF\xBD";

// One step through UTF-8 text: how many bytes the sequence at a position takes.
struct NSUTF8Sequence {
    // At least 1. For an ill-formed sequence, the longest prefix that could still have
    // begun a well-formed one (a maximal subpart), which one U+FFFD replaces.
    std::size_t length = 1;
    bool valid = true;
};

// The sequence starting at `text[index]` (`index` < size). Overlong forms, surrogates,
// values past U+10FFFF, stray continuation bytes and truncated sequences are ill-formed.
NSUTF8Sequence NSUTF8SequenceAt(std::string_view text, std::size_t index);

// `text` with each ill-formed subpart replaced by U+FFFD; well-formed text (NUL
// included) comes back unchanged.
std::string NSRepairUTF8(std::string_view text);

// The value of one hexadecimal digit (0-9, a-f, A-F), as in a %XX escape; -1 for any
// other character.
int NSHexDigitValue(char digit);

// `text` with its %XX escapes decoded. A malformed escape (cut short or not hex)
// is kept as it stands when `keepMalformed` (as browsers do with URLs), and makes
// the answer nil otherwise.
std::optional<std::string> NSRemovingPercentEncoding(std::string_view text, BOOL keepMalformed);
