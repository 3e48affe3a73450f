#pragma once

#include <ostream>
#include <string>

#include "host/CommandLine.h"

namespace host {

// The XDG autostart entry that opens the widget's window when the user logs in:
// $XDG_CONFIG_HOME/autostart/trillbox.desktop, or ~/.config/autostart/trillbox.desktop
// (an XDG_CONFIG_HOME that is empty or relative does not count). Throws
// HostFailure when neither variable gives a directory.
std::string autostartEntryPath();

// The desktop entry that runs `program` (an absolute path) with `run`, the path
// quoted for the Exec key as desktop entries require. Throws HostFailure for a
// path that is not UTF-8 or holds a control character, which the key cannot carry.
std::string autostartEntry(const std::string& program);

// `trillbox autostart on|off`: `on` writes the entry for this program (replacing
// it atomically: a temporary beside it, renamed over it), `off` removes it and
// succeeds, saying so, when there is none.
int runAutostartCommand(const CommandLine& line, std::ostream& out);

} // namespace host
