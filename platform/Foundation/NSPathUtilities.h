#pragma once

#include <string>
#include <string_view>

#include "Foundation/NSString.h"

// Device paths. The product keeps the phone's fixed paths (/var/mobile/...); on
// this platform they live under a device root that the host chooses. Every file
// access of the platform resolves paths through NSResolveDevicePath.

// The device root: /var/mobile/X resolves to <root>/var/mobile/X. Until the host
// sets one, and after it is set to "", it is NSDefaultDeviceRoot(). Safe from any
// thread.
void NSSetDeviceRoot(std::string_view root);
std::string NSDeviceRoot();
// $XDG_DATA_HOME/trillbox/device, or ~/.local/share/trillbox/device (HOME, else the
// account's home directory; relative to the working directory when neither is known).
std::string NSDefaultDeviceRoot();

// YES for an absolute path at or under /var/mobile or /private/var/mobile (after
// removing "." and ".." components).
BOOL NSIsDevicePath(std::string_view path);
// The file-system path for `path`: device paths under the device root (both
// spellings land in <root>/var/mobile), every other path unchanged.
std::string NSResolveDevicePath(std::string_view path);
inline std::string NSResolveDevicePath(const Ptr<NSString>& path) {
    return NSResolveDevicePath(NSStringText(path));
}
