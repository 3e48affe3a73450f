#include "mpris/MprisParsing.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <vector>

#include "Foundation/NSUTF8.h"

namespace mpris {

namespace {

constexpr std::string_view kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
// Object paths and URLs used only for comparison are kept up to this size.
constexpr std::size_t kMaxIdentifierBytes = 4096;
// Guards against a variant nested in a variant nested in a variant...
constexpr int kMaxVariantDepth = 2;

std::uint32_t decodeCodePoint(std::string_view sequence) {
    const auto lead = static_cast<unsigned char>(sequence[0]);
    std::uint32_t codePoint = sequence.size() == 2   ? lead & 0x1F
                              : sequence.size() == 3 ? lead & 0x0F
                                                     : lead & 0x07;
    for (std::size_t i = 1; i < sequence.size(); ++i) {
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(sequence[i]) & 0x3F);
    }
    return codePoint;
}

std::string peekType(const sdbus::Variant& value) {
    try {
        return value.isEmpty() ? std::string() : value.peekValueType();
    } catch (const sdbus::Error&) {
        return {};
    }
}

std::string joinTexts(const std::vector<std::string>& parts, std::size_t maxBytes) {
    std::string joined;
    for (const auto& part : parts) {
        if (joined.size() >= maxBytes) {
            break;
        }
        auto clean = sanitizeText(part, maxBytes);
        if (clean.empty()) {
            continue;
        }
        if (!joined.empty()) {
            joined += ", ";
        }
        joined += clean;
    }
    return sanitizeText(joined, maxBytes);
}

std::optional<std::string> readTextAtDepth(const sdbus::Variant& value, std::size_t maxBytes, int depth) {
    try {
        const auto type = peekType(value);
        if (type == "s") {
            return sanitizeText(value.get<std::string>(), maxBytes);
        }
        if (type == "o") {
            return sanitizeText(value.get<sdbus::ObjectPath>(), maxBytes);
        }
        if (type == "g") {
            return sanitizeText(value.get<sdbus::Signature>(), maxBytes);
        }
        if (type == "ay") {
            const auto bytes = value.get<std::vector<std::uint8_t>>();
            return sanitizeText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                                maxBytes);
        }
        if (type == "as") {
            return joinTexts(value.get<std::vector<std::string>>(), maxBytes);
        }
        if (type == "v" && depth < kMaxVariantDepth) {
            return readTextAtDepth(value.get<sdbus::Variant>(), maxBytes, depth + 1);
        }
    } catch (const sdbus::Error&) {
    }
    return std::nullopt;
}

// The string as sent, without cleaning, when it is a string or object path no
// longer than `maxBytes`.
std::optional<std::string> readRawString(const sdbus::Variant& value, std::size_t maxBytes) {
    try {
        const auto type = peekType(value);
        std::string text;
        if (type == "s") {
            text = value.get<std::string>();
        } else if (type == "o") {
            text = value.get<sdbus::ObjectPath>();
        } else {
            return std::nullopt;
        }
        if (text.size() > maxBytes) {
            return std::nullopt;
        }
        return text;
    } catch (const sdbus::Error&) {
        return std::nullopt;
    }
}

const sdbus::Variant* find(const PropertyMap& map, const char* key) {
    const auto found = map.find(key);
    return found == map.end() ? nullptr : &found->second;
}

MprisPlaybackStatus statusFromText(std::string_view text) {
    auto equalsIgnoringCase = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(a[i])) !=
                std::tolower(static_cast<unsigned char>(b[i]))) {
                return false;
            }
        }
        return true;
    };
    if (equalsIgnoringCase(text, "Playing")) {
        return MprisPlaybackStatus::playing;
    }
    if (equalsIgnoringCase(text, "Paused")) {
        return MprisPlaybackStatus::paused;
    }
    return MprisPlaybackStatus::stopped;
}

} // namespace

