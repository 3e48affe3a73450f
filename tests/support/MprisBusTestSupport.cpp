#include "support/MprisBusTestSupport.h"

bool PrivateBus::start() {
    if (isRunning()) {
        return true;
    }
    std::error_code ignored;
    std::filesystem::remove(_address.substr(std::string_view("unix:path=").size()), ignored);
    _daemon = ChildProcess::start(
        {"dbus-daemon", "--session", "--nofork", "--print-address=1", "--address=" + _address});
    // The daemon prints its address once it listens.
    if (!_daemon || !waitUntil([&] { return _daemon.out().find('\n') != std::string::npos; }, 10)) {
        _daemon.stop();
        return false;
    }
    return true;
}
