#include <gtest/gtest.h>

#include <limits>

#include "window/WindowLayout.h"

namespace {

using host::chooseWindowScale;

constexpr CGSize kLaidOutWidget{320, 105};
constexpr double kNoScale = std::numeric_limits<double>::quiet_NaN();

TEST(WindowScale, TheDisplaysScaleInWholeStepsOf96Dpi) {
    for (const auto& [dpi, scale] : std::vector<std::pair<double, CGFloat>>{
             {120, 1}, {150, 2}, {288, 3}, {40, 1}, {0, 1}, {kNoScale, 1}}) {
        EXPECT_EQ(host::displayScaleForDpi(dpi), scale) << dpi;
    }
}

TEST(WindowScale, ThePreferredScaleLoweredUntilTheWindowFitsUnlessGiven) {
    EXPECT_EQ(chooseWindowScale(2, false, 2, kLaidOutWidget, 1920, 1080), 2);
    EXPECT_EQ(chooseWindowScale(2, false, 3, kLaidOutWidget, 3840, 2160), 3);
    EXPECT_EQ(chooseWindowScale(2, false, 4, kLaidOutWidget, 0, 0), 4); // the usable area is unknown
    EXPECT_EQ(chooseWindowScale(2, false, 3.5, kLaidOutWidget, 1000, 700), 2.5);
    EXPECT_EQ(chooseWindowScale(2, false, 2, kLaidOutWidget, 600, 400), 1);
    EXPECT_EQ(chooseWindowScale(2, false, 2, kLaidOutWidget, 100, 100), 1); // nothing fits: 1 is the floor
    EXPECT_EQ(chooseWindowScale(2, false, kNoScale, kLaidOutWidget, 1920, 1080), 2);
    EXPECT_EQ(chooseWindowScale(1.5, true, 3, kLaidOutWidget, 1920, 1080), 1.5);
    EXPECT_EQ(chooseWindowScale(6, true, 1, kLaidOutWidget, 800, 600), 6);
}

} // namespace
