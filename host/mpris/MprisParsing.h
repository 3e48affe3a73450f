#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include <sdbus-c++/Types.h>

#include "mpris/MprisPlayerState.h"

// Reading what players send. Players in the wild send wrong types (a track id as
// a string, an artist as a plain string, a length as an unsigned number), leave
// fields out and send texts of any size: every reading here accepts what can be
// understood and ignores the rest, and never throws.
namespace mpris {

using PropertyMap = std::map<std::string, sdbus::Variant>;

// The longest text kept for a title, an artist or a name, in bytes.
inline constexpr std::size_t kMaxTextBytes = 1024;
// The longest art URL kept: enough for a large image inline as a data: URL.
inline constexpr std::size_t kMaxArtUrlBytes = 24 * 1024 * 1024;

// `raw` as valid UTF-8: invalid sequences become U+FFFD, line breaks and tabs
// become spaces, other control characters are dropped, surrounding spaces are
// trimmed, and the result is cut at a character boundary to at most `maxBytes`.
std::string sanitizeText(std::string_view raw, std::size_t maxBytes = kMaxTextBytes);

// True for a syntactically valid D-Bus object path.
bool isValidObjectPath(std::string_view path);

// A number from any D-Bus integer or floating-point type; unsigned values beyond
// the signed range saturate, non-finite doubles give nothing.
std::optional<std::int64_t> readInteger(const sdbus::Variant& value);
std::optional<double> readDouble(const sdbus::Variant& value);
// A boolean, or a number read as non-zero.
std::optional<bool> readBool(const sdbus::Variant& value);
// Text from a string, object path, signature, byte array or array of strings
// (joined with ", "), sanitised to at most `maxBytes`.
std::optional<std::string> readText(const sdbus::Variant& value, std::size_t maxBytes = kMaxTextBytes);

// The track described by a Metadata dictionary.
MprisMetadata parseMetadata(const PropertyMap& metadata);
MprisMetadata parseMetadata(const sdbus::Variant& metadata);

// Updates `snapshot` from properties of the root interface or of the player
// interface; entries that are unknown or of an unusable type leave it as it was.
void applyRootProperties(const PropertyMap& properties, MprisPlayerSnapshot& snapshot);
void applyPlayerProperties(const PropertyMap& properties, MprisPlayerSnapshot& snapshot);

// The player's position from a Position value, if it is a usable number.
std::optional<std::int64_t> readPosition(const sdbus::Variant& value);

} // namespace mpris
