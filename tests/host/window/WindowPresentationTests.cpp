#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window/WindowPresentation.h"

namespace {

using host::PresentationActions;
using host::WindowPresentation;
using Calls = std::vector<std::string>;

class WindowPresentationTest : public ::testing::Test {
protected:
    Calls take() { return std::exchange(calls, {}); }

    Calls calls;
    WindowPresentation presentation{PresentationActions{
        .present = [this] { calls.push_back("present"); },
        .dismiss = [this] { calls.push_back("dismiss"); },
        .enterForeground = [this] { calls.push_back("foreground"); },
        .enterBackground = [this] { calls.push_back("background"); },
        .cancelTouch = [this] { calls.push_back("cancel touch"); },
    }};
};

TEST_F(WindowPresentationTest, ShowingTheWindowBringsTheHostForwardThenPresents) {
    EXPECT_FALSE(presentation.isVisible());
    presentation.windowShown();
    EXPECT_EQ(take(), (Calls{"foreground", "present"}));
    EXPECT_TRUE(presentation.isVisible());
}

TEST_F(WindowPresentationTest, MinimisingCancelsTheTouchDismissesThenGoesToTheBackground) {
    presentation.windowShown();
    take();
    presentation.windowMinimised();
    EXPECT_EQ(take(), (Calls{"cancel touch", "dismiss", "background"}));
    EXPECT_FALSE(presentation.isVisible());
    presentation.windowRestored();
    EXPECT_EQ(take(), (Calls{"foreground", "present"}));
    presentation.windowHidden();
    EXPECT_EQ(take(), (Calls{"cancel touch", "dismiss", "background"}));
    presentation.windowShown();
    EXPECT_EQ(take(), (Calls{"foreground", "present"}));
}

TEST_F(WindowPresentationTest, RepeatedOrOverlappingReportsActOnce) {
    presentation.windowShown();
    presentation.windowShown();
    presentation.windowRestored();
    EXPECT_EQ(take(), (Calls{"foreground", "present"}));
    // Window systems report an unmap as hidden and minimised.
    presentation.windowHidden();
    presentation.windowMinimised();
    EXPECT_EQ(take(), (Calls{"cancel touch", "dismiss", "background"}));
    // Mapped again but still minimised: not visible yet.
    presentation.windowShown();
    EXPECT_EQ(take(), Calls{});
    presentation.windowRestored();
    EXPECT_EQ(take(), (Calls{"foreground", "present"}));
}

TEST_F(WindowPresentationTest, RestoringAWindowNeverShownPresentsNothing) {
    presentation.windowRestored();
    presentation.windowHidden();
    presentation.windowMinimised();
    EXPECT_EQ(take(), Calls{});
    presentation.windowShown();
    // Shown while still minimised.
    EXPECT_EQ(take(), Calls{});
}

} // namespace
