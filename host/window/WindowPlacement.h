#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CoreGraphics/CGGeometry.h"

namespace host {

// A rectangle of desktop pixels: a window's or a display's.
struct DesktopRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const DesktopRect&) const = default;
};

// Where the window was when it was last closed, so that it opens there again.
struct WindowPlacement {
    // Where the window stood (the top left of its frame, where a new window is
    // put) and the size of its inside, in desktop pixels.
    DesktopRect frame;
    // Pixels per point it drew at.
    CGFloat scale = 2;
    bool operator==(const WindowPlacement&) const = default;
};

// The file that keeps the placement: $XDG_CONFIG_HOME/trillbox/window, or
// ~/.config/trillbox/window when XDG_CONFIG_HOME is not set (either may be
// nullptr). Empty when neither directory is known.
std::string windowPlacementFile(const char* configHome, const char* home);

// The file's text: one "name value" line each for x, y, width, height and scale.
std::string formatWindowPlacement(const WindowPlacement& placement);
// The placement a text of formatWindowPlacement's holds (its lines in any order);
// nullopt when a line is unknown, repeated or missing, a value is not a number,
// the size is not positive or the scale lies outside (0, 8]: a damaged file.
std::optional<WindowPlacement> parseWindowPlacement(std::string_view text);

// Whether a window at `frame` can still be seen and grabbed: a part of it at
// least kGripWidth x kGripHeight pixels (the whole window when it is smaller)
// lies on one of `displays`.
bool isOnAnyDisplay(const DesktopRect& frame, const std::vector<DesktopRect>& displays);
inline constexpr int kGripWidth = 64;
inline constexpr int kGripHeight = 32;

// The placement kept in `file`; nullopt when there is none or it is damaged.
std::optional<WindowPlacement> readWindowPlacement(const std::string& file);
// Keeps `placement` in `file`, creating its directory and replacing the file in
// one step. Answers an empty string, or what failed and why.
std::string writeWindowPlacement(const std::string& file, const WindowPlacement& placement);

} // namespace host
