#include <gtest/gtest.h>

#include "support/TemporaryDirectory.h"
#include "window/WindowPlacement.h"

namespace {

using host::DesktopRect;
using host::WindowPlacement;

TEST(WindowPlacement, KeptPlacesReadBackAndDamagedFilesAreIgnored) {
    const WindowPlacement kept{{-700, 40, 704, 280}, 2.5};
    EXPECT_EQ(host::parseWindowPlacement(host::formatWindowPlacement(kept)), kept);
    EXPECT_EQ(host::parseWindowPlacement("scale 3\nheight 1\nwidth 2\ny 0\nx 5"),
              (WindowPlacement{{5, 0, 2, 1}, 3}));
    for (const char* damaged :
         {"", "x 1\ny 2\nwidth 3\nheight 4", "x 1\ny 2\nwidth 3\nheight 4\nscale 2\nx 1",
          "x 1\ny 2\nwidth 3\nheight 4\nscale 2\ncolour red", "x 1\ny 2\nwidth 3px\nheight 4\nscale 2",
          "x 1\ny 2\nwidth 0\nheight 4\nscale 2", "x 1\ny 2\nwidth 3\nheight 4\nscale 0",
          "x 1\ny 2\nwidth 3\nheight 4\nscale 9", "x 1\ny 2\nwidth 3\nheight 4\nscale nan",
          "x 99999999999\ny 2\nwidth 3\nheight 4\nscale 2", "x\ty\n\x89PNG\r\n"}) {
        EXPECT_EQ(host::parseWindowPlacement(damaged), std::nullopt) << damaged;
    }

    const TemporaryDirectory config;
    const std::string file = host::windowPlacementFile(config.path().c_str(), "/home/someone");
    EXPECT_EQ(file, config.file("trillbox/window"));
    EXPECT_EQ(host::windowPlacementFile(nullptr, "/home/someone"), "/home/someone/.config/trillbox/window");
    EXPECT_EQ(host::readWindowPlacement(file), std::nullopt);
    EXPECT_EQ(host::writeWindowPlacement(file, kept), "");
    EXPECT_EQ(host::readWindowPlacement(file), kept);
    config.write("trillbox/window", "x 1\ny 2\nwid");
    EXPECT_EQ(host::readWindowPlacement(file), std::nullopt);
    EXPECT_NE(host::writeWindowPlacement(config.file("trillbox/window/inside"), kept), "");
}

TEST(WindowPlacement, APlaceCountsWhileEnoughOfTheWindowIsOnADisplay) {
    const std::vector<DesktopRect> displays{{0, 0, 1920, 1080}, {-1280, 100, 1280, 1024}};
    const struct {
        DesktopRect frame;
        bool onDisplay;
    } cases[] = {
        {{100, 100, 704, 280}, true},    {{-900, 900, 704, 280}, true}, // on the display to the left
        {{1856, 1048, 704, 280}, true},                                 // just a grip's worth in the corner
        {{1857, 1048, 704, 280}, false},                                // a pixel short of it
        {{-900, 20, 704, 280}, true},   // above the left display, its lower part on it
        {{-900, 0, 704, 50}, false},    // beside the main display, above the left one
        {{3000, 200, 704, 280}, false}, // the display it was on is gone
        {{1900, 1070, 20, 10}, true},   // a small window wholly on
        {{100, 100, 0, 280}, false},
    };
    for (const auto& [frame, onDisplay] : cases) {
        EXPECT_EQ(host::isOnAnyDisplay(frame, displays), onDisplay) << frame.x << "," << frame.y;
    }
}

} // namespace
