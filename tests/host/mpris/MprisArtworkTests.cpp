#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include "MprisArtwork.h"
#include "MprisArtworkDecoder.h"
#include "MprisTestSupport.h"

namespace {

namespace fs = std::filesystem;

std::vector<unsigned char> pngBytes(int width, int height, double red, double green, double blue) {
    auto surface = solidSurface(width, height, red, green, blue);
    std::vector<unsigned char> bytes;
    cairo_surface_write_to_png_stream(
        surface.get(),
        [](void* closure, const unsigned char* data, unsigned int length) {
            auto* out = static_cast<std::vector<unsigned char>*>(closure);
            out->insert(out->end(), data, data + length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    return bytes;
}

std::vector<unsigned char> jpegBytes(int width, int height, unsigned char red, unsigned char green,
                                     unsigned char blue) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = red;
        pixels[i + 1] = green;
        pixels[i + 2] = blue;
    }
    tjhandle encoder = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(encoder, pixels.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_444, 95, 0);
    std::vector<unsigned char> bytes(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(encoder);
    return bytes;
}

std::string base64(const std::vector<unsigned char>& bytes) {
    static const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t chunk = (bytes[i] << 16) | ((i + 1 < bytes.size() ? bytes[i + 1] : 0) << 8) |
                                    (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        text += alphabet[(chunk >> 18) & 63];
        text += alphabet[(chunk >> 12) & 63];
        text += i + 1 < bytes.size() ? alphabet[(chunk >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? alphabet[chunk & 63] : '=';
    }
    return text;
}

// Red, green and blue of a pixel, each within a tolerance (JPEG is lossy).
void expectColour(const UICairoSurface& surface, int x, int y, int red, int green, int blue) {
    const auto pixel = pixelAt(surface.get(), x, y);
    EXPECT_EQ(pixel >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>((pixel >> 16) & 0xFF), red, 3);
    EXPECT_NEAR(static_cast<int>((pixel >> 8) & 0xFF), green, 3);
    EXPECT_NEAR(static_cast<int>(pixel & 0xFF), blue, 3);
}

class MprisArtworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSRunLoop::mainRunLoop()->reset();
        char pattern[] = "/tmp/trillbox-artwork-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        _dir = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(_dir, ignored);
        NSRunLoop::mainRunLoop()->reset();
    }
    std::string write(const std::string& name, const std::vector<unsigned char>& bytes) {
        const auto path = (_dir / name).string();
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }

    fs::path _dir;
};

TEST_F(MprisArtworkTest, PngAndJpegDecodeToArgb32) {
    const auto png = mpris::decodeArtwork(pngBytes(40, 30, 1, 0, 0));
    ASSERT_TRUE(png);
    EXPECT_EQ(cairo_image_surface_get_format(png.get()), CAIRO_FORMAT_ARGB32);
    EXPECT_EQ(cairo_image_surface_get_width(png.get()), 40);
    EXPECT_EQ(cairo_image_surface_get_height(png.get()), 30);
    expectColour(png, 5, 5, 255, 0, 0);

    const auto jpeg = mpris::decodeArtwork(jpegBytes(64, 48, 0, 0, 255));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(cairo_image_surface_get_format(jpeg.get()), CAIRO_FORMAT_ARGB32);
    EXPECT_EQ(cairo_image_surface_get_width(jpeg.get()), 64);
    EXPECT_EQ(cairo_image_surface_get_height(jpeg.get()), 48);
    expectColour(jpeg, 10, 10, 0, 0, 255);
}

TEST_F(MprisArtworkTest, LargeImagesAreScaledDownKeepingTheirShape) {
    const auto jpeg = mpris::decodeArtwork(jpegBytes(3000, 1500, 0, 255, 0));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(cairo_image_surface_get_width(jpeg.get()), mpris::kMaxArtworkSide);
    EXPECT_EQ(cairo_image_surface_get_height(jpeg.get()), mpris::kMaxArtworkSide / 2);
    expectColour(jpeg, 100, 100, 0, 255, 0);

    const auto png = mpris::decodeArtwork(pngBytes(1200, 2400, 0, 0, 1));
    ASSERT_TRUE(png);
    EXPECT_EQ(cairo_image_surface_get_width(png.get()), mpris::kMaxArtworkSide / 2);
    EXPECT_EQ(cairo_image_surface_get_height(png.get()), mpris::kMaxArtworkSide);
}

TEST_F(MprisArtworkTest, DamagedOrForeignDataGivesNoArtwork) {
    EXPECT_FALSE(mpris::decodeArtwork({}));
    const std::string text = "just some text, not an image";
    EXPECT_FALSE(mpris::decodeArtwork({reinterpret_cast<const unsigned char*>(text.data()), text.size()}));
    // A PNG cut short, and a JPEG whose header is garbage.
    auto png = pngBytes(50, 50, 0, 1, 0);
    png.resize(png.size() / 2);
    EXPECT_FALSE(mpris::decodeArtwork(png));
    std::vector<unsigned char> jpeg = {0xFF, 0xD8, 0xFF, 0x00, 0x01, 0x02, 0x03};
    EXPECT_FALSE(mpris::decodeArtwork(jpeg));
    // A PNG header claiming 100000 x 100000 pixels is refused before anything is allocated.
    auto bomb = pngBytes(2, 2, 0, 0, 0);
    const unsigned char huge[] = {0x00, 0x01, 0x86, 0xA0};
    std::copy(huge, huge + 4, bomb.begin() + 16);
    std::copy(huge, huge + 4, bomb.begin() + 20);
    EXPECT_FALSE(mpris::decodeArtwork(bomb));
}

TEST_F(MprisArtworkTest, FileAndDataUrlsAreRead) {
    const auto bytes = pngBytes(8, 8, 0, 1, 0);
    write("cover art #1.png", bytes);
    const auto url = "file://" + (_dir / "cover%20art%20%231.png").string();
    EXPECT_EQ(mpris::readArtworkBytes(url), bytes);
    EXPECT_EQ(mpris::readArtworkBytes("file://localhost" + (_dir / "cover%20art%20%231.png").string()),
              bytes);
    EXPECT_EQ(mpris::readArtworkBytes((_dir / "cover art #1.png").string()), bytes);
    EXPECT_TRUE(mpris::loadArtwork(url));

    const auto inline64 = "data:image/png;base64," + base64(bytes);
    EXPECT_EQ(mpris::readArtworkBytes(inline64), bytes);
    const auto image = mpris::loadArtwork(inline64);
    ASSERT_TRUE(image);
    expectColour(image, 1, 1, 0, 255, 0);
    EXPECT_FALSE(mpris::readArtworkBytes("data:image/png;base64,@@@not base64@@@"));
    EXPECT_FALSE(mpris::readArtworkBytes("data:no comma at all"));
}

TEST_F(MprisArtworkTest, UnreachableMissingOrHugeSourcesGiveNothing) {
    EXPECT_FALSE(mpris::readArtworkBytes("https://example.com/cover.png"));
    EXPECT_FALSE(mpris::readArtworkBytes("http://example.com/cover.png"));
    EXPECT_FALSE(mpris::readArtworkBytes("file://otherhost/share/cover.png"));
    EXPECT_FALSE(mpris::readArtworkBytes("file://" + (_dir / "missing.png").string()));
    EXPECT_FALSE(mpris::readArtworkBytes("file://" + _dir.string()));
    EXPECT_FALSE(mpris::readArtworkBytes(""));

    // A file past the limit is not read at all (sparse, so the test stays cheap).
    const auto hugePath = write("huge.png", pngBytes(4, 4, 0, 0, 0));
    ASSERT_EQ(::truncate(hugePath.c_str(), static_cast<off_t>(mpris::kMaxArtworkFileBytes) + 1), 0);
    EXPECT_FALSE(mpris::readArtworkBytes("file://" + hugePath));

    // A FIFO where the art should be must not block the reader.
    const auto fifo = (_dir / "fifo.png").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(mpris::readArtworkBytes("file://" + fifo));

    write("empty.png", {});
    EXPECT_FALSE(mpris::loadArtwork("file://" + (_dir / "empty.png").string()));
    const std::string text = "not an image";
    write("text.png", {text.begin(), text.end()});
    EXPECT_FALSE(mpris::loadArtwork("file://" + (_dir / "text.png").string()));
}

TEST_F(MprisArtworkTest, DecoderDeliversOnTheMainRunLoop) {
    const auto good = write("good.jpg", jpegBytes(16, 16, 255, 255, 0));
    MprisArtworkDecoder decoder;
    std::vector<std::pair<std::string, bool>> delivered;
    decoder.load("file://" + good,
                 [&](UICairoSurface artwork) { delivered.emplace_back("good", bool(artwork)); });
    decoder.load("file:///nonexistent/cover.png",
                 [&](UICairoSurface artwork) { delivered.emplace_back("missing", bool(artwork)); });
    // Nothing arrives outside the run loop.
    EXPECT_TRUE(delivered.empty());
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return delivered.size() == 2; }, 5));
    EXPECT_EQ(delivered[0], std::make_pair(std::string("good"), true));
    EXPECT_EQ(delivered[1], std::make_pair(std::string("missing"), false));
}

TEST_F(MprisArtworkTest, DestroyedDecoderDeliversNothing) {
    const auto good = write("good.png", pngBytes(16, 16, 1, 1, 0));
    bool delivered = false;
    {
        MprisArtworkDecoder decoder;
        for (int i = 0; i < 4; ++i) {
            decoder.load("file://" + good, [&](UICairoSurface) { delivered = true; });
        }
    }
    // The worker has stopped: whatever it finished is already queued for the run
    // loop, and one pass to take it in and one to run it deliver it all.
    NSRunLoop::mainRunLoop()->runPass();
    NSRunLoop::mainRunLoop()->runPass();
    EXPECT_FALSE(delivered);
}

} // namespace
