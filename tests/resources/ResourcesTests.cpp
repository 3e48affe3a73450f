#include <cairo.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/TestPaths.h"

namespace fs = std::filesystem;

namespace {

const fs::path kBuildDirectory = TRILLBOX_BUILD_DIR;
const fs::path kBundleDirectory = TRILLBOX_BUNDLE_DIR;
const fs::path kDrawImages = TRILLBOX_DRAW_IMAGES;

// A decoded PNG. Pixels are read un-premultiplied, 0-255 per channel.
class Png {
public:
    explicit Png(const fs::path& path) : _surface(cairo_image_surface_create_from_png(path.c_str())) {}
    ~Png() { cairo_surface_destroy(_surface); }
    Png(const Png&) = delete;
    Png& operator=(const Png&) = delete;

    bool loaded() const { return cairo_surface_status(_surface) == CAIRO_STATUS_SUCCESS; }
    bool hasAlpha() const { return cairo_image_surface_get_format(_surface) == CAIRO_FORMAT_ARGB32; }
    int width() const { return cairo_image_surface_get_width(_surface); }
    int height() const { return cairo_image_surface_get_height(_surface); }

    int alpha(int x, int y) const { return hasAlpha() ? static_cast<int>(word(x, y) >> 24) : 255; }

    // The un-premultiplied colour channel (0 red, 1 green, 2 blue).
    int channel(int x, int y, int index) const {
        const int a = alpha(x, y);
        if (a == 0) {
            return 0;
        }
        const int premultiplied = static_cast<int>((word(x, y) >> (16 - 8 * index)) & 0xff);
        return std::min(255, premultiplied * 255 / a);
    }

    uint32_t word(int x, int y) const {
        const unsigned char* row =
            cairo_image_surface_get_data(_surface) + y * cairo_image_surface_get_stride(_surface);
        return reinterpret_cast<const uint32_t*>(row)[x];
    }

    int countPixels(auto predicate) const {
        int count = 0;
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) {
                count += predicate(x, y) ? 1 : 0;
            }
        }
        return count;
    }

    int peakAlpha() const {
        int peak = 0;
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) {
                peak = std::max(peak, alpha(x, y));
            }
        }
        return peak;
    }

    // The alpha-weighted centre of the image's ink, in pixels.
    std::pair<double, double> inkCentre() const {
        double sum = 0, sumX = 0, sumY = 0;
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) {
                sum += alpha(x, y);
                sumX += alpha(x, y) * (x + 0.5);
                sumY += alpha(x, y) * (y + 0.5);
            }
        }
        return {sumX / sum, sumY / sum};
    }

    // The centre of the box around the image's solid ink, in pixels.
    std::pair<double, double> inkBoxCentre() const {
        int left = width(), right = -1, top = height(), bottom = -1;
        for (int y = 0; y < height(); ++y) {
            for (int x = 0; x < width(); ++x) {
                if (alpha(x, y) > 64) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
            }
        }
        return {(left + right + 1) / 2.0, (top + bottom + 1) / 2.0};
    }

private:
    cairo_surface_t* _surface;
};

// The colour type byte of a PNG's header: 6 is RGBA, 2 is RGB.
int pngColourType(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    char header[26] = {};
    file.read(header, sizeof header);
    return file ? static_cast<unsigned char>(header[25]) : -1;
}

std::string contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct BundleImage {
    const char* name;
    int width;  // points
    int height; // points
    // The least peak opacity that makes the image plainly visible.
    int peakAlpha;
    // The glyph is meant to sit centred in its image.
    bool centred;
};

// Every image the widget looks up in its bundle, with the size the controls give it.
const BundleImage kBundleImages[] = {
    {"play", 16, 16, 255, true},         {"pause", 16, 16, 255, true},
    {"backward", 24, 16, 255, true},     {"forward", 24, 16, 255, true},
    {"not_playing", 85, 85, 255, false}, {"no_cover", 85, 85, 255, false},
    {"volume_knob", 14, 14, 255, true},  {"slider_bg", 3, 4, 90, true},
    {"slider_thumb", 14, 14, 255, true}, {"Background", 316, 70, 60, false},
};

fs::path bundleImagePath(const std::string& name, int scale) {
    return kBundleDirectory / (name + (scale == 2 ? "@2x.png" : ".png"));
}

