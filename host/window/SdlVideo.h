#pragma once

#include <functional>
#include <string>
#include <vector>

#include <SDL.h>

#include "host/HostFailure.h"

namespace host {

// No window can be opened: there is no display, or SDL cannot reach it. The
// message says why; the front-end points to the headless commands.
class NoDisplayFailure : public HostFailure {
public:
    using HostFailure::HostFailure;
};

// What the user reads when no window can be opened for `reason`: the reason on
// one line, then the headless commands that draw the widget without a display.
std::string noWindowMessage(const std::string& reason);

// The SDL video drivers that can reach a display named in an environment (read
// through `variable`, which answers nullptr for an unset name), in SDL's own
// order: "x11" when DISPLAY is set, "wayland" when WAYLAND_DISPLAY is and its
// socket can be found (an absolute path, or XDG_RUNTIME_DIR is set). Drivers
// that show nothing (offscreen, dummy) are never among them.
std::vector<std::string> displayVideoDrivers(const std::function<const char*(const char*)>& variable);

// SDL's video subsystem, started for the object's lifetime.
class SdlVideo {
public:
    // Starts it on the driver SDL_VIDEODRIVER names, or else on one of the
    // display drivers of the process's environment, never on a driver that shows
    // nothing. Throws NoDisplayFailure with the reason when it cannot. A display
    // that neither answers nor refuses within 1.2 seconds ends the process with
    // status 1 and noWindowMessage: nothing else can stop SDL's wait for it.
    SdlVideo();
    ~SdlVideo();
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
};

} // namespace host
