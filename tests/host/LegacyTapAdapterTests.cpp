#include <gtest/gtest.h>

#include <vector>

#include "UIKit/UIInputConstants.h"
#include "host/LegacyTapAdapter.h"
#include "support/TestSupport.h"

namespace {

class LegacyTapAdapterTest : public PlatformTest {};

// One pointer change `after` seconds from the previous one.
struct LegacyPointerStep {
    UITouchPhase phase;
    CGPoint point;
    double after = 0;
};

TEST_F(LegacyTapAdapterTest, OnlyAQuickTouchThatStaysPutIsATapAtItsPressPoint) {
    const CGPoint press = CGPointMake(100, 30);
    const CGPoint near = CGPointMake(100 + kUITapAllowableMovement * 0.6, 30 + kUITapAllowableMovement * 0.6);
    const CGPoint far = CGPointMake(100 + kUITapAllowableMovement + 1, 30);
    constexpr UITouchPhase began = UITouchPhaseBegan, moved = UITouchPhaseMoved, ended = UITouchPhaseEnded;
    const struct {
        const char* name;
        std::vector<LegacyPointerStep> steps;
        int taps;
    } cases[] = {
        {"quick", {{began, press}, {ended, press, 0.05}}, 1},
        {"held at the limit", {{began, press}, {ended, press, kUITapMaximumDuration}}, 1},
        {"held too long", {{began, press}, {ended, press, kUITapMaximumDuration + 0.01}}, 0},
        {"lifted elsewhere nearby", {{began, press}, {moved, near}, {ended, near}}, 1},
        {"strayed and came back", {{began, press}, {moved, far}, {moved, press}, {ended, press}}, 0},
        {"cancelled", {{began, press}, {UITouchPhaseCancelled, press}, {ended, press}}, 0},
        {"lift without a press", {{ended, press}}, 0},
        {"one press, two lifts", {{began, press}, {ended, press}, {ended, press}}, 1},
    };
    for (const auto& testCase : cases) {
        std::vector<CGPoint> taps;
        host::LegacyTapAdapter adapter([&taps](CGPoint location) { taps.push_back(location); });
        for (const auto& step : testCase.steps) {
            advance(step.after);
            adapter.pointer(step.phase, step.point);
        }
        ASSERT_EQ(static_cast<int>(taps.size()), testCase.taps) << testCase.name;
        for (const auto& tap : taps) {
            EXPECT_TRUE(CGPointEqualToPoint(tap, press)) << testCase.name;
        }
    }
}

} // namespace
