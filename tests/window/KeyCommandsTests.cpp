#include <gtest/gtest.h>

#include "window/KeyCommands.h"

namespace {

using host::KeyCommand;
using host::keyCommand;

KeyCommand widgetKey(SDL_Keycode key, Uint16 modifiers = KMOD_NONE) {
    return keyCommand(key, modifiers, false, false);
}
KeyCommand panelKey(SDL_Keycode key, Uint16 modifiers = KMOD_NONE) {
    return keyCommand(key, modifiers, false, true);
}

TEST(KeyCommands, TransportKeysPressTheWidgetsButtons) {
    EXPECT_EQ(widgetKey(SDLK_SPACE), KeyCommand::togglePlay);
    EXPECT_EQ(widgetKey(SDLK_LEFT), KeyCommand::previousTrack);
    EXPECT_EQ(widgetKey(SDLK_RIGHT), KeyCommand::nextTrack);
    EXPECT_EQ(widgetKey(SDLK_AUDIOPLAY), KeyCommand::togglePlay);
    EXPECT_EQ(widgetKey(SDLK_AUDIOPREV), KeyCommand::previousTrack);
    EXPECT_EQ(widgetKey(SDLK_AUDIONEXT), KeyCommand::nextTrack);
    // Shift and the lock keys change nothing; Ctrl, Alt and Super make other shortcuts.
    EXPECT_EQ(widgetKey(SDLK_SPACE, KMOD_LSHIFT | KMOD_NUM | KMOD_CAPS), KeyCommand::togglePlay);
    EXPECT_EQ(widgetKey(SDLK_SPACE, KMOD_LCTRL), KeyCommand::none);
    EXPECT_EQ(widgetKey(SDLK_RIGHT, KMOD_RALT), KeyCommand::none);
    EXPECT_EQ(widgetKey(SDLK_LEFT, KMOD_LGUI), KeyCommand::none);
    EXPECT_EQ(widgetKey(SDLK_a), KeyCommand::none);
    EXPECT_EQ(widgetKey(SDLK_UP), KeyCommand::none);
}

TEST(KeyCommands, EscapeAndControlQQuit) {
    EXPECT_EQ(widgetKey(SDLK_ESCAPE), KeyCommand::quit);
    EXPECT_EQ(widgetKey(SDLK_q, KMOD_LCTRL), KeyCommand::quit);
    EXPECT_EQ(widgetKey(SDLK_q, KMOD_RCTRL | KMOD_NUM), KeyCommand::quit);
    EXPECT_EQ(widgetKey(SDLK_q), KeyCommand::none);
    EXPECT_EQ(widgetKey(SDLK_q, KMOD_LCTRL | KMOD_LALT), KeyCommand::none);
}

TEST(KeyCommands, AShownPanelTakesTheKeys) {
    EXPECT_EQ(panelKey(SDLK_ESCAPE), KeyCommand::cancelPanel);
    EXPECT_EQ(panelKey(SDLK_RETURN), KeyCommand::confirmPanel);
    EXPECT_EQ(panelKey(SDLK_KP_ENTER), KeyCommand::confirmPanel);
    EXPECT_EQ(panelKey(SDLK_SPACE), KeyCommand::none);
    EXPECT_EQ(panelKey(SDLK_RIGHT), KeyCommand::none);
    EXPECT_EQ(panelKey(SDLK_q, KMOD_LCTRL), KeyCommand::quit);
    EXPECT_EQ(widgetKey(SDLK_RETURN), KeyCommand::none);
}

TEST(KeyCommands, AKeyHeldDownDoesNotRepeatItsCommand) {
    EXPECT_EQ(keyCommand(SDLK_SPACE, KMOD_NONE, true, false), KeyCommand::none);
    EXPECT_EQ(keyCommand(SDLK_RIGHT, KMOD_NONE, true, false), KeyCommand::none);
    EXPECT_EQ(keyCommand(SDLK_ESCAPE, KMOD_NONE, true, true), KeyCommand::none);
}

} // namespace
