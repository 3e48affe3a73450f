#include <gtest/gtest.h>

#include "window/PointerTracker.h"

namespace {

using host::TouchChange;

TEST(PointerTracker, APressOnTheWidgetIsOneFingerThatFollowsThePointerUntilLetGoOrCancelled) {
    host::PointerTracker pointer;
    // Off the widget a press is no touch, and neither is its drag.
    EXPECT_EQ(pointer.press({-5, 50}, false), std::nullopt);
    EXPECT_EQ(pointer.move({10, 50}), std::nullopt);
    EXPECT_EQ(pointer.release({10, 50}), std::nullopt);

    EXPECT_EQ(pointer.press({210, 52}, true), (TouchChange{UITouchPhaseBegan, {210, 52}}));
    EXPECT_EQ(pointer.move({210, 52}), std::nullopt);
    // A second press while down (a release lost to another client's grab) starts no second finger.
    EXPECT_EQ(pointer.press({220, 52}, true), std::nullopt);
    // Off the widget the finger goes on: a slider drag may overshoot its end.
    EXPECT_EQ(pointer.move({400, -20}), (TouchChange{UITouchPhaseMoved, {400, -20}}));
    EXPECT_EQ(pointer.release({410, -25}), (TouchChange{UITouchPhaseEnded, {410, -25}}));
    EXPECT_EQ(pointer.move({420, -25}), std::nullopt);

    // Cancelled where it last was, once; the release of the cancelled press reaches nobody.
    pointer.press({52, 52}, true);
    pointer.move({60, 58});
    EXPECT_EQ(pointer.cancel(), (TouchChange{UITouchPhaseCancelled, {60, 58}}));
    EXPECT_EQ(pointer.cancel(), std::nullopt);
    EXPECT_EQ(pointer.release({60, 58}), std::nullopt);
    EXPECT_FALSE(pointer.isTouching());
}

} // namespace
