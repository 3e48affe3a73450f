#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Foundation/NSBundle.h"
#include "support/TestSupport.h"

namespace {

class BundleTest : public PlatformTest {
protected:
    TemporaryDirectory files;
};

TEST_F(BundleTest, ResourcesAreFoundByNameTypeAndScreenScaleEvenWithABrokenInfoFile) {
    files.write("Trillbox.bundle/Info.plist", "<plist><dict><key>a</key>");
    for (const char* image : {"play.png", "play@2x.png", "pause.png", "knob@2x.png"}) {
        files.write(std::string("Trillbox.bundle/") + image, "png");
    }
    const struct {
        int scale;
        const char* name;
        const char* type;
        std::string found; // empty: nil
    } cases[] = {
        {1, "play", "png", "play.png"},
        {1, "play", ".png", "play.png"},
        {1, "play.png", nullptr, "play.png"},
        {1, "play", "jpg", ""},
        {1, nullptr, "png", ""},
        // Only the @2x file exists: it is the last resort at scale 1.
        {1, "knob", "png", "knob@2x.png"},
        {2, "play", "png", "play@2x.png"},
        {2, "pause", "png", "pause.png"},
        {3, "play", "png", "play@2x.png"},
    };
    const auto bundle = NSBundle::bundleWithPath(NSStr(files.file("Trillbox.bundle")));
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->infoDictionary()->count(), 0u);
    EXPECT_EQ(NSBundle::bundleWithPath(NSStr(files.file("Trillbox.bundle/play.png"))), nullptr);
    for (const auto& [scale, name, type, found] : cases) {
        SCOPED_TRACE(std::to_string(scale) + " " + (name ? name : "nil") + " " + (type ? type : "nil"));
        NSBundle::setPreferredImageScale(scale);
        const auto path = bundle->pathForResource(name ? NSStr(name) : nullptr, type ? NSStr(type) : nullptr);
        EXPECT_EQ(NSStringText(path), found.empty() ? "" : files.file("Trillbox.bundle/" + found));
    }
}

TEST_F(BundleTest, AScreenBetweenTwoImageScalesPrefersTheLargerImage) {
    const std::vector<std::pair<CGFloat, std::vector<int>>> cases = {
        {1, {1, 2, 3}},   {1.25, {2, 1, 3}}, {2, {2, 1, 3}},   {2.0000001, {2, 1, 3}},
        {2.5, {3, 2, 1}}, {3, {3, 2, 1}},    {4, {3, 2, 1}},   {0.5, {1, 2, 3}},
        {0, {1, 2, 3}},   {-2, {1, 2, 3}},   {NAN, {1, 2, 3}}, {INFINITY, {1, 2, 3}},
    };
    for (const auto& [scale, scales] : cases) {
        EXPECT_EQ(NSBundle::imageScalesPreferredAt(scale), scales) << scale;
    }
}

} // namespace