std::string sanitizeText(std::string_view raw, std::size_t maxBytes) {
    std::string clean;
    clean.reserve(std::min(raw.size(), maxBytes));
    auto append = [&](std::string_view piece) {
        if (clean.size() + piece.size() > maxBytes) {
            return false;
        }
        clean.append(piece);
        return true;
    };
    auto appendSpace = [&] {
        // No leading spaces; trailing ones are trimmed at the end.
        return clean.empty() || append(" ");
    };
    std::size_t index = 0;
    while (index < raw.size()) {
        const auto byte = static_cast<unsigned char>(raw[index]);
        if (byte < 0x80) {
            bool kept = true;
            if (byte == '\t' || byte == '\n' || byte == '\r' || byte == ' ') {
                kept = appendSpace();
            } else if (byte >= 0x20 && byte != 0x7F) {
                kept = append(raw.substr(index, 1));
            }
            if (!kept) {
                break;
            }
            ++index;
            continue;
        }
        const NSUTF8Sequence step = NSUTF8SequenceAt(raw, index);
        if (!step.valid) {
            if (!append(NSUTF8ReplacementCharacter)) {
                break;
            }
            index += step.length;
            continue;
        }
        const auto sequence = raw.substr(index, step.length);
        const std::uint32_t codePoint = decodeCodePoint(sequence);
        bool kept = true;
        if (codePoint == 0x2028 || codePoint == 0x2029 || codePoint == 0x85) {
            kept = appendSpace();
        } else if (codePoint >= 0x80 && codePoint <= 0x9F) {
            // C1 control characters: dropped like the C0 ones.
        } else {
            kept = append(sequence);
        }
        if (!kept) {
            break;
        }
        index += step.length;
    }
    while (!clean.empty() && clean.back() == ' ') {
        clean.pop_back();
    }
    return clean;
}

bool isValidObjectPath(std::string_view path) {
    if (path.empty() || path.front() != '/') {
        return false;
    }
    if (path.size() == 1) {
        return true;
    }
    if (path.back() == '/') {
        return false;
    }
    bool previousWasSlash = true;
    for (std::size_t i = 1; i < path.size(); ++i) {
        const char c = path[i];
        if (c == '/') {
            if (previousWasSlash) {
                return false;
            }
            previousWasSlash = true;
            continue;
        }
        const bool allowed =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!allowed) {
            return false;
        }
        previousWasSlash = false;
    }
    return true;
}

std::optional<std::int64_t> readInteger(const sdbus::Variant& value) {
    try {
        const auto type = peekType(value);
        if (type == "x") {
            return value.get<std::int64_t>();
        }
        if (type == "t") {
            const auto unsignedValue = value.get<std::uint64_t>();
            constexpr auto max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
            return static_cast<std::int64_t>(std::min(unsignedValue, max));
        }
        if (type == "i") {
            return value.get<std::int32_t>();
        }
        if (type == "u") {
            return value.get<std::uint32_t>();
        }
        if (type == "n") {
            return value.get<std::int16_t>();
        }
        if (type == "q") {
            return value.get<std::uint16_t>();
        }
        if (type == "y") {
            return value.get<std::uint8_t>();
        }
        if (type == "d") {
            const double number = value.get<double>();
            if (!std::isfinite(number)) {
                return std::nullopt;
            }
            // Doubles beyond the range of int64 saturate instead of overflowing.
            constexpr double limit = 9.2e18;
            return static_cast<std::int64_t>(std::llround(std::clamp(number, -limit, limit)));
        }
    } catch (const sdbus::Error&) {
    }
    return std::nullopt;
}

std::optional<double> readDouble(const sdbus::Variant& value) {
    try {
        if (peekType(value) == "d") {
            const double number = value.get<double>();
            return std::isfinite(number) ? std::optional<double>(number) : std::nullopt;
        }
    } catch (const sdbus::Error&) {
        return std::nullopt;
    }
    if (const auto integer = readInteger(value)) {
        return static_cast<double>(*integer);
    }
    return std::nullopt;
}

std::optional<bool> readBool(const sdbus::Variant& value) {
    try {
        if (peekType(value) == "b") {
            return value.get<bool>();
        }
    } catch (const sdbus::Error&) {
        return std::nullopt;
    }
    if (const auto integer = readInteger(value)) {
        return *integer != 0;
    }
    return std::nullopt;
}

