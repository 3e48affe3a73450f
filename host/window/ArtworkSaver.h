#pragma once

#include <functional>
#include <string>
#include <vector>

namespace host {

// Reads an environment variable; nullptr when it is not set.
using EnvironmentLookup = std::function<const char*(const char* name)>;
EnvironmentLookup processEnvironment();

// The user's pictures directory: XDG_PICTURES_DIR of the user's directories file
// ($XDG_CONFIG_HOME/user-dirs.dirs, or ~/.config/user-dirs.dirs), else of the
// environment, else ~/Pictures. Empty when that directory does not exist or is the
// home directory itself (the file's way of saying there is none).
std::string picturesDirectory(const EnvironmentLookup& environment);

// Where saved artwork goes: the pictures directory, or trillbox's data directory
// ($XDG_DATA_HOME/trillbox, or ~/.local/share/trillbox) when there is none.
std::string artworkDirectory(const EnvironmentLookup& environment);

// Writes `png` into `directory` (created when missing) as "<stem>.png", or
// "<stem>-2.png", "<stem>-3.png"... whichever does not exist yet: an existing
// file is never replaced, even by another program saving at the same moment.
// Answers the file's path; throws HostFailure naming the directory or file when
// it cannot be written.
std::string saveUniquePng(const std::string& directory, const std::string& stem,
                          const std::vector<unsigned char>& png);

} // namespace host
