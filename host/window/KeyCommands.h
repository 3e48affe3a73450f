#pragma once

#include <SDL.h>

namespace host {

// What a key does in the trillbox window.
enum class KeyCommand {
    none,
    // The widget's own buttons.
    togglePlay,
    previousTrack,
    nextTrack,
    // The next or previous of the players the music can come from.
    nextPlayer,
    previousPlayer,
    // Closes the window.
    quit,
    // An alert or the share sheet is shown: its cancel button, or its default one.
    cancelPanel,
    confirmPanel,
};

// The command of a key press. Space plays or pauses, left and right go to the
// previous and next track (the keyboard's media keys do the same), Tab and
// Shift+Tab follow the next and previous player, Ctrl+Q quits,
// Esc quits. While an alert or the share sheet is shown it takes the keys: Esc
// and Return answer it, Ctrl+Q still quits, and the widget's keys do nothing.
// A key held down does not repeat its command.
KeyCommand keyCommand(SDL_Keycode key, Uint16 modifiers, bool isRepeat, bool panelShown);

} // namespace host
