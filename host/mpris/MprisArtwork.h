#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "UIKit/UIImage.h"

// Artwork from a player's art URL: `file://` and `data:` URLs and bare paths with
// PNG or JPEG data (remote URLs: MprisArtworkLoader). Anything that cannot be read
// or decoded gives no artwork.
namespace mpris {

// Larger files are not read.
inline constexpr std::size_t kMaxArtworkFileBytes = 16 * 1024 * 1024;
// Larger images are not decoded (a small file can claim an enormous image).
inline constexpr std::int64_t kMaxArtworkPixels = 6000LL * 6000LL;
// Decoded images are scaled down to fit this many pixels on their longer side.
inline constexpr int kMaxArtworkSide = 1024;

// The bytes an art URL points to, or nothing for a remote, malformed, missing,
// unreadable, non-regular or oversized source.
std::optional<std::vector<unsigned char>> readArtworkBytes(std::string_view url);

// The modification time, size and identity of the file a local art URL names, as
// text that changes when the file is rewritten; empty for other URLs and for a
// file that cannot be seen. One stat, nothing read.
std::string artworkFileStamp(std::string_view url);

// A PNG or JPEG image as an ARGB32 image surface no larger than kMaxArtworkSide,
// or an empty surface for anything else.
UICairoSurface decodeArtwork(std::span<const unsigned char> bytes);

// readArtworkBytes then decodeArtwork.
UICairoSurface loadArtwork(std::string_view url);

} // namespace mpris
