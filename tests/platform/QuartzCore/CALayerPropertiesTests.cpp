#include <gtest/gtest.h>

#include <cmath>

#include "Foundation/NSNumber.h"
#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CATransaction.h"
#include "platform/QuartzCore/QuartzTestSupport.h"

namespace {

class LayerPropertiesTest : public QuartzTest {};

TEST_F(LayerPropertiesTest, TransactionsNestAndTheImplicitOneEndsWithTheRunLoopPass) {
    CATransaction::begin();
    CATransaction::setValue(NSNumber::numberWithBool(true), kCATransactionDisableActions);
    CATransaction::begin();
    EXPECT_TRUE(CATransaction::disableActions());
    CATransaction::setDisableActions(false);
    CATransaction::commit();
    EXPECT_TRUE(CATransaction::disableActions());
    CATransaction::commit();
    EXPECT_FALSE(CATransaction::disableActions());
    // Outside begin/commit a setting lasts until the run loop's pass ends.
    CATransaction::setDisableActions(true);
    EXPECT_TRUE(CATransaction::disableActions());
    NSRunLoop::mainRunLoop()->runPass();
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
    // Four stops (any objects stand for colours here), spread evenly without locations.
    gradient->setColors(numbers({0, 1, 1, 0}));
    EXPECT_EQ(gradient->stopLocations(), (std::vector<double>{0, 1.0 / 3, 2.0 / 3, 1}));
    gradient->setLocations(numbers({0, 20.0 / 320, 1 - 20.0 / 320, 1}));
    EXPECT_EQ(gradient->stopLocations(), (std::vector<double>{0, 0.0625, 0.9375, 1}));
    // A zero-width label: infinities clamp, a NaN location falls back to the even spread.
    const double r = 20.0 / 0.0;
    gradient->setLocations(numbers({0, r, 1 - r, 1}));
    EXPECT_EQ(gradient->stopLocations(), (std::vector<double>{0, 1, 0, 1}));
    gradient->setLocations(numbers({0, std::nan(""), 0.5, 1}));
    EXPECT_EQ(gradient->stopLocations(), (std::vector<double>{0, 1.0 / 3, 0.5, 1}));
    // One number per colour or none at all.
    gradient->setLocations(numbers({0, 1}));
    EXPECT_EQ(gradient->stopLocations(), (std::vector<double>{0, 1.0 / 3, 2.0 / 3, 1}));
}

} // namespace