TEST(BundleImagesTest, EveryImageExistsAtBothScalesWithAlphaAndTwiceThePixels) {
    for (const BundleImage& image : kBundleImages) {
        SCOPED_TRACE(image.name);
        for (int scale : {1, 2}) {
            const fs::path path = bundleImagePath(image.name, scale);
            ASSERT_TRUE(fs::exists(path)) << path;
            Png png(path);
            ASSERT_TRUE(png.loaded()) << path;
            EXPECT_TRUE(png.hasAlpha()) << path;
            EXPECT_EQ(pngColourType(path), 6) << path;
            EXPECT_EQ(png.width(), image.width * scale) << path;
            EXPECT_EQ(png.height(), image.height * scale) << path;
        }
    }
}

TEST(BundleImagesTest, EveryImageHasVisibleInkAndATransparentBackground) {
    for (const BundleImage& image : kBundleImages) {
        for (int scale : {1, 2}) {
            SCOPED_TRACE(std::string(image.name) + " at scale " + std::to_string(scale));
            Png png(bundleImagePath(image.name, scale));
            ASSERT_TRUE(png.loaded());
            EXPECT_GE(png.peakAlpha(), image.peakAlpha);
            EXPECT_GT(png.countPixels([&](int x, int y) { return png.alpha(x, y) == 0; }), 0);
            // Every image either has transparent corners or transparent rows (the track).
            const bool cornersClear = png.alpha(0, 0) == 0 && png.alpha(png.width() - 1, 0) == 0 &&
                                      png.alpha(0, png.height() - 1) == 0 &&
                                      png.alpha(png.width() - 1, png.height() - 1) == 0;
            EXPECT_TRUE(cornersClear);
        }
    }
}

TEST(BundleImagesTest, ImagesFitTheControlsThatShowThem) {
    // Button frames are 32 x 20 (previous, next) and 16 x 20 (play/pause); the
    // artwork view is 85 x 85; sliders are 20 points high.
    const std::pair<const char*, std::pair<int, int>> frames[] = {
        {"backward", {32, 20}},    {"forward", {32, 20}},      {"play", {16, 20}},
        {"pause", {16, 20}},       {"not_playing", {85, 85}},  {"no_cover", {85, 85}},
        {"volume_knob", {20, 20}}, {"slider_thumb", {20, 20}}, {"slider_bg", {1000, 20}},
    };
    for (const auto& [name, frame] : frames) {
        SCOPED_TRACE(name);
        Png png(bundleImagePath(name, 1));
        ASSERT_TRUE(png.loaded());
        EXPECT_LE(png.width(), frame.first);
        EXPECT_LE(png.height(), frame.second);
    }
    Png notPlaying(bundleImagePath("not_playing", 1)), noCover(bundleImagePath("no_cover", 1));
    EXPECT_EQ(notPlaying.width(), notPlaying.height());
    EXPECT_EQ(noCover.width(), noCover.height());
}

// A scale-2 image must show the same design as its scale-1 twin, not a design
// drawn at the wrong size or position.
TEST(BundleImagesTest, ScaleTwoShowsTheSameDesignAsScaleOne) {
    for (const BundleImage& image : kBundleImages) {
        SCOPED_TRACE(image.name);
        Png single(bundleImagePath(image.name, 1)), twice(bundleImagePath(image.name, 2));
        ASSERT_TRUE(single.loaded() && twice.loaded());
        double difference = 0;
        for (int y = 0; y < single.height(); ++y) {
            for (int x = 0; x < single.width(); ++x) {
                const double averaged = (twice.alpha(2 * x, 2 * y) + twice.alpha(2 * x + 1, 2 * y) +
                                         twice.alpha(2 * x, 2 * y + 1) + twice.alpha(2 * x + 1, 2 * y + 1)) /
                                        4.0;
                difference += std::abs(averaged - single.alpha(x, y));
            }
        }
        EXPECT_LT(difference / (single.width() * single.height()), 12.0);
    }
}

