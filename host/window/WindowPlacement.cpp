#include "window/WindowPlacement.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace host {
namespace {

namespace fs = std::filesystem;

// The largest scale the window draws at, as on the command line.
constexpr CGFloat kLargestPlacementScale = 8;
// Beyond what X and SDL can place or size a window at.
constexpr int kLargestCoordinate = 32767;
// A placement file is a few short lines; anything much longer is not one.
constexpr std::uintmax_t kLargestPlacementFile = 4096;

template <typename Number> std::optional<Number> placementNumber(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

int sharedSpan(int start, int length, int otherStart, int otherLength) {
    // In 64 bits: a damaged frame may sit near the ends of int.
    const long long from = std::max<long long>(start, otherStart);
    const long long to = std::min<long long>(static_cast<long long>(start) + length,
                                             static_cast<long long>(otherStart) + otherLength);
    return static_cast<int>(std::clamp<long long>(to - from, 0, kLargestCoordinate));
}

} // namespace

std::string windowPlacementFile(const char* configHome, const char* home) {
    if (configHome && *configHome) {
        return (fs::path(configHome) / "trillbox" / "window").string();
    }
    if (home && *home) {
        return (fs::path(home) / ".config" / "trillbox" / "window").string();
    }
    return {};
}

std::string formatWindowPlacement(const WindowPlacement& placement) {
    std::ostringstream text;
    text << "x " << placement.frame.x << "\ny " << placement.frame.y << "\nwidth " << placement.frame.width
         << "\nheight " << placement.frame.height << "\nscale " << placement.scale << "\n";
    return text.str();
}

std::optional<WindowPlacement> parseWindowPlacement(std::string_view text) {
    WindowPlacement placement;
    int* const whole[] = {&placement.frame.x, &placement.frame.y, &placement.frame.width,
                          &placement.frame.height};
    constexpr std::string_view kNames[] = {"x", "y", "width", "height", "scale"};
    bool seen[std::size(kNames)] = {};
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty()) {
            continue;
        }
        const auto space = line.find(' ');
        if (space == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view name = line.substr(0, space), value = line.substr(space + 1);
        const auto known = std::find(std::begin(kNames), std::end(kNames), name);
        if (known == std::end(kNames)) {
            return std::nullopt;
        }
        const auto index = static_cast<std::size_t>(known - std::begin(kNames));
        if (seen[index]) {
            return std::nullopt;
        }
        seen[index] = true;
        if (index < std::size(whole)) {
            const auto number = placementNumber<int>(value);
            if (!number || std::abs(static_cast<long long>(*number)) > kLargestCoordinate) {
                return std::nullopt;
            }
            *whole[index] = *number;
        } else {
            const auto number = placementNumber<double>(value);
            if (!number || !(*number > 0 && *number <= kLargestPlacementScale)) {
                return std::nullopt;
            }
            placement.scale = *number;
        }
    }
    if (!std::all_of(std::begin(seen), std::end(seen), [](bool found) { return found; }) ||
        placement.frame.width <= 0 || placement.frame.height <= 0) {
        return std::nullopt;
    }
    return placement;
}

bool isOnAnyDisplay(const DesktopRect& frame, const std::vector<DesktopRect>& displays) {
    const int wantedWidth = std::min(kGripWidth, frame.width);
    const int wantedHeight = std::min(kGripHeight, frame.height);
    if (wantedWidth <= 0 || wantedHeight <= 0) {
        return false;
    }
    return std::any_of(displays.begin(), displays.end(), [&](const DesktopRect& display) {
        return sharedSpan(frame.x, frame.width, display.x, display.width) >= wantedWidth &&
               sharedSpan(frame.y, frame.height, display.y, display.height) >= wantedHeight;
    });
}

std::optional<WindowPlacement> readWindowPlacement(const std::string& file) {
    std::error_code error;
    if (file.empty() || !fs::is_regular_file(file, error) ||
        fs::file_size(file, error) > kLargestPlacementFile || error) {
        return std::nullopt;
    }
    std::ifstream input(file, std::ios::binary);
    std::ostringstream text;
    text << input.rdbuf();
    return input ? parseWindowPlacement(text.str()) : std::nullopt;
}

std::string writeWindowPlacement(const std::string& file, const WindowPlacement& placement) {
    if (file.empty()) {
        return "no directory to keep the window's place in (neither XDG_CONFIG_HOME nor HOME is set)";
    }
    std::error_code error;
    const fs::path path(file);
    fs::create_directories(path.parent_path(), error);
    if (error) {
        return path.parent_path().string() + ": " + error.message();
    }
    // Written beside it and renamed over it, so that a reader never sees half a file.
    const std::string temporary = file + "." + std::to_string(::getpid()) + ".new";
    {
        std::ofstream output(temporary, std::ios::binary | std::ios::trunc);
        output << formatWindowPlacement(placement);
        output.flush();
        if (!output) {
            const std::string reason = std::strerror(errno);
            fs::remove(temporary, error);
            return temporary + ": " + reason;
        }
    }
    if (std::rename(temporary.c_str(), file.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        fs::remove(temporary, error);
        return file + ": " + reason;
    }
    return {};
}

} // namespace host
