#include "window/WindowCommand.h"

#include <cstdlib>
#include <iostream>

#include "host/HostFailure.h"
#include "window/WindowFrontEnd.h"

namespace host {
namespace {

bool isSet(const char* value) {
    return value && *value;
}

} // namespace

const char* const kRunCommandHelp = R"(Usage: trillbox [run] [--frame-stats]

Opens the widget in a window, on a dark panel that stands in for the
notification centre, at the display's scale (at least 2 unless --scale is
given). The mouse is a finger: click, double-click, hold, drag. Keys: space
plays or pauses, left and right go to the previous and next track, Esc or
Ctrl+Q closes the window. Alerts and the share sheet appear over the widget;
"Copy" puts the shared message on the clipboard, "Save Artwork" writes the
artwork as a PNG in your pictures directory.

Minimising or hiding the window dismisses the widget, as closing the
notification centre does; showing it presents the widget again.

SDL_VIDEODRIVER and DISPLAY are respected. Without a display, use the
headless commands: snapshot, record and script.

  --frame-stats   when the window closes, print how many frames were drawn,
                  and how many a second (SIGUSR1 prints those since the last
                  report at any time)
)";

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
    options.scaleGiven = line.host.scale != HostOptions{}.scale;
    try {
        if (const std::string reason =
                missingDisplayReason([](const char* name) { return std::getenv(name); });
            !reason.empty()) {
            throw NoDisplayFailure(reason);
        }
        WindowFrontEnd window(line.host, options, out, std::cerr);
        window.run();
    } catch (const NoDisplayFailure& failure) {
        std::cerr << "trillbox: cannot open the window: " << failure.what() << "\n"
                  << "Without a display, draw the widget with the headless commands: 'trillbox snapshot "
                     "OUT.png', 'trillbox record DIR --seconds S' or 'trillbox script FILE' (see 'trillbox "
                     "--help').\n";
        return 1;
    }
    return 0;
}

} // namespace host
