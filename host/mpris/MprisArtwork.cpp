#include "mpris/MprisArtwork.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "Foundation/NSFileDescriptor.h"
#include "Foundation/NSUTF8.h"
#include "UIKit/UIGraphicsHandles.h"
#include "host/JpegImage.h"

namespace mpris {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

// Percent-decoding; a malformed escape is kept as it is, as browsers do.
std::string percentDecode(std::string_view text) {
    return *NSRemovingPercentEncoding(text, YES);
}

int base64Value(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+' || c == '-') {
        return 62;
    }
    if (c == '/' || c == '_') {
        return 63;
    }
    return -1;
}

std::optional<std::vector<unsigned char>> base64Decode(std::string_view text) {
    std::vector<unsigned char> bytes;
    bytes.reserve(text.size() / 4 * 3);
    std::uint32_t buffer = 0;
    int bits = 0;
    bool padding = false;
    for (const char c : text) {
        if (c == '=') {
            padding = true;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            continue;
        }
        const int value = base64Value(c);
        if (value < 0 || padding) {
            return std::nullopt;
        }
        buffer = (buffer << 6) | static_cast<std::uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(static_cast<unsigned char>((buffer >> bits) & 0xFF));
        }
        if (bytes.size() > kMaxArtworkFileBytes) {
            return std::nullopt;
        }
    }
    return bytes;
}

std::optional<std::vector<unsigned char>> readDataUrl(std::string_view url) {
    const auto comma = url.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    const auto header = url.substr(5, comma - 5);
    const auto payload = url.substr(comma + 1);
    const bool isBase64 =
        header.size() >= 7 && startsWithIgnoringCase(header.substr(header.size() - 7), ";base64");
    if (isBase64) {
        return base64Decode(payload);
    }
    const auto decoded = percentDecode(payload);
    if (decoded.size() > kMaxArtworkFileBytes) {
        return std::nullopt;
    }
    return std::vector<unsigned char>(decoded.begin(), decoded.end());
}

std::optional<std::vector<unsigned char>> readFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    // Non-blocking, so that a FIFO put where the art should be cannot stall the worker.
    NSFileContents contents = NSReadWholeFile(path, kMaxArtworkFileBytes);
    if (!contents.bytes || contents.bytes->empty()) {
        return std::nullopt;
    }
    return std::move(contents.bytes);
}

// The path of a file:// URL or a bare path; nothing for other URLs and files on another host.
std::optional<std::string> localPath(std::string_view url) {
    if (!url.empty() && url.front() == '/') {
        // Some players send a bare path.
        return std::string(url);
    }
    if (!startsWithIgnoringCase(url, "file://")) {
        return std::nullopt;
    }
    auto rest = url.substr(7);
    if (startsWithIgnoringCase(rest, "localhost/")) {
        rest.remove_prefix(9);
    }
    if (rest.empty() || rest.front() != '/') {
        return std::nullopt;
    }
    if (const auto end = rest.find_first_of("?#"); end != std::string_view::npos) {
        rest = rest.substr(0, end);
    }
    return percentDecode(rest);
}

std::uint32_t bigEndian32(std::span<const unsigned char> bytes, std::size_t offset) {
    return (std::uint32_t{bytes[offset]} << 24) | (std::uint32_t{bytes[offset + 1]} << 16) |
           (std::uint32_t{bytes[offset + 2]} << 8) | std::uint32_t{bytes[offset + 3]};
}

// Takes over `surface`; one in an error state is released and gives an empty surface.
UICairoSurface adopt(cairo_surface_t* surface) {
    UICairoSurface adopted(surface);
    if (surface && cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        return {};
    }
    return adopted;
}

int widthOf(const UICairoSurface& surface) {
    return cairo_image_surface_get_width(surface.get());
}
int heightOf(const UICairoSurface& surface) {
    return cairo_image_surface_get_height(surface.get());
}

