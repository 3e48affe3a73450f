#include <cairo.h>
#include <gtest/gtest.h>

#include "UIKit/UIImage.h"
#include "host/AnimatedPng.h"
#include "render/Snapshot.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes solidPng(int width, int height, double red) {
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    cairo_t* context = cairo_create(surface.get());
    cairo_set_source_rgb(context, red, 0.2, 0.4);
    cairo_paint(context);
    cairo_destroy(context);
    return render::encodePNG(surface);
}

std::uint32_t bigEndian(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | bytes[3];
}

TEST(AnimatedPngTest, OneAnimationControlThenEveryFrameInSequenceAndBrokenFramesRefused) {
    const Bytes animated =
        host::assembleAnimatedPng({solidPng(8, 4, 0), solidPng(8, 4, 0.5), solidPng(8, 4, 1)}, 25);
    std::vector<std::string> types;
    std::vector<std::uint32_t> sequence;
    for (std::size_t offset = 8; offset + 12 <= animated.size();) {
        const std::uint32_t length = bigEndian(&animated[offset]);
        const std::string type(reinterpret_cast<const char*>(&animated[offset + 4]), 4);
        const std::uint8_t* data = &animated[offset + 8];
        types.push_back(type);
        if (type == "acTL") {
            EXPECT_EQ(bigEndian(data), 3u);     // frames
            EXPECT_EQ(bigEndian(data + 4), 0u); // loops forever
        } else if (type == "fcTL") {
            sequence.push_back(bigEndian(data));
            EXPECT_EQ(bigEndian(data + 4), 8u);
            EXPECT_EQ(bigEndian(data + 8), 4u);
            EXPECT_EQ(Bytes(data + 20, data + 24), (Bytes{0, 1, 0, 25})); // 1/25 s
        } else if (type == "fdAT") {
            sequence.push_back(bigEndian(data));
        }
        offset += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "acTL", "fcTL", "IDAT", "fcTL", "fdAT", "fcTL", "fdAT",
                                               "IEND"}));
    // Sequence numbers run across fcTL and fdAT chunks.
    EXPECT_EQ(sequence, (std::vector<std::uint32_t>{0, 1, 2, 3, 4}));

    // Frames that differ in size or are no PNG are refused.
    Bytes truncated = solidPng(4, 4, 0);
    truncated.resize(truncated.size() / 2);
    EXPECT_TRUE(host::assembleAnimatedPng({}, 30).empty());
    EXPECT_TRUE(host::assembleAnimatedPng({solidPng(4, 4, 0), solidPng(5, 4, 0)}, 30).empty());
    EXPECT_TRUE(host::assembleAnimatedPng({{1, 2, 3}}, 30).empty());
    EXPECT_TRUE(host::assembleAnimatedPng({truncated}, 30).empty());
    EXPECT_TRUE(host::assembleAnimatedPng({solidPng(4, 4, 0)}, 0).empty());
}

} // namespace
