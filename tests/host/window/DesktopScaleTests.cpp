#include <gtest/gtest.h>

#include "window/DesktopScale.h"

namespace {

TEST(DesktopScale, GdkScaleThenXftDpiThenTheDisplayInQuartersAndTheWindowAtTwiceIt) {
    const struct {
        const char* gdkScale;
        const char* xResources;
        double displayDotsPerInch;
        CGFloat windowScale;
    } cases[] = {{"", "", 100, 2},
                 {"", "", 192, 4},
                 {"2", "Xft.dpi:\t96\n", 96, 4},
                 {"1.5", "", 0, 3},
                 {"0", "Xft.dpi:\t120\n", 0, 2.5},
                 {"", "Xft.dpi:\t144\n", 288, 3},
                 {"", "Xcursor.size:\t24\nXft.dpi: 168 \n", 0, 3.5},
                 {"", "Xft.dpi:\t96\nXft.dpi:\t192\n", 0, 4},
                 {"", "Xft.dpi:\t100\n", 192, 2},
                 {"", "Xft.dpi:\tlarge\n", 192, 4},
                 {"", "Xft.dpitch:\t192\nXft.dpi\n", 0, 2},
                 {"", "Xft.dpi:\t960\n", 0, 8}};
    for (const auto& [gdkScale, xResources, displayDotsPerInch, windowScale] : cases) {
        const host::DesktopScaleSources sources{gdkScale, xResources, displayDotsPerInch};
        EXPECT_EQ(host::defaultWindowScale(host::desktopScale(sources)), windowScale)
            << "GDK_SCALE=" << gdkScale << " resources \"" << xResources << "\" " << displayDotsPerInch
            << " dpi";
    }
}

} // namespace
