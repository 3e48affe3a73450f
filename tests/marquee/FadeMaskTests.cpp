#include "MarqueeTestSupport.h"
#include "QuartzCore/CAGradientLayer.h"
#include "UIKit/UIScreen.h"

namespace {

using FadeMaskTest = MarqueeTest;

Ptr<CAGradientLayer> maskOf(const Ptr<MarqueeLabel>& label) {
    return as<CAGradientLayer>(label->layer()->mask());
}

std::vector<double> locationsOf(const Ptr<MarqueeLabel>& label) {
    std::vector<double> locations;
    const auto mask = maskOf(label);
    if (mask && mask->locations()) {
        for (const auto& number : mask->locations()->objects()) {
            locations.push_back(NSDoubleValue(number));
        }
    }
    return locations;
}

TEST_F(FadeMaskTest, MaskFadesBothEdgesOverTheFadeLength) {
    auto label = alloc<MarqueeLabel>()->initWithFrameRateAndFadeLength(CGRectMake(0, 0, 320, 20), 50, 20);
    const auto mask = maskOf(label);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(locationsOf(label), (std::vector<double>{0, 0.0625, 0.9375, 1}));
    EXPECT_EQ(mask->startPoint(), CGPointMake(0, 10));
    EXPECT_EQ(mask->endPoint(), CGPointMake(1, 10));
    ExpectRect(mask->bounds(), 0, 0, 320, 20);
    EXPECT_EQ(mask->position(), CGPointMake(160, 10));
    EXPECT_TRUE(mask->shouldRasterize());
    EXPECT_DOUBLE_EQ(mask->rasterizationScale(), UIScreen::mainScreen()->scale());

    // Clear, black, black, clear: opacity 0, 1, 1, 0.
    const auto colors = mask->colors();
    ASSERT_EQ(colors->count(), 4u);
    const double alphas[] = {0, 1, 1, 0};
    for (NSUInteger i = 0; i < 4; ++i) {
        const auto color = as<CGColor>(colors->objectAtIndex(i));
        ASSERT_NE(color, nullptr);
        EXPECT_DOUBLE_EQ(color->alpha(), alphas[i]);
    }
}

TEST_F(FadeMaskTest, LocationsFollowTheWidth) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setFadeLength(25);
    EXPECT_EQ(locationsOf(label), (std::vector<double>{0, 0.125, 0.875, 1}));
    label->setFadeLength(10);
    EXPECT_EQ(locationsOf(label), (std::vector<double>{0, 10.0 / 200, 1 - 10.0 / 200, 1}));
    // The mask is the same for every type and position.
    label->setMarqueeType(MarqueeTypeContinuousRight);
    label->setLabelize(YES);
    EXPECT_EQ(locationsOf(label), (std::vector<double>{0, 10.0 / 200, 1 - 10.0 / 200, 1}));
}

TEST_F(FadeMaskTest, ZeroFadeRemovesTheMaskAndAnUnchangedFadeKeepsIt) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    const auto mask = label->layer()->mask();
    ASSERT_NE(mask, nullptr);
    label->setFadeLength(20);
    EXPECT_EQ(label->layer()->mask(), mask);
    label->setFadeLength(0);
    EXPECT_EQ(label->layer()->mask(), nullptr);
    EXPECT_TRUE(label->clipsToBounds());
}

TEST_F(FadeMaskTest, FadesTheWidthCannotHoldKeepTheStopsInOrder) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setFadeLength(150); // wider than half of 200
    EXPECT_EQ(locationsOf(label), (std::vector<double>{0, 0.5, 0.5, 1}));

    label->setFrame(CGRectMake(0, 0, 0, 20));
    ASSERT_NE(maskOf(label), nullptr);
    EXPECT_EQ(locationsOf(label), (std::vector<double>{0, 0.5, 0.5, 1}));

    label->setFrame(CGRectMake(0, 0, 200, 20));
    label->setFadeLength(-10);
    EXPECT_EQ(locationsOf(label), (std::vector<double>{0, 0, 1, 1}));
}

TEST_F(FadeMaskTest, AnimatedMaskPutsTextHomeAndRestartsWhenDue) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.4);
    label->applyGradientMaskForFadeLength(20);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    advance(0.9);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    advance(1.5);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);

    label->setTapToScroll(YES);
    label->applyGradientMaskForFadeLength(20);
    advance(10);
    EXPECT_DOUBLE_EQ(shownX(label->subLabel()), 20);
    EXPECT_FALSE(label->awayFromHome());
}

TEST_F(FadeMaskTest, FittingTextGoesHomeWithoutScrolling) {
    auto label = makeLabel(MarqueeTypeLeftAndBack);
    label->setText(textOfWidth(100));
    _controller->view()->addSubview(label);
    label->applyGradientMaskForFadeLength(20);
    advance(10);
    EXPECT_FALSE(label->awayFromHome());
    EXPECT_FALSE(label->subLabel()->layer()->hasRunningAnimations());
}

TEST_F(FadeMaskTest, UnanimatedMaskLeavesTheScrollAlone) {
    auto label = showLabel(MarqueeTypeLeftAndBack);
    advance(2.4);
    const auto before = label->layer()->mask();
    label->applyGradientMaskForFadeLength(20, NO);
    EXPECT_NE(label->layer()->mask(), before);
    EXPECT_NEAR(shownX(label->subLabel()), -50, 1e-9);
}

} // namespace
