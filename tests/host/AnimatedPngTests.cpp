#include <cairo.h>
#include <gtest/gtest.h>

#include "UIKit/UIImage.h"
#include "host/AnimatedPng.h"
#include "host/Headless.h"
#include "host/HostFailure.h"
#include "render/Snapshot.h"
#include "support/TemporaryDirectory.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes solidPng(int width, int height, double red) {
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    const UICairoContextPtr context = UICairoContextCreate(surface.get());
    cairo_set_source_rgb(context.get(), red, 0.2, 0.4);
    cairo_paint(context.get());
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

TEST(AnimatedPngTest, RecordingEstimateHoldsFramesThatDoNotCompressAndMoreThanTheDiskHasIsRefused) {
    // Noise, the worst a frame can compress, in its files and the animation.
    std::vector<Bytes> frames;
    std::size_t written = 0;
    for (int frame = 0; frame < 5; ++frame) {
        UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 40));
        unsigned char* pixels = cairo_image_surface_get_data(surface.get());
        for (int i = 0; i < 64 * 40 * 4; ++i) {
            pixels[i] = static_cast<unsigned char>((i * 2654435761u + frame) >> 13);
        }
        cairo_surface_mark_dirty(surface.get());
        frames.push_back(render::encodePNG(surface));
        written += frames.back().size();
    }
    EXPECT_GE(host::recordingBytesNeeded(64, 40, 5), written + host::assembleAnimatedPng(frames, 30).size());
    TemporaryDirectory directory;
    EXPECT_NO_THROW(host::requireFreeSpace(directory.file("not/yet"), 1));
    EXPECT_THROW(host::requireFreeSpace(directory.file("not/yet"), std::uint64_t{1} << 62),
                 host::HostFailure);
}

} // namespace