TEST(BundleImagesTest, GlyphsAreCentredAndLight) {
    for (const BundleImage& image : kBundleImages) {
        if (!image.centred) {
            continue;
        }
        for (int scale : {1, 2}) {
            SCOPED_TRACE(std::string(image.name) + " at scale " + std::to_string(scale));
            Png png(bundleImagePath(image.name, scale));
            ASSERT_TRUE(png.loaded());
            // A triangle's mass sits towards its base, so the optical centre lies between
            // the centre of its mass and the centre of its bounding box.
            const auto [massX, massY] = png.inkCentre();
            const auto [boxX, boxY] = png.inkBoxCentre();
            const double centreX = png.width() / 2.0, centreY = png.height() / 2.0;
            EXPECT_GE(centreX, std::min(massX, boxX) - 0.75 * scale);
            EXPECT_LE(centreX, std::max(massX, boxX) + 0.75 * scale);
            EXPECT_NEAR(boxY, centreY, 0.5 * scale);
            EXPECT_NEAR(massY, centreY, 0.5 * scale);
            // Light on a dark panel: the solid ink is near white.
            double brightness = 0, weight = 0;
            for (int py = 0; py < png.height(); ++py) {
                for (int px = 0; px < png.width(); ++px) {
                    if (png.alpha(px, py) > 200) {
                        brightness +=
                            png.channel(px, py, 0) + png.channel(px, py, 1) + png.channel(px, py, 2);
                        weight += 3;
                    }
                }
            }
            if (weight > 0) {
                EXPECT_GT(brightness / weight, 200);
            }
        }
    }
}

// The widget stretches the track with a one-point left cap: the column after the
// cap fills the slider's width. Stretched to the sliders' widths it must read as
// one continuous thin line.
TEST(BundleImagesTest, StretchedTrackReadsAsAContinuousThinLine) {
    for (int scale : {1, 2}) {
        Png track(bundleImagePath("slider_bg", scale));
        ASSERT_TRUE(track.loaded());
        const int leftCap = 1 * scale, stretchColumn = leftCap;
        const int rightCap = track.width() - leftCap - scale;
        ASSERT_GE(rightCap, 0);
        for (int points : {120, 160}) {
            SCOPED_TRACE("scale " + std::to_string(scale) + ", " + std::to_string(points) + " points");
            const int width = points * scale;
            auto sourceColumn = [&](int x) {
                if (x < leftCap) {
                    return x;
                }
                if (x >= width - rightCap) {
                    return track.width() - (width - x);
                }
                return stretchColumn;
            };
            int rowsWithInk = 0;
            for (int y = 0; y < track.height(); ++y) {
                int covered = 0;
                for (int x = 0; x < width; ++x) {
                    covered += track.alpha(sourceColumn(x), y) > 0 ? 1 : 0;
                }
                if (covered > 0) {
                    ++rowsWithInk;
                    // Any row with ink spans the whole width apart from the rounded ends.
                    EXPECT_GE(covered, width - 2 * scale) << "row " << y;
                }
            }
            EXPECT_GE(rowsWithInk, 1);
            EXPECT_LE(rowsWithInk, track.height() - 2 * scale + 1)
                << "the line should be thin, with clear rows";
            // The line's middle is visible against a dark panel all along.
            const int middle = track.height() / 2;
            for (int x = leftCap; x < width - rightCap; ++x) {
                ASSERT_GE(track.alpha(sourceColumn(x), middle), 90) << "column " << x;
            }
        }
    }
}

// The strip is stretched about its centre column: that column and its neighbours
// must agree, or the stretch shows a seam.
TEST(BundleImagesTest, BackgroundStretchesWithoutASeam) {
    for (int scale : {1, 2}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        Png strip(bundleImagePath("Background", scale));
        ASSERT_TRUE(strip.loaded());
        const int centre = strip.width() / 2;
        for (int y = 0; y < strip.height(); ++y) {
            EXPECT_EQ(strip.word(centre - 1, y), strip.word(centre, y)) << "row " << y;
            EXPECT_EQ(strip.word(centre + 1, y), strip.word(centre, y)) << "row " << y;
        }
        // A subtle panel: translucent in the middle, not a solid block.
        const int middleAlpha = strip.alpha(centre, strip.height() / 2);
        EXPECT_GT(middleAlpha, 0);
        EXPECT_LT(middleAlpha, 128);
    }
}

TEST(BundleImagesTest, PlaceholdersDifferFromEachOther) {
    Png notPlaying(bundleImagePath("not_playing", 2)), noCover(bundleImagePath("no_cover", 2));
    ASSERT_TRUE(notPlaying.loaded() && noCover.loaded());
    const int differing =
        notPlaying.countPixels([&](int x, int y) { return notPlaying.word(x, y) != noCover.word(x, y); });
    EXPECT_GT(differing, notPlaying.width() * notPlaying.height() / 10);
}

