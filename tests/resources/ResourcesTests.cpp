// The images our drawing program makes: every bundle image at each scale, and the
// same bytes from every run.
#include <cairo.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "UIKit/UIImage.h"
#include "support/Process.h"
#include "support/TemporaryDirectory.h"
#include "support/TestPaths.h"

namespace {

const std::string kBundle = TRILLBOX_BUNDLE_DIR "/";

TEST(BundleImagesTest, EveryImageDecodesAtEachScale) {
    for (const std::string name : {"play", "pause", "backward", "forward", "not_playing", "no_cover",
                                   "volume_knob", "slider_bg", "slider_thumb", "Background"}) {
        SCOPED_TRACE(name);
        const UICairoSurface single(cairo_image_surface_create_from_png((kBundle + name + ".png").c_str()));
        ASSERT_EQ(cairo_surface_status(single.get()), CAIRO_STATUS_SUCCESS);
        EXPECT_EQ(cairo_image_surface_get_format(single.get()), CAIRO_FORMAT_ARGB32) << "no transparency";
        for (const int scale : {2, 3}) {
            const std::string file = kBundle + name + "@" + std::to_string(scale) + "x.png";
            const UICairoSurface sharp(cairo_image_surface_create_from_png(file.c_str()));
            ASSERT_EQ(cairo_surface_status(sharp.get()), CAIRO_STATUS_SUCCESS) << file;
            EXPECT_EQ(cairo_image_surface_get_width(sharp.get()),
                      scale * cairo_image_surface_get_width(single.get()));
            EXPECT_EQ(cairo_image_surface_get_height(sharp.get()),
                      scale * cairo_image_surface_get_height(single.get()));
        }
    }
}

TEST(DrawImagesProgramTest, EveryRunDrawsTheSameBytesAsTheBuildsBundle) {
    const TemporaryDirectory first;
    const TemporaryDirectory second;
    for (const TemporaryDirectory* run : {&first, &second}) {
        ASSERT_EQ(runProcess({TRILLBOX_DRAW_IMAGES, "--bundle", run->file("bundle"), "--icons",
                              run->file("icons"), "--demo", run->file("demo")})
                      .exitStatus,
                  0);
    }
    const auto files = filesUnder(first.path());
    ASSERT_FALSE(files.empty());
    ASSERT_EQ(filesUnder(second.path()), files);
    for (const std::string& file : files) {
        if (std::filesystem::is_regular_file(first.file(file))) {
            EXPECT_EQ(readFile(second.file(file)), readFile(first.file(file))) << file;
        }
    }
    for (const std::string& file : filesUnder(first.file("bundle"))) {
        EXPECT_EQ(readFile(kBundle + file), readFile(first.file("bundle/" + file))) << file;
    }
}

} // namespace