std::optional<std::string> readText(const sdbus::Variant& value, std::size_t maxBytes) {
    return readTextAtDepth(value, maxBytes, 0);
}

MprisMetadata parseMetadata(const PropertyMap& metadata) {
    MprisMetadata track;
    if (const auto* value = find(metadata, "xesam:title")) {
        track.title = readText(*value).value_or("");
    }
    if (const auto* value = find(metadata, "xesam:artist")) {
        track.artist = readText(*value).value_or("");
    }
    if (const auto* value = find(metadata, "xesam:album")) {
        track.album = readText(*value).value_or("");
    }
    if (const auto* value = find(metadata, "mpris:length")) {
        track.lengthMicroseconds = std::max<std::int64_t>(0, readInteger(*value).value_or(0));
    }
    if (const auto* value = find(metadata, "mpris:trackid")) {
        const auto path = readRawString(*value, kMaxIdentifierBytes);
        if (path && isValidObjectPath(*path) && *path != kNoTrack) {
            track.trackId = *path;
        }
    }
    if (const auto* value = find(metadata, "mpris:artUrl")) {
        track.artUrl = readRawString(*value, kMaxArtUrlBytes).value_or("");
    }
    if (const auto* value = find(metadata, "xesam:url")) {
        track.url = readRawString(*value, kMaxIdentifierBytes).value_or("");
    }
    return track;
}

MprisMetadata parseMetadata(const sdbus::Variant& metadata) {
    try {
        if (peekType(metadata) == "a{sv}") {
            return parseMetadata(metadata.get<PropertyMap>());
        }
    } catch (const sdbus::Error&) {
    }
    return {};
}

void applyRootProperties(const PropertyMap& properties, MprisPlayerSnapshot& snapshot) {
    if (const auto* value = find(properties, "Identity")) {
        if (auto identity = readText(*value); identity && !identity->empty()) {
            snapshot.identity = std::move(*identity);
        }
    }
    if (const auto* value = find(properties, "CanRaise")) {
        snapshot.canRaise = readBool(*value).value_or(snapshot.canRaise);
    }
}

void applyPlayerProperties(const PropertyMap& properties, MprisPlayerSnapshot& snapshot) {
    if (const auto* value = find(properties, "PlaybackStatus")) {
        if (const auto status = readText(*value)) {
            snapshot.status = statusFromText(*status);
        }
    }
    if (const auto* value = find(properties, "Metadata")) {
        snapshot.metadata = parseMetadata(*value);
    }
    if (const auto* value = find(properties, "Rate")) {
        const auto rate = readDouble(*value);
        // A rate of 0 or below would freeze or reverse the clock; players use Paused for that.
        snapshot.rate = rate && *rate > 0 && *rate <= 1000 ? *rate : 1.0;
    }
    if (const auto* value = find(properties, "Volume")) {
        if (const auto volume = readDouble(*value)) {
            snapshot.volume = std::max(0.0, *volume);
        }
    }
    if (const auto* value = find(properties, "CanSeek")) {
        snapshot.canSeek = readBool(*value).value_or(snapshot.canSeek);
    }
    if (const auto* value = find(properties, "CanGoNext")) {
        snapshot.canGoNext = readBool(*value).value_or(snapshot.canGoNext);
    }
    if (const auto* value = find(properties, "CanGoPrevious")) {
        snapshot.canGoPrevious = readBool(*value).value_or(snapshot.canGoPrevious);
    }
    if (const auto* value = find(properties, "CanPlay")) {
        snapshot.canPlay = readBool(*value).value_or(snapshot.canPlay);
    }
    if (const auto* value = find(properties, "CanPause")) {
        snapshot.canPause = readBool(*value).value_or(snapshot.canPause);
    }
    if (const auto* value = find(properties, "CanControl")) {
        snapshot.canControl = readBool(*value).value_or(snapshot.canControl);
    }
}

std::optional<std::int64_t> readPosition(const sdbus::Variant& value) {
    return readInteger(value);
}

} // namespace mpris
