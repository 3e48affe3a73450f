#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "CoreGraphics/CGGeometry.h"

namespace host {

// What the desktop says about how large it draws, from the most to the least
// deliberate of its sources.
struct DesktopScaleSources {
    // GDK_SCALE; empty when it is not set.
    std::string gdkScale;
    // The X server's resource string (what xrdb loaded); empty when there is none.
    std::string xResources;
    // The display's own dots per inch; 0 when it does not say.
    double displayDotsPerInch = 0;
};

// The desktop's scale: GDK_SCALE when it is a number of at least 1, else Xft.dpi
// of the X resources over 96, else the display's dots per inch in whole steps of
// 96 (a screen's reported size is too rough for finer steps). The first two are
// rounded to quarters (1.25, 1.5, 1.75...); every answer lies between 1 and
// kLargestDesktopScale, and is 1 when no source says anything usable.
CGFloat desktopScale(const DesktopScaleSources& sources);
inline constexpr CGFloat kLargestDesktopScale = 4;

// Xft.dpi of an X resource string ("Xft.dpi:\t120" on a line of its own, the last
// one counting); nullopt when it is missing or not a positive number.
std::optional<double> xftDotsPerInch(std::string_view resources);

// The window's scale on a desktop of `desktopScale` when nothing else decides it:
// twice that, so that the widget keeps one physical size on every desktop.
CGFloat defaultWindowScale(CGFloat desktopScale);

// The sources of the desktop this process runs on: GDK_SCALE, and the resources
// of the X server when SDL's video runs on X11 (another driver leaves them empty);
// `displayDotsPerInch` is passed on.
DesktopScaleSources currentDesktopScaleSources(double displayDotsPerInch);

} // namespace host
