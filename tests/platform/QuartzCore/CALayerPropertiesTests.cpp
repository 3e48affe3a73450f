#include <gtest/gtest.h>

#include <cmath>

#include "Foundation/NSNumber.h"
#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CATransaction.h"
#include "QuartzTestSupport.h"

namespace {

class LayerPropertiesTest : public QuartzTest {};

TEST_F(LayerPropertiesTest, VisibleChangesMarkTheDisplayAndRepeatsDoNot) {
    auto layer = CALayer::layer();
    const auto changes = [&](const std::function<void()>& change) {
        const auto before = CADisplayGeneration();
        change();
        return CADisplayGeneration() != before;
    };
    EXPECT_TRUE(changes([&] { layer->setFrame(CGRectMake(1, 2, 30, 40)); }));
    EXPECT_FALSE(changes([&] { layer->setFrame(CGRectMake(1, 2, 30, 40)); }));
    EXPECT_TRUE(changes([&] { layer->setCornerRadius(10); }));
    EXPECT_FALSE(changes([&] { layer->setCornerRadius(10); }));
    EXPECT_TRUE(changes([&] { layer->setMasksToBounds(true); }));
    EXPECT_TRUE(changes([&] { layer->setMask(CAGradientLayer::layer()); }));
    EXPECT_TRUE(changes([&] { layer->setMask(nullptr); }));
    EXPECT_TRUE(changes([&] { layer->setOpacity(0.5f); }));
    EXPECT_TRUE(changes([&] { layer->setHidden(true); }));
    EXPECT_TRUE(changes([&] { layer->setSpeed(0); }));
    EXPECT_TRUE(CGRectEqualToRect(layer->frame(), CGRectMake(1, 2, 30, 40)));
    EXPECT_EQ(layer->position(), (CGPoint{16, 22}));
}

TEST_F(LayerPropertiesTest, TransactionsNestAndKeepTheirValuesInside) {
    EXPECT_FALSE(CATransaction::disableActions());
    CATransaction::begin();
    CATransaction::setValue(NSNumber::numberWithBool(true), kCATransactionDisableActions);
    EXPECT_TRUE(CATransaction::disableActions());
    CATransaction::begin();
    EXPECT_TRUE(CATransaction::disableActions());
    CATransaction::setDisableActions(false);
    EXPECT_FALSE(CATransaction::disableActions());
    CATransaction::commit();
    EXPECT_TRUE(CATransaction::disableActions());
    CATransaction::setValue(nullptr, kCATransactionDisableActions);
    EXPECT_FALSE(CATransaction::valueForKey(kCATransactionDisableActions));
    CATransaction::commit();
    EXPECT_FALSE(CATransaction::disableActions());
}

TEST_F(LayerPropertiesTest, ImplicitTransactionEndsWithTheRunLoopPass) {
    CATransaction::setDisableActions(true);
    EXPECT_TRUE(CATransaction::disableActions());
    NSRunLoop::mainRunLoop()->runPass();
    EXPECT_FALSE(CATransaction::disableActions());
    CATransaction::setDisableActions(true);
    CATransaction::flush();
    EXPECT_FALSE(CATransaction::disableActions());
    // A run loop that is reset takes the implicit transaction with it.
    CATransaction::setDisableActions(true);
    NSRunLoop::mainRunLoop()->reset();
    EXPECT_FALSE(CATransaction::disableActions());
}

Ptr<NSArray> numbers(std::initializer_list<double> values) {
    std::vector<Ptr<NSObject>> objects;
    for (double value : values) {
        objects.push_back(NSNumber::numberWithDouble(value));
    }
    return NSArray::arrayWithObjects(objects);
}

TEST_F(LayerPropertiesTest, GradientStopsFollowLocationsWithFallbacks) {
    auto gradient = CAGradientLayer::layer();
    EXPECT_EQ(gradient->startPoint(), (CGPoint{0.5, 0}));
    EXPECT_EQ(gradient->endPoint(), (CGPoint{0.5, 1}));
    EXPECT_TRUE(gradient->stopLocations().empty());
    // Four stops (any objects stand for colours here).
    gradient->setColors(numbers({0, 1, 1, 0}));
    EXPECT_EQ(gradient->stopLocations(), (std::vector<double>{0, 1.0 / 3, 2.0 / 3, 1}));
    gradient->setLocations(numbers({0, 20.0 / 320, 1 - 20.0 / 320, 1}));
    EXPECT_EQ(gradient->stopLocations(), (std::vector<double>{0, 0.0625, 0.9375, 1}));
    // A zero-width label: NaN locations fall back, infinities clamp.
    const double r = 20.0 / 0.0;
    gradient->setLocations(numbers({0, r, 1 - r, 1}));
    EXPECT_EQ(gradient->stopLocations(), (std::vector<double>{0, 1, 0, 1}));
    gradient->setLocations(numbers({0, std::nan(""), 0.5, 1}));
    EXPECT_EQ(gradient->stopLocations(), (std::vector<double>{0, 1.0 / 3, 0.5, 1}));
    // One number per colour or none at all.
    gradient->setLocations(numbers({0, 1}));
    EXPECT_EQ(gradient->stopLocations().size(), 4u);
    EXPECT_EQ(gradient->stopLocations()[1], 1.0 / 3);
}

TEST_F(LayerPropertiesTest, GradientLayerIsALayer) {
    auto gradient = CAGradientLayer::layer();
    gradient->setBounds(CGRectMake(0, 0, 200, 20));
    gradient->setPosition({100, 10});
    gradient->setShouldRasterize(true);
    gradient->setRasterizationScale(2);
    gradient->setStartPoint({0, 10});
    gradient->setEndPoint({1, 10});
    auto host = CALayer::layer();
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    host->setMask(gradient);
    CATransaction::commit();
    EXPECT_EQ(host->mask(), gradient);
    EXPECT_TRUE(CGRectEqualToRect(gradient->frame(), CGRectMake(0, 0, 200, 20)));
    EXPECT_TRUE(gradient->shouldRasterize());
    EXPECT_EQ(gradient->rasterizationScale(), 2);
    EXPECT_EQ(gradient->endPoint(), (CGPoint{1, 10}));
}

} // namespace
