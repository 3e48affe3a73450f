#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "host/CommandLine.h"

namespace host {

// The host's configuration file, for the options a desktop entry cannot pass:
// $XDG_CONFIG_HOME/trillbox/config, else ~/.config/trillbox/config; empty when
// `variable` knows neither XDG_CONFIG_HOME nor HOME.
std::string hostConfigFilePath(const std::function<const char*(const char*)>& variable);

// Applies the configuration `text` to `line` wherever its command line did not
// say: `key = value` lines, with blank lines and '#' comment lines between them.
// The keys are "player" (a --player value), "ignore-player" and "scale", as the
// options; the last line of a key wins. An unknown key or a bad value is one
// warning on `warnings` ("trillbox: config line N: ...") and is otherwise ignored.
void applyHostConfig(std::string_view text, CommandLine& line, std::ostream& warnings);

// Reads the file at `path` and applies it as applyHostConfig does. No file is no
// configuration; a file that cannot be read is one warning and changes nothing.
void applyHostConfigFile(const std::string& path, CommandLine& line, std::ostream& warnings);

} // namespace host
