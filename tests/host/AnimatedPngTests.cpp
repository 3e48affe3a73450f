#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "AnimatedPng.h"
#include "UIKit/UIImage.h"
#include "render/Snapshot.h"

namespace {

std::vector<std::uint8_t> solidPng(int width, int height, double red) {
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    cairo_t* context = cairo_create(surface.get());
    cairo_set_source_rgb(context, red, 0.2, 0.4);
    cairo_paint(context);
    cairo_destroy(context);
    return render::encodePNG(surface);
}

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
};

std::uint32_t bigEndian(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

std::vector<Chunk> chunks(const std::vector<std::uint8_t>& png) {
    std::vector<Chunk> result;
    std::size_t offset = 8;
    while (offset + 12 <= png.size()) {
        const std::uint32_t length = bigEndian(png.data() + offset);
        result.push_back({std::string(reinterpret_cast<const char*>(png.data() + offset + 4), 4),
                          std::vector<std::uint8_t>(png.begin() + static_cast<long>(offset) + 8,
                                                    png.begin() + static_cast<long>(offset + 8 + length))});
        offset += 12 + length;
    }
    return result;
}

TEST(AnimatedPngTest, ControlsEveryFrameInSequenceAfterOneAnimationControl) {
    const std::vector<std::vector<std::uint8_t>> frames = {solidPng(8, 4, 0), solidPng(8, 4, 0.5),
                                                           solidPng(8, 4, 1)};
    const std::vector<std::uint8_t> animated = host::assembleAnimatedPng(frames, 25);
    ASSERT_FALSE(animated.empty());

    std::vector<std::string> types;
    std::vector<std::uint32_t> sequence;
    for (const auto& chunk : chunks(animated)) {
        types.push_back(chunk.type);
        if (chunk.type == "acTL") {
            EXPECT_EQ(bigEndian(chunk.data.data()), 3u);
            EXPECT_EQ(bigEndian(chunk.data.data() + 4), 0u); // loops forever
        } else if (chunk.type == "fcTL") {
            sequence.push_back(bigEndian(chunk.data.data()));
            EXPECT_EQ(bigEndian(chunk.data.data() + 4), 8u);
            EXPECT_EQ(bigEndian(chunk.data.data() + 8), 4u);
            EXPECT_EQ(chunk.data[20] << 8 | chunk.data[21], 1);
            EXPECT_EQ(chunk.data[22] << 8 | chunk.data[23], 25);
        } else if (chunk.type == "fdAT") {
            sequence.push_back(bigEndian(chunk.data.data()));
        }
    }
    ASSERT_GE(types.size(), 8u);
    EXPECT_EQ(types[0], "IHDR");
    EXPECT_EQ(types[1], "acTL");
    EXPECT_EQ(types[2], "fcTL");
    EXPECT_EQ(types[3], "IDAT");
    EXPECT_EQ(types.back(), "IEND");
    // Sequence numbers run 0, 1, 2... across fcTL and fdAT chunks.
    for (std::size_t index = 0; index < sequence.size(); ++index) {
        EXPECT_EQ(sequence[index], index);
    }
}

TEST(AnimatedPngTest, ItsFirstFrameIsAnOrdinaryPngForViewersWithoutAnimation) {
    const std::vector<std::uint8_t> first = solidPng(6, 6, 0.8);
    const std::vector<std::uint8_t> animated = host::assembleAnimatedPng({first, solidPng(6, 6, 0.1)}, 10);
    const std::string path = ::testing::TempDir() + "/trillbox-animated.png";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(animated.data(), 1, animated.size(), file);
    std::fclose(file);

    const auto image = UIImage::imageWithContentsOfFile(NSStr(path));
    ASSERT_NE(image, nullptr);
    cairo_surface_t* pixels = image->cairoSurface();
    cairo_surface_flush(pixels);
    const auto* data = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(pixels));
    // ARGB: red 0.8 of 255 rounds to 204.
    EXPECT_EQ((data[0] >> 16) & 0xFF, 204u);
    std::remove(path.c_str());
}

TEST(AnimatedPngTest, RefusesMismatchedOrBrokenFrames) {
    EXPECT_TRUE(host::assembleAnimatedPng({}, 30).empty());
    EXPECT_TRUE(host::assembleAnimatedPng({solidPng(4, 4, 0), solidPng(5, 4, 0)}, 30).empty());
    EXPECT_TRUE(host::assembleAnimatedPng({{1, 2, 3}}, 30).empty());
    std::vector<std::uint8_t> truncated = solidPng(4, 4, 0);
    truncated.resize(truncated.size() / 2);
    EXPECT_TRUE(host::assembleAnimatedPng({truncated}, 30).empty());
    EXPECT_TRUE(host::assembleAnimatedPng({solidPng(4, 4, 0)}, 0).empty());
}

} // namespace
