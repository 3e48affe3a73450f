#include "QuartzCore/CAGradientLayer.h"
#include "marquee/MarqueeTestSupport.h"

namespace {

using FadeMaskTest = MarqueeTest;

std::vector<double> locationsOf(const Ptr<MarqueeLabel>& label) {
    std::vector<double> locations;
    const auto mask = as<CAGradientLayer>(label->layer()->mask());
    if (mask && mask->locations()) {
        for (const auto& number : mask->locations()->objects()) {
            locations.push_back(NSDoubleValue(number));
        }
    }
    return locations;
}

TEST_F(FadeMaskTest, TheMaskFadesBothEdgesOverTheFadeLengthKeepingTheStopsInOrder) {
    const struct {
        CGFloat width;
        CGFloat fade;
        std::vector<double> stops; // none: no mask
    } cases[]{
        {320, 20, {0, 0.0625, 0.9375, 1}}, {200, 10, {0, 0.05, 0.95, 1}}, {200, 150, {0, 0.5, 0.5, 1}},
        {0, 20, {0, 0.5, 0.5, 1}},         {200, -10, {0, 0, 1, 1}},      {200, 0, {}},
    };
    for (const auto& test : cases) {
        auto label = makeLabel(MarqueeTypeContinuousRight, CGRectMake(0, 0, test.width, 20));
        label->setFadeLength(test.fade);
        EXPECT_EQ(locationsOf(label), test.stops) << test.width << " wide, fade " << test.fade;
    }
}

TEST_F(FadeMaskTest, ANewMaskPutsTheTextHomeAndRestartsIt) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.4);
    label->applyGradientMaskForFadeLength(20);
    expectTimeline(label, {{0, 20}, {0.9, 20}, {1.5, -50}});
}

} // namespace
