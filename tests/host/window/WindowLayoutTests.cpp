#include <gtest/gtest.h>

#include <limits>

#include "window/WindowLayout.h"

namespace {

using host::chooseWindowScale;

constexpr CGSize kWidget{320, 105};
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(WindowScale, TheDisplaysScaleInWholeStepsOf96Dpi) {
    for (const auto& [dpi, scale] :
         std::vector<std::pair<double, CGFloat>>{{120, 1}, {150, 2}, {288, 3}, {40, 1}, {0, 1}, {kNaN, 1}}) {
        EXPECT_EQ(host::displayScaleForDpi(dpi), scale) << dpi;
    }
}

TEST(WindowScale, TwoOrTheDisplaysLargerScaleLoweredUntilTheWindowFitsUnlessGiven) {
    EXPECT_EQ(chooseWindowScale(2, false, 1, kWidget, 1920, 1080), 2);
    EXPECT_EQ(chooseWindowScale(2, false, 3, kWidget, 3840, 2160), 3);
    EXPECT_EQ(chooseWindowScale(2, false, 4, kWidget, 0, 0), 4); // the usable area is unknown
    EXPECT_EQ(chooseWindowScale(2, false, 3, kWidget, 1000, 700), 2);
    EXPECT_EQ(chooseWindowScale(2, false, 1, kWidget, 600, 400), 1);
    EXPECT_EQ(chooseWindowScale(2, false, 1, kWidget, 100, 100), 1); // nothing fits: 1 is the floor
    EXPECT_EQ(chooseWindowScale(2, false, kNaN, kWidget, 1920, 1080), 2);
    EXPECT_EQ(chooseWindowScale(1.5, true, 3, kWidget, 1920, 1080), 1.5);
    EXPECT_EQ(chooseWindowScale(6, true, 1, kWidget, 800, 600), 6);
}

} // namespace
