#include "host/DemoPlaylist.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "Foundation/NSCollections.h"
#include "Foundation/NSData.h"
#include "Foundation/NSFileDescriptor.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "UIKit/UIImage.h"
#include "host/HostFailure.h"
#include "host/JpegImage.h"

namespace host {
namespace {

namespace fs = std::filesystem;

// Artwork limits: a file larger than this is not read, a JPEG is brought down
// towards this side (far above the artwork view's size at any scale), and a JPEG
// of more pixels than this is not decoded.
constexpr std::size_t kPlaylistArtworkMaxBytes = 16 * 1024 * 1024;
constexpr int kPlaylistArtworkFitSide = 1024;
constexpr std::int64_t kPlaylistArtworkMaxPixels = 6000LL * 6000LL;

// A playlist file larger than this is not read.
constexpr std::size_t kPlaylistMaxBytes = 64 * 1024 * 1024;

std::uint32_t pngHeaderNumber(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return (std::uint32_t{bytes[offset]} << 24) | (std::uint32_t{bytes[offset + 1]} << 16) |
           (std::uint32_t{bytes[offset + 2]} << 8) | std::uint32_t{bytes[offset + 3]};
}

// Whether a PNG's header chunk, which comes first, declares an image within the
// pixel limit: a small file can claim an enormous image, which would be allocated
// before a single pixel is read.
bool pngSizeIsAcceptable(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 33 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
        return false;
    }
    const std::int64_t width = pngHeaderNumber(bytes, 16);
    const std::int64_t height = pngHeaderNumber(bytes, 20);
    return width > 0 && height > 0 && width <= 65535 && height <= 65535 &&
           width * height <= kPlaylistArtworkMaxPixels;
}

// Why the playlist file at `path` could not be read, from the error NSReadWholeFile gave.
std::string unreadableReason(const std::string& path, int error) {
    if (error == EFBIG) {
        return "it is larger than " + std::to_string(kPlaylistMaxBytes / (1024 * 1024)) + " MB";
    }
    if (error == EINVAL) {
        std::error_code ignored;
        switch (fs::status(path, ignored).type()) {
        case fs::file_type::directory:
            return "it is a directory";
        case fs::file_type::fifo:
            return "it is a FIFO, not a regular file";
        default:
            return "it is not a regular file";
        }
    }
    return std::strerror(error);
}

std::string artworkIn(const std::string& directory, const char* file) {
    if (directory.empty()) {
        return {};
    }
    const fs::path path = fs::path(directory) / file;
    std::error_code error;
    return fs::is_regular_file(path, error) ? path.string() : std::string();
}

} // namespace

std::vector<DemoTrack> builtInPlaylist(const std::string& artworkDirectory) {
    return {
        {"Nightfall Over the Harbour Lights (Extended Midnight Version)", "The Lighthouse Keepers", 214,
         artworkIn(artworkDirectory, "demo-artwork-1.png")},
        {"Paper Boats", "Mira Sol", 187, ""},
        {"Field Recording No. 7", std::nullopt, 95, artworkIn(artworkDirectory, "demo-artwork-2.png")},
        {"Tidal", "Neon Gardens", 241, artworkIn(artworkDirectory, "demo-artwork-3.png")},
    };
}

std::vector<DemoTrack> loadPlaylist(const std::string& path) {
    const std::string where = "playlist " + path;
    NSFileContents contents = NSReadWholeFile(path, kPlaylistMaxBytes);
    if (!contents.bytes) {
        throw HostFailure("cannot read the " + where + ": " + unreadableReason(path, contents.error));
    }
    std::string problem;
    const Ptr<NSObject> root = NSPropertyListSerialization::propertyListWithData(
        NSData::dataWithVector(std::move(*contents.bytes)), nullptr, &problem);
    if (!root) {
        throw HostFailure("the " + where + " " + problem);
    }
    const auto entries = as<NSArray>(root);
    if (!entries) {
        throw HostFailure("the " + where + " is not a property-list array");
    }
    if (entries->count() == 0) {
        throw HostFailure("the " + where + " has no tracks");
    }
    const fs::path base = fs::absolute(fs::path(path)).parent_path();
    std::vector<DemoTrack> tracks;
    std::size_t number = 0;
    for (const auto& object : entries->objects()) {
        ++number;
        const std::string entry = "the " + where + ", entry " + std::to_string(number);
        const auto dictionary = as<NSDictionary>(object);
        if (!dictionary) {
            throw HostFailure(entry + ": not a dictionary");
        }
        DemoTrack track;
        const auto title = as<NSString>(dictionary->objectForKey("title"));
        if (!title || title->length() == 0) {
            throw HostFailure(entry + ": \"title\" must be a non-empty string");
        }
        track.title = title->UTF8String();
        if (const auto artist = dictionary->objectForKey("artist")) {
            const auto text = as<NSString>(artist);
            if (!text) {
                throw HostFailure(entry + ": \"artist\" must be a string");
            }
            track.artist = text->UTF8String();
        }
        if (const auto duration = dictionary->objectForKey("duration")) {
            const auto seconds = as<NSNumber>(duration);
            if (!seconds || seconds->isBoolean() || !std::isfinite(seconds->doubleValue()) ||
                seconds->doubleValue() < 0) {
                throw HostFailure(entry + ": \"duration\" must be a number of seconds, 0 or more");
            }
            track.duration = seconds->doubleValue();
        }
        if (const auto artwork = dictionary->objectForKey("artwork")) {
            const auto file = as<NSString>(artwork);
            if (!file || file->length() == 0) {
                throw HostFailure(entry + ": \"artwork\" must be a file name");
            }
            const fs::path artworkPath = (base / file->UTF8String()).lexically_normal();
            if (!loadArtwork(artworkPath.string())) {
                throw HostFailure(entry + ": the artwork " + artworkPath.string() +
                                  " is not a readable PNG or JPEG");
            }
            track.artworkPath = artworkPath.string();
        }
        tracks.push_back(std::move(track));
    }
    return tracks;
}

Ptr<UIImage> loadArtwork(const std::string& path) {
    const NSFileContents contents = NSReadWholeFile(path, kPlaylistArtworkMaxBytes);
    if (!contents.bytes) {
        return nullptr;
    }
    const std::vector<std::uint8_t>& bytes = *contents.bytes;
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        return UIImage::imageWithSurface(
            decodeJpegImage(bytes, kPlaylistArtworkFitSide, kPlaylistArtworkMaxPixels));
    }
    return pngSizeIsAcceptable(bytes) ? UIImage::imageWithContentsOfFile(NSStr(path)) : nullptr;
}

} // namespace host
