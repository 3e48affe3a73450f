#include <gtest/gtest.h>

#include "window/WindowPresentation.h"

namespace {

using host::WindowPresentation;
using Calls = std::vector<std::string>;
using Report = void (WindowPresentation::*)();

TEST(WindowPresentation, TheWidgetIsPresentedWhileTheWindowIsShownAndNotMinimisedEachChangeActingOnce) {
    Calls calls;
    const auto record = [&](const char* call) { return [&calls, call] { calls.push_back(call); }; };
    WindowPresentation presentation{{.present = record("present"),
                                     .dismiss = record("dismiss"),
                                     .enterForeground = record("foreground"),
                                     .enterBackground = record("background"),
                                     .cancelTouch = record("cancel touch")}};
    const Report shown = &WindowPresentation::windowShown, hidden = &WindowPresentation::windowHidden,
                 minimised = &WindowPresentation::windowMinimised,
                 restored = &WindowPresentation::windowRestored;
    const Calls appear{"foreground", "present"}, disappear{"cancel touch", "dismiss", "background"};
    const std::vector<std::pair<std::vector<Report>, Calls>> steps = {
        {{restored, hidden}, {}}, // never shown
        {{shown}, appear},
        {{shown, restored}, {}},
        {{minimised}, disappear},
        {{restored}, appear},
        // Window systems report an unmap as hidden and minimised.
        {{hidden, minimised}, disappear},
        {{shown}, {}}, // mapped again but still minimised
        {{restored}, appear},
    };
    for (std::size_t index = 0; index < steps.size(); ++index) {
        for (const Report report : steps[index].first) {
            (presentation.*report)();
        }
        EXPECT_EQ(std::exchange(calls, {}), steps[index].second) << "step " << index;
    }
}

} // namespace
