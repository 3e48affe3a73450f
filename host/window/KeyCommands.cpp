#include "window/KeyCommands.h"

namespace host {

KeyCommand keyCommand(SDL_Keycode key, Uint16 modifiers, bool isRepeat, bool panelShown) {
    if (isRepeat) {
        return KeyCommand::none;
    }
    const bool control = (modifiers & KMOD_CTRL) != 0;
    const bool otherModifier = (modifiers & (KMOD_ALT | KMOD_GUI)) != 0;
    if (key == SDLK_q && control && !otherModifier) {
        return KeyCommand::quit;
    }
    if (control || otherModifier) {
        return KeyCommand::none;
    }
    if (panelShown) {
        switch (key) {
        case SDLK_ESCAPE:
            return KeyCommand::cancelPanel;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return KeyCommand::confirmPanel;
        default:
            return KeyCommand::none;
        }
    }
    switch (key) {
    case SDLK_ESCAPE:
        return KeyCommand::quit;
    case SDLK_SPACE:
    case SDLK_AUDIOPLAY:
        return KeyCommand::togglePlay;
    case SDLK_LEFT:
    case SDLK_AUDIOPREV:
        return KeyCommand::previousTrack;
    case SDLK_RIGHT:
    case SDLK_AUDIONEXT:
        return KeyCommand::nextTrack;
    case SDLK_TAB:
        return (modifiers & KMOD_SHIFT) != 0 ? KeyCommand::previousPlayer : KeyCommand::nextPlayer;
    default:
        return KeyCommand::none;
    }
}

} // namespace host