TEST(AppIconTest, EachSizeIsASquareTileWithTransparentCorners) {
    for (int size : {48, 128, 256}) {
        SCOPED_TRACE(size);
        const fs::path path = kBuildDirectory / "share/icons/hicolor" /
                              (std::to_string(size) + "x" + std::to_string(size)) / "apps/trillbox.png";
        ASSERT_TRUE(fs::exists(path)) << path;
        Png icon(path);
        ASSERT_TRUE(icon.loaded());
        EXPECT_TRUE(icon.hasAlpha());
        EXPECT_EQ(icon.width(), size);
        EXPECT_EQ(icon.height(), size);
        EXPECT_EQ(icon.alpha(0, 0), 0);
        EXPECT_EQ(icon.alpha(size - 1, size - 1), 0);
        EXPECT_EQ(icon.alpha(size / 2, size / 2), 255);
        EXPECT_EQ(icon.alpha(size / 5, size / 5), 255);
    }
}

TEST(DemoArtworkTest, ThreeDistinctOpaqueSquareCovers) {
    std::vector<std::unique_ptr<Png>> covers;
    for (int index = 1; index <= 3; ++index) {
        const fs::path path =
            kBuildDirectory / "share/trillbox/demo" / ("demo-artwork-" + std::to_string(index) + ".png");
        SCOPED_TRACE(path);
        ASSERT_TRUE(fs::exists(path));
        auto cover = std::make_unique<Png>(path);
        ASSERT_TRUE(cover->loaded());
        EXPECT_EQ(cover->width(), 300);
        EXPECT_EQ(cover->height(), 300);
        EXPECT_EQ(cover->countPixels([&](int x, int y) { return cover->alpha(x, y) != 255; }), 0);
        std::set<uint32_t> colours;
        for (int y = 0; y < 300; y += 3) {
            for (int x = 0; x < 300; x += 3) {
                colours.insert(cover->word(x, y) & 0xffffff);
            }
        }
        EXPECT_GT(colours.size(), 20u) << "a cover is more than a flat fill";
        covers.push_back(std::move(cover));
    }
    for (size_t a = 0; a < covers.size(); ++a) {
        for (size_t b = a + 1; b < covers.size(); ++b) {
            const int differing = covers[a]->countPixels(
                [&](int x, int y) { return covers[a]->word(x, y) != covers[b]->word(x, y); });
            EXPECT_GT(differing, 300 * 300 / 2) << a + 1 << " and " << b + 1;
        }
    }
}

class DrawImagesProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "trillbox-resources-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        _directory = pattern;
    }
    void TearDown() override { fs::remove_all(_directory); }

    // Runs the program with `arguments` (already quoted) and returns its exit status.
    int run(const std::string& arguments) {
        const std::string command = "'" + kDrawImages.string() + "' " + arguments + " 2>/dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

    fs::path _directory;
};

TEST_F(DrawImagesProgramTest, OutputIsByteIdenticalRunToRun) {
    const fs::path first = _directory / "first", second = _directory / "second";
    for (const fs::path& target : {first, second}) {
        ASSERT_EQ(run("--bundle " + quoted(target / "bundle") + " --icons " + quoted(target / "icons") +
                      " --demo " + quoted(target / "demo")),
                  0);
    }
    int compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(first)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const fs::path relative = fs::relative(entry.path(), first);
        ASSERT_TRUE(fs::exists(second / relative)) << relative;
        EXPECT_EQ(contents(entry.path()), contents(second / relative)) << relative;
        ++compared;
    }
    // 10 bundle images at two scales, 3 icons, 3 covers.
    EXPECT_EQ(compared, 26);
    // The build's own copies came from the same program.
    EXPECT_EQ(contents(first / "bundle/play@2x.png"), contents(bundleImagePath("play", 2)));
}

TEST_F(DrawImagesProgramTest, UnwritableDestinationFailsWithStatusInsteadOfCrashing) {
    const fs::path blocker = _directory / "not-a-directory";
    std::ofstream(blocker) << "file";
    EXPECT_EQ(run("--bundle " + quoted(blocker / "bundle")), 1);
    EXPECT_EQ(run("--bogus " + quoted(_directory)), 2);
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(run("--bundle"), 2);
}

} // namespace
