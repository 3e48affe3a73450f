#include <gtest/gtest.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include "host/mpris/MprisTestSupport.h"
#include "mpris/MprisArtwork.h"

namespace {

// A JPEG of one colour; its header may claim a larger size, the missing data then filled in.
std::string jpegBytes(int width, int height, std::uint32_t rgb, std::pair<int, int> claimed = {}) {
    std::string pixels{char(rgb >> 16), char(rgb >> 8), char(rgb)};
    while (pixels.size() < std::size_t(width) * height * 3) {
        pixels += pixels;
    }
    tjhandle encoder = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(encoder, reinterpret_cast<const unsigned char*>(pixels.data()), width, 0, height, TJPF_RGB,
                &jpeg, &size, TJSAMP_444, 95, 0);
    std::string bytes(reinterpret_cast<const char*>(jpeg), size);
    tjFree(jpeg);
    tjDestroy(encoder);
    if (const auto [claimedWidth, claimedHeight] = claimed; claimedWidth > 0) {
        const char header[] = {char(claimedHeight >> 8), char(claimedHeight), char(claimedWidth >> 8),
                               char(claimedWidth)};
        bytes.replace(bytes.find("\xFF\xC0") + 5, 4, header, 4);
    }
    return bytes;
}

std::string base64(std::string_view bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    std::uint32_t buffer = 0;
    int bits = 0;
    for (const unsigned char byte : bytes) {
        buffer = buffer << 8 | byte;
        for (bits += 8; bits >= 6; bits -= 6) {
            text += kAlphabet[buffer >> (bits - 6) & 63];
        }
    }
    if (bits > 0) {
        text += kAlphabet[buffer << (6 - bits) & 63];
    }
    return text + std::string((4 - text.size() % 4) % 4, '=');
}

TEST(MprisArtworkTest, ArtUrlsGiveTheirPictureOrNothing) {
    TemporaryDirectory files;
    writePng(files.file("green.png"), 8, 8, 0, 1, 0);
    const auto green = readFile(files.file("green.png"));
    const auto file = [&](const std::string& name, std::string_view contents) {
        return "file://" + files.write(name, contents);
    };
    // Sparse: the green PNG followed by zeros, one byte past the 16 MiB that are read.
    ASSERT_EQ(::truncate(files.write("huge.png", green).c_str(), 16 * 1024 * 1024 + 1), 0);
    // A header claiming 100000 x 100000 pixels.
    const auto bomb = std::string(green).replace(16, 8, "\x00\x01\x86\xA0\x00\x01\x86\xA0", 8);
    files.write("cover art #1.png", green);
    ASSERT_EQ(::mkfifo(files.file("fifo.png").c_str(), 0600), 0);
    const struct {
        std::string url;
        int width = 0;
        int height = 0;
        std::uint32_t colour = 0;
    } cases[] = {
        {"file://" + files.path() + "/cover%20art%20%231.png", 8, 8, 0xFF00FF00},
        {"data:image/png;base64," + base64(green), 8, 8, 0xFF00FF00},
        {file("blue.jpg", jpegBytes(64, 48, 0x0000FF)), 64, 48, 0xFF0000FF},
        // Large pictures are scaled down, keeping their shape.
        {file("large.jpg", jpegBytes(1500, 750, 0xFF0000)), 1024, 512, 0xFFFF0000},
        {file("limit.jpg", jpegBytes(8, 8, 0, {6000, 6000})), 1024, 1024},
        // Damaged, foreign, too large or out of reach: nothing.
        {file("cut.png", green.substr(0, green.size() / 2))},
        {file("text.png", "not an image")},
        {file("bomb.png", bomb)},
        {file("past.jpg", jpegBytes(8, 8, 0, {6001, 6000}))},
        {"file://" + files.file("huge.png")},
        {"data:image/png;base64,@@@not base64@@@"},
        {"https://example.com/cover.png"},
        {"file://" + files.file("missing.png")},
        {"file://" + files.path()},
        // It must not block the reader either.
        {"file://" + files.file("fifo.png")},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.url.substr(0, 60));
        const auto artwork = mpris::loadArtwork(entry.url);
        EXPECT_EQ(bool(artwork), entry.width > 0);
        if (!artwork || entry.width == 0) {
            continue;
        }
        cairo_surface_t* surface = artwork.get();
        EXPECT_EQ(cairo_image_surface_get_format(surface), CAIRO_FORMAT_ARGB32);
        EXPECT_EQ(cairo_image_surface_get_width(surface), entry.width);
        EXPECT_EQ(cairo_image_surface_get_height(surface), entry.height);
        const auto* middle = cairo_image_surface_get_data(surface) +
                             entry.height / 2 * cairo_image_surface_get_stride(surface);
        const auto pixel = reinterpret_cast<const std::uint32_t*>(middle)[entry.width / 2];
        // JPEG is lossy; a filled-in picture has no colour to check.
        for (const int shift : {24, 16, 8, 0}) {
            EXPECT_TRUE(entry.colour == 0 ||
                        std::abs(int(pixel >> shift & 0xFF) - int(entry.colour >> shift & 0xFF)) <= 3);
        }
    }
}

} // namespace
