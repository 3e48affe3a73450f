#pragma once

#include <string>

#include <SDL.h>

#include "host/HostFailure.h"

namespace host {

// No window can be opened: there is no display, or SDL cannot reach it. The
// message says why; the front-end points to the headless commands.
class NoDisplayFailure : public HostFailure {
public:
    using HostFailure::HostFailure;
};

// SDL's video subsystem, started for the object's lifetime.
class SdlVideo {
public:
    // Starts it; throws NoDisplayFailure with SDL's reason when it cannot.
    SdlVideo() {
        // The process handles its own quit signals (QuitSignals); a now-playing
        // window must not keep the screen saver away; a click that focuses the
        // window also acts, as a finger on a phone does. The window's pixels are
        // drawn by Cairo and copied to the display as they are: going through an
        // OpenGL texture costs more than it saves for so small a window, and much
        // more where OpenGL is rendered in software.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        SDL_SetHint(SDL_HINT_APP_NAME, "Trillbox");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            throw NoDisplayFailure(std::string("SDL cannot start its video: ") + SDL_GetError());
        }
    }
    ~SdlVideo() {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
    }
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
};

} // namespace host
