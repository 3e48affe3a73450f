#include "window/DesktopScale.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "window/WindowLayout.h"

namespace host {
namespace {

// The dots per inch of a desktop drawn at scale 1.
constexpr double kDotsPerInchAtDesktopScaleOne = 96;

struct XDisplayClose {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using XDisplayConnection = std::unique_ptr<Display, XDisplayClose>;

std::string_view trimmedSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// A whole text that is one finite number; nullopt otherwise.
std::optional<double> numberOfText(std::string_view text) {
    text = trimmedSpaces(text);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

CGFloat quarterStepScale(double scale) {
    return std::clamp(std::round(scale * 4) / 4, 1.0, kLargestDesktopScale);
}

} // namespace

std::optional<double> xftDotsPerInch(std::string_view resources) {
    std::optional<double> found;
    while (!resources.empty()) {
        const auto end = resources.find('\n');
        const std::string_view line = resources.substr(0, end);
        resources = end == std::string_view::npos ? std::string_view() : resources.substr(end + 1);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        const std::string_view name = trimmedSpaces(line.substr(0, colon));
        if (name != "Xft.dpi" && name != "Xft*dpi") {
            continue;
        }
        // A later line replaces an earlier one, as in the resource database.
        const auto value = numberOfText(line.substr(colon + 1));
        found = value && *value > 0 ? value : std::nullopt;
    }
    return found;
}

CGFloat desktopScale(const DesktopScaleSources& sources) {
    if (const auto gdk = numberOfText(sources.gdkScale); gdk && *gdk >= 1) {
        return quarterStepScale(*gdk);
    }
    if (const auto dpi = xftDotsPerInch(sources.xResources)) {
        return quarterStepScale(*dpi / kDotsPerInchAtDesktopScaleOne);
    }
    return std::min(displayScaleForDpi(sources.displayDotsPerInch), kLargestDesktopScale);
}

CGFloat defaultWindowScale(CGFloat desktopScale) {
    return 2 * desktopScale;
}

DesktopScaleSources currentDesktopScaleSources(double displayDotsPerInch) {
    DesktopScaleSources sources;
    sources.displayDotsPerInch = displayDotsPerInch;
    if (const char* gdk = std::getenv("GDK_SCALE")) {
        sources.gdkScale = gdk;
    }
    // SDL has reached this server already, so asking it cannot wait on a dead one.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver && std::strcmp(driver, "x11") == 0) {
        if (const XDisplayConnection display(XOpenDisplay(nullptr)); display) {
            if (const char* resources = XResourceManagerString(display.get())) {
                sources.xResources = resources;
            }
        }
    }
    return sources;
}

} // namespace host
