#include <gtest/gtest.h>

#include "window/KeyCommands.h"

namespace {

using host::KeyCommand;
using host::keyCommand;

KeyCommand widgetKey(SDL_Keycode key, Uint16 modifiers = KMOD_NONE, bool repeat = false) {
    return keyCommand(key, modifiers, repeat, false);
}
KeyCommand panelKey(SDL_Keycode key, Uint16 modifiers = KMOD_NONE) {
    return keyCommand(key, modifiers, false, true);
}

TEST(KeyCommands, TransportKeysPressTheWidgetsButtonsOncePerPress) {
    EXPECT_EQ(widgetKey(SDLK_SPACE), KeyCommand::togglePlay);
    EXPECT_EQ(widgetKey(SDLK_LEFT), KeyCommand::previousTrack);
    EXPECT_EQ(widgetKey(SDLK_AUDIONEXT), KeyCommand::nextTrack);
    // Shift and the lock keys change nothing; Ctrl, Alt and Super make other shortcuts.
    EXPECT_EQ(widgetKey(SDLK_SPACE, KMOD_LSHIFT | KMOD_NUM | KMOD_CAPS), KeyCommand::togglePlay);
    EXPECT_EQ(widgetKey(SDLK_SPACE, KMOD_LCTRL), KeyCommand::none);
    EXPECT_EQ(widgetKey(SDLK_RIGHT, KMOD_RALT), KeyCommand::none);
    EXPECT_EQ(widgetKey(SDLK_SPACE, KMOD_NONE, true), KeyCommand::none);
}

TEST(KeyCommands, EscapeQuitsUnlessAPanelIsShownWhichThenTakesTheKeys) {
    EXPECT_EQ(widgetKey(SDLK_ESCAPE), KeyCommand::quit);
    EXPECT_EQ(widgetKey(SDLK_q, KMOD_RCTRL | KMOD_NUM), KeyCommand::quit);
    EXPECT_EQ(widgetKey(SDLK_q), KeyCommand::none);
    EXPECT_EQ(widgetKey(SDLK_RETURN), KeyCommand::none);

    EXPECT_EQ(panelKey(SDLK_ESCAPE), KeyCommand::cancelPanel);
    EXPECT_EQ(panelKey(SDLK_KP_ENTER), KeyCommand::confirmPanel);
    EXPECT_EQ(panelKey(SDLK_SPACE), KeyCommand::none);
    EXPECT_EQ(panelKey(SDLK_q, KMOD_LCTRL), KeyCommand::quit);
}

} // namespace
