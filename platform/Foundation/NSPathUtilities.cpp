#include "Foundation/NSPathUtilities.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct DeviceRootState {
    std::mutex mutex;
    std::string root;
    bool set = false;
};

DeviceRootState& deviceRoot() {
    static DeviceRootState state;
    return state;
}

// The part of a device path below /var/mobile ("" for /var/mobile itself), or
// nothing when the path is not a device path.
bool devicePathRemainder(std::string_view path, std::string& remainder) {
    if (path.empty() || path.front() != '/') {
        return false;
    }
    const std::string normal = fs::path(path).lexically_normal().generic_string();
    for (std::string_view prefix : {"/var/mobile", "/private/var/mobile"}) {
        if (normal.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const std::string_view rest = std::string_view(normal).substr(prefix.size());
        if (rest.empty() || rest.front() == '/') {
            remainder.assign(rest);
            return true;
        }
    }
    return false;
}

} // namespace

std::string NSDefaultDeviceRoot() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome == '/') {
        return std::string(dataHome) + "/trillbox/device";
    }
    const char* home = std::getenv("HOME");
    if (home && *home == '/') {
        return std::string(home) + "/.local/share/trillbox/device";
    }
    // Without a usable HOME, the account's home; never a place others can write
    // to, such as /tmp, where someone else could have planted the settings.
    if (const passwd* account = getpwuid(getuid()); account && account->pw_dir && *account->pw_dir == '/') {
        return std::string(account->pw_dir) + "/.local/share/trillbox/device";
    }
    return ".local/share/trillbox/device";
}

void NSSetDeviceRoot(std::string_view root) {
    auto& state = deviceRoot();
    std::lock_guard lock(state.mutex);
    state.root.assign(root);
    while (state.root.size() > 1 && state.root.back() == '/') {
        state.root.pop_back();
    }
    state.set = !state.root.empty();
}

std::string NSDeviceRoot() {
    auto& state = deviceRoot();
    {
        std::lock_guard lock(state.mutex);
        if (state.set) {
            return state.root;
        }
    }
    return NSDefaultDeviceRoot();
}

BOOL NSIsDevicePath(std::string_view path) {
    std::string remainder;
    return devicePathRemainder(path, remainder);
}

std::string NSResolveDevicePath(std::string_view path) {
    std::string remainder;
    if (!devicePathRemainder(path, remainder)) {
        return std::string(path);
    }
    std::string root = NSDeviceRoot();
    if (root == "/") {
        root.clear();
    }
    return root + "/var/mobile" + remainder;
}
