#include "window/WindowCommand.h"

#include <cstdlib>
#include <iostream>

#include "host/HostFailure.h"
#include "host/SessionBusAddress.h"
#include "window/SdlVideo.h"
#include "window/WindowFrontEnd.h"

namespace host {
namespace {

bool isSet(const char* value) {
    return value && *value;
}

// The players the window follows: those of the session bus, unless the command
// line or the config file chose, or no session bus answers (then the demo player,
// said in one line on `errors`). Only a socket is tried: sd-bus loads with the
// players, not to find out whether there are any.
HostOptions windowPlayerOptions(const CommandLine& line, std::ostream& errors) {
    HostOptions options = line.host;
    if (line.playerGiven) {
        return options;
    }
    const auto address =
        defaultSessionBusAddress(std::getenv("DBUS_SESSION_BUS_ADDRESS"), std::getenv("XDG_RUNTIME_DIR"));
    if (address && busMayBeListening(*address)) {
        options.player = PlayerKind::mpris;
    } else {
        errors << "trillbox: no session bus answers, so the window plays the demo player\n";
    }
    return options;
}

} // namespace

std::string missingDisplayReason(const std::function<const char*(const char*)>& variable) {
    if (isSet(variable("SDL_VIDEODRIVER")) || isSet(variable("DISPLAY")) ||
        isSet(variable("WAYLAND_DISPLAY"))) {
        return "";
    }
    return "there is no display (DISPLAY is not set)";
}

int runWindowCommand(const CommandLine& line, std::ostream& out) {
    const CommandArguments arguments(line.arguments, {}, {"--frame-stats"});
    if (!arguments.positional().empty()) {
        throw UsageFailure("unexpected argument \"" + arguments.positional().front() +
                           "\"; usage: trillbox run [--frame-stats]");
    }
    WindowOptions options;
    options.frameStatistics = arguments.has("--frame-stats");
    options.scaleGiven = line.scaleGiven;
    try {
        if (const std::string reason =
                missingDisplayReason([](const char* name) { return std::getenv(name); });
            !reason.empty()) {
            throw NoDisplayFailure(reason);
        }
        WindowFrontEnd window(windowPlayerOptions(line, std::cerr), options, out, std::cerr);
        window.run();
    } catch (const NoDisplayFailure& failure) {
        std::cerr << noWindowMessage(failure.what());
        return 1;
    }
    return 0;
}

} // namespace host

// The window module's entry, found by name when the host loads the module.
extern "C" int trillbox_window_run(const host::CommandLine& line, std::ostream& out) {
    return host::runWindowCommand(line, out);
}
