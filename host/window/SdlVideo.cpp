#include "window/SdlVideo.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace host {
namespace {

// How long a display may keep SDL waiting before the window is given up. Xlib
// has no time-out of its own: a DISPLAY on an unreachable host, or a server
// that takes the connection and never answers, would keep it waiting for good.
constexpr std::chrono::milliseconds kDisplayAnswerDeadline{1200};

bool isNamed(const char* value) {
    return value && *value;
}

// Ends the process with `message` on standard error unless it is destroyed
// within `deadline`: a bound on a call that cannot be interrupted otherwise.
class ExitUnlessDoneInTime {
public:
    ExitUnlessDoneInTime(std::chrono::milliseconds deadline, std::string message)
        : _message(std::move(message)), _watcher([this, deadline] {
              std::unique_lock lock(_mutex);
              if (!_doneChanged.wait_for(lock, deadline, [this] { return _done; })) {
                  std::fputs(_message.c_str(), stderr);
                  std::fflush(stderr);
                  std::_Exit(1);
              }
          }) {}
    ~ExitUnlessDoneInTime() {
        {
            const std::lock_guard lock(_mutex);
            _done = true;
        }
        _doneChanged.notify_one();
        _watcher.join();
    }
    ExitUnlessDoneInTime(const ExitUnlessDoneInTime&) = delete;
    ExitUnlessDoneInTime& operator=(const ExitUnlessDoneInTime&) = delete;

private:
    const std::string _message;
    std::mutex _mutex;
    std::condition_variable _doneChanged;
    bool _done = false;
    // Last: it starts once the rest exists.
    std::thread _watcher;
};

// "DISPLAY=:1 or WAYLAND_DISPLAY=wayland-0", for the user.
std::string namedDisplays(const std::function<const char*(const char*)>& variable) {
    std::string names;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        if (const char* value = variable(name); isNamed(value)) {
            names += (names.empty() ? "" : " or ") + std::string(name) + "=" + value;
        }
    }
    return names;
}

} // namespace

std::string noWindowMessage(const std::string& reason) {
    return "trillbox: cannot open the window: " + reason +
           "\nWithout a display, draw the widget with the headless commands: 'trillbox snapshot OUT.png', "
           "'trillbox record DIR --seconds S' or 'trillbox script FILE' (see 'trillbox --help').\n";
}

std::vector<std::string> displayVideoDrivers(const std::function<const char*(const char*)>& variable) {
    std::vector<std::string> drivers;
    if (isNamed(variable("DISPLAY"))) {
        drivers.emplace_back("x11");
    }
    // Without XDG_RUNTIME_DIR a relative socket name leads nowhere, and the
    // Wayland library would say so on standard error.
    if (const char* wayland = variable("WAYLAND_DISPLAY");
        isNamed(wayland) && (wayland[0] == '/' || isNamed(variable("XDG_RUNTIME_DIR")))) {
        drivers.emplace_back("wayland");
    }
    return drivers;
}

SdlVideo::SdlVideo() {
    // The process handles its own quit signals (QuitSignals); a now-playing
    // window must not keep the screen saver away; a click that focuses the
    // window also acts, as a finger on a phone does. The window's pixels are
    // drawn by Cairo and copied to the display as they are: going through an
    // OpenGL texture costs more than it saves for so small a window, and much
    // more where OpenGL is rendered in software.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_APP_NAME, "Trillbox");
    const auto variable = [](const char* name) -> const char* { return std::getenv(name); };
    const std::string displays = namedDisplays(variable);
    const std::string unreachable = "cannot reach the display " + displays;
    // The user's choice is taken even when it shows nothing (offscreen, dummy).
    const bool driverNamed = isNamed(variable("SDL_VIDEODRIVER"));
    const std::vector<std::string> drivers =
        driverNamed ? std::vector<std::string>() : displayVideoDrivers(variable);
    if (!driverNamed) {
        if (drivers.empty()) {
            throw NoDisplayFailure(unreachable + " (XDG_RUNTIME_DIR is not set)");
        }
        std::string driverList;
        for (const std::string& driver : drivers) {
            driverList += (driverList.empty() ? "" : ",") + driver;
        }
        // Left to itself SDL falls back to its offscreen driver when no display
        // answers, and opens a window nobody sees.
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, driverList.c_str(), SDL_HINT_OVERRIDE);
    }
    int status = 0;
    {
        const ExitUnlessDoneInTime bound(kDisplayAnswerDeadline,
                                         noWindowMessage("the display " + displays + " does not answer"));
        status = SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    if (status != 0) {
        throw NoDisplayFailure(driverNamed ? std::string("SDL cannot start its video: ") + SDL_GetError()
                                           : unreachable);
    }
    const char* chosen = SDL_GetCurrentVideoDriver();
    if (!driverNamed && (!chosen || std::find(drivers.begin(), drivers.end(), chosen) == drivers.end())) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_Quit();
        throw NoDisplayFailure(unreachable + " (SDL chose its \"" + (chosen ? chosen : "") + "\" driver)");
    }
}

SdlVideo::~SdlVideo() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

} // namespace host