bool acceptableSize(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= 65535 && height <= 65535 &&
           width * height <= kMaxArtworkPixels;
}

// `source` as an ARGB32 surface that fits kMaxArtworkSide.
UICairoSurface fitToArgb32(UICairoSurface source) {
    if (!source) {
        return {};
    }
    const int width = widthOf(source);
    const int height = heightOf(source);
    if (width <= 0 || height <= 0) {
        return {};
    }
    const double scale = std::min(1.0, static_cast<double>(kMaxArtworkSide) / std::max(width, height));
    const bool isArgb32 = cairo_image_surface_get_format(source.get()) == CAIRO_FORMAT_ARGB32;
    if (isArgb32 && scale == 1.0) {
        return source;
    }
    const int targetWidth = std::max(1, static_cast<int>(std::lround(width * scale)));
    const int targetHeight = std::max(1, static_cast<int>(std::lround(height * scale)));
    auto target = adopt(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, targetWidth, targetHeight));
    if (!target) {
        return {};
    }
    bool ok = false;
    {
        const UICairoContextPtr context = UICairoContextCreate(target.get());
        cairo_t* const cr = context.get();
        cairo_scale(cr, static_cast<double>(targetWidth) / width, static_cast<double>(targetHeight) / height);
        cairo_set_source_surface(cr, source.get(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    }
    cairo_surface_flush(target.get());
    return ok ? std::move(target) : UICairoSurface{};
}

struct MemoryReader {
    std::span<const unsigned char> bytes;
    std::size_t offset = 0;
};

cairo_status_t readFromMemory(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<MemoryReader*>(closure);
    if (reader->bytes.size() - reader->offset < length) {
        return CAIRO_STATUS_READ_ERROR;
    }
    std::memcpy(data, reader->bytes.data() + reader->offset, length);
    reader->offset += length;
    return CAIRO_STATUS_SUCCESS;
}

UICairoSurface decodePng(std::span<const unsigned char> bytes) {
    // The header chunk comes first; its size is checked before Cairo allocates the image.
    if (bytes.size() < 33 || std::memcmp(bytes.data() + 12, "IHDR", 4) != 0) {
        return {};
    }
    if (!acceptableSize(bigEndian32(bytes, 16), bigEndian32(bytes, 20))) {
        return {};
    }
    MemoryReader reader{bytes};
    return fitToArgb32(adopt(cairo_image_surface_create_from_png_stream(readFromMemory, &reader)));
}

UICairoSurface decodeJpeg(std::span<const unsigned char> bytes) {
    return fitToArgb32(host::decodeJpegImage(bytes, kMaxArtworkSide, kMaxArtworkPixels));
}

} // namespace

std::optional<std::vector<unsigned char>> readArtworkBytes(std::string_view url) {
    if (startsWithIgnoringCase(url, "data:")) {
        return readDataUrl(url);
    }
    const auto path = localPath(url);
    return path ? readFile(*path) : std::nullopt;
}

std::string artworkFileStamp(std::string_view url) {
    const auto path = localPath(url);
    struct stat status {};
    if (!path || path->find('\0') != std::string::npos || ::stat(path->c_str(), &status) != 0) {
        return {};
    }
    return std::to_string(status.st_mtim.tv_sec) + "." + std::to_string(status.st_mtim.tv_nsec) + ":" +
           std::to_string(status.st_size) + ":" + std::to_string(status.st_ino);
}

UICairoSurface decodeArtwork(std::span<const unsigned char> bytes) {
    static constexpr unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= sizeof kPngSignature &&
        std::memcmp(bytes.data(), kPngSignature, sizeof kPngSignature) == 0) {
        return decodePng(bytes);
    }
    if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        return decodeJpeg(bytes);
    }
    return {};
}

UICairoSurface loadArtwork(std::string_view url) {
    const auto bytes = readArtworkBytes(url);
    return bytes ? decodeArtwork(*bytes) : UICairoSurface{};
}

} // namespace mpris
