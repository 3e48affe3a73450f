#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "host/CommandLine.h"

namespace host {

// Why no window can be opened in an environment (read through `variable`):
// neither SDL_VIDEODRIVER, DISPLAY nor WAYLAND_DISPLAY names a display. Empty when
// one does (SDL may still fail to reach it).
std::string missingDisplayReason(const std::function<const char*(const char*)>& variable);

// `trillbox run [--frame-stats]`, also what `trillbox` without a command does:
// opens the widget's window and runs until it is closed. Unless a player was
// chosen, it follows the session bus's players, or plays the demo player when no
// session bus answers. Without a display it says so on standard error, points to
// the headless commands and answers 1.
int runWindowCommand(const CommandLine& line, std::ostream& out);

} // namespace host
