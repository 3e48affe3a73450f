#include <gtest/gtest.h>

#include "window/PointerTracker.h"

namespace {

using host::PointerTracker;
using host::TouchChange;

TEST(PointerTracker, PressOnTheWidgetIsAFingerThatFollowsThePointerAnywhere) {
    PointerTracker pointer;
    EXPECT_EQ(pointer.press({210, 52}, true), (TouchChange{UITouchPhaseBegan, {210, 52}}));
    EXPECT_TRUE(pointer.isTouching());
    EXPECT_EQ(pointer.move({230, 52}), (TouchChange{UITouchPhaseMoved, {230, 52}}));
    // Off the widget the finger goes on: a slider drag may overshoot its end.
    EXPECT_EQ(pointer.move({400, -20}), (TouchChange{UITouchPhaseMoved, {400, -20}}));
    EXPECT_EQ(pointer.release({410, -25}), (TouchChange{UITouchPhaseEnded, {410, -25}}));
    EXPECT_FALSE(pointer.isTouching());
    EXPECT_EQ(pointer.move({420, -25}), std::nullopt);
    EXPECT_EQ(pointer.release({420, -25}), std::nullopt);
}

TEST(PointerTracker, PressOffTheWidgetIsNoTouchAndNeitherIsItsDrag) {
    PointerTracker pointer;
    EXPECT_EQ(pointer.press({-5, 50}, false), std::nullopt);
    EXPECT_FALSE(pointer.isTouching());
    EXPECT_EQ(pointer.move({10, 50}), std::nullopt);
    EXPECT_EQ(pointer.release({10, 50}), std::nullopt);
    EXPECT_EQ(pointer.cancel(), std::nullopt);
}

TEST(PointerTracker, CancelTakesTheFingerAwayWhereItLastWasOnce) {
    PointerTracker pointer;
    pointer.press({52, 52}, true);
    pointer.move({60, 58});
    EXPECT_EQ(pointer.cancel(), (TouchChange{UITouchPhaseCancelled, {60, 58}}));
    EXPECT_FALSE(pointer.isTouching());
    EXPECT_EQ(pointer.cancel(), std::nullopt);
    // The release of the cancelled press reaches nobody.
    EXPECT_EQ(pointer.release({60, 58}), std::nullopt);
    // The next press is a new finger.
    EXPECT_EQ(pointer.press({52, 52}, true), (TouchChange{UITouchPhaseBegan, {52, 52}}));
}

TEST(PointerTracker, OnlyRealChangesAreDelivered) {
    PointerTracker pointer;
    pointer.press({100, 80}, true);
    EXPECT_EQ(pointer.move({100, 80}), std::nullopt);
    // A second press while down (a release lost to another client's grab) does
    // not start a second finger.
    EXPECT_EQ(pointer.press({120, 80}, true), std::nullopt);
    EXPECT_TRUE(pointer.isTouching());
    EXPECT_EQ(pointer.move({120, 80}), (TouchChange{UITouchPhaseMoved, {120, 80}}));
}

} // namespace
