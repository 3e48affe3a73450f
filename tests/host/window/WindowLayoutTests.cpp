#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "window/WindowLayout.h"

namespace {

using host::chooseWindowScale;
using host::displayScaleForDpi;
using host::WindowLayout;

constexpr CGSize kWidget{320, 105};
constexpr CGSize kLegacyStrip{320, 70};

TEST(WindowLayout, WidgetSitsInTheMiddleOfThePanelAtScaleTwo) {
    const WindowLayout layout(kWidget, 2);
    EXPECT_EQ(layout.widgetPixelWidth(), 640);
    EXPECT_EQ(layout.widgetPixelHeight(), 210);
    EXPECT_EQ(layout.windowWidth(), 640 + 2 * 32);
    // 105 points and the margins are less than the panel's least height.
    EXPECT_EQ(layout.windowHeight(), 280);
    EXPECT_EQ(layout.widgetX(), 32);
    EXPECT_EQ(layout.widgetY(), 35);
    EXPECT_EQ(layout.windowSizeInPoints(), CGSizeMake(352, 140));
}

TEST(WindowLayout, PointerPositionsBecomeWidgetPoints) {
    const WindowLayout layout(kWidget, 2);
    EXPECT_EQ(layout.widgetPoint(32, 35), CGPointMake(0, 0));
    // The play button's corner.
    EXPECT_EQ(layout.widgetPoint(32 + 404, 35 + 84), CGPointMake(202, 42));
    EXPECT_EQ(layout.widgetPoint(33, 36), CGPointMake(0.5, 0.5));
    EXPECT_EQ(layout.widgetPoint(0, 0), CGPointMake(-16, -17.5));

    EXPECT_TRUE(layout.widgetContains({0, 0}));
    EXPECT_TRUE(layout.widgetContains({319.9, 104.9}));
    EXPECT_FALSE(layout.widgetContains({320, 50}));
    EXPECT_FALSE(layout.widgetContains({50, 105}));
    EXPECT_FALSE(layout.widgetContains({-0.1, 50}));
    EXPECT_FALSE(layout.widgetContains({50, -0.1}));
    EXPECT_EQ(layout.windowPoint(704, 280), CGPointMake(352, 140));
}

TEST(WindowLayout, FractionalScalesKeepTheWidgetOnWholePixels) {
    const WindowLayout layout(kWidget, 1.5);
    EXPECT_EQ(layout.widgetPixelWidth(), 480);
    EXPECT_EQ(layout.widgetPixelHeight(), 158); // 157.5 rounded up
    EXPECT_EQ(layout.windowWidth(), 480 + 2 * 24);
    EXPECT_EQ(layout.windowHeight(), 210);
    EXPECT_EQ(layout.widgetY(), (210 - 158) / 2);
    const CGPoint corner = layout.widgetPoint(layout.widgetX(), layout.widgetY());
    EXPECT_EQ(corner, CGPointMake(0, 0));
    EXPECT_DOUBLE_EQ(layout.widgetPoint(layout.widgetX() + 3, 0).x, 2);
}

TEST(WindowLayout, ShortStripStillGetsRoomForPanels) {
    const WindowLayout layout(kLegacyStrip, 2);
    EXPECT_EQ(layout.windowHeight(), 280);
    EXPECT_EQ(layout.widgetY(), (280 - 140) / 2);
}

TEST(WindowScale, DisplayScaleComesInWholeStepsOf96Dpi) {
    EXPECT_EQ(displayScaleForDpi(120), 1);
    EXPECT_EQ(displayScaleForDpi(150), 2);
    EXPECT_EQ(displayScaleForDpi(288), 3);
    EXPECT_EQ(displayScaleForDpi(40), 1);
    EXPECT_EQ(displayScaleForDpi(0), 1);
    EXPECT_EQ(displayScaleForDpi(std::numeric_limits<double>::quiet_NaN()), 1);
}

TEST(WindowScale, DefaultIsTwoOrTheDisplaysLargerScaleWhileItFits) {
    EXPECT_EQ(chooseWindowScale(2, false, 1, kWidget, 1920, 1080), 2);
    EXPECT_EQ(chooseWindowScale(2, false, 3, kWidget, 3840, 2160), 3);
    // Unknown usable area: nothing to fit.
    EXPECT_EQ(chooseWindowScale(2, false, 4, kWidget, 0, 0), 4);
    // 3 would be 1056 pixels wide; 2 is 704.
    EXPECT_EQ(chooseWindowScale(2, false, 3, kWidget, 1000, 700), 2);
    // Even 2 is too wide for 600 pixels: 1 fits.
    EXPECT_EQ(chooseWindowScale(2, false, 1, kWidget, 600, 400), 1);
    // Nothing fits: 1 is the floor.
    EXPECT_EQ(chooseWindowScale(2, false, 1, kWidget, 100, 100), 1);
    EXPECT_EQ(chooseWindowScale(2, false, std::numeric_limits<double>::quiet_NaN(), kWidget, 1920, 1080), 2);
}

TEST(WindowScale, GivenScaleIsKeptAsItIs) {
    EXPECT_EQ(chooseWindowScale(1.5, true, 3, kWidget, 1920, 1080), 1.5);
    EXPECT_EQ(chooseWindowScale(6, true, 1, kWidget, 800, 600), 6);
}

} // namespace
