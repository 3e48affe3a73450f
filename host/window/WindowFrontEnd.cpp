#include "window/WindowFrontEnd.h"

#include <SDL_syswm.h>
#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Foundation/NSRunLoop.h"
#include "UIKit/UIGraphicsHandles.h"
#include "host/HostPresenter.h"
#include "window/DesktopScale.h"
#include "window/WindowPlacement.h"

namespace host {
namespace {

namespace fs = std::filesystem;

// The widget's size under the newer host, and the older host's strip height.
constexpr CGSize kWidgetViewSize{320, 105};
constexpr CGFloat kLegacyStripHeight = 70;
// The product's name, as the desktop shows it.
constexpr const char* kWindowTitle = "Trillbox";
// The icon the window manager shows; one of the sizes drawn into share/icons.
constexpr const char* kWindowIcon = "share/icons/hicolor/128x128/apps/trillbox.png";
// With nothing to wait for the run loop still wakes this often: a bound, not a
// heartbeat (its wait is capped anyway).
constexpr Nanoseconds kLongestSleep = 60'000'000'000;
// Without the display connection's descriptor (drivers other than X11) input can
// only be noticed by looking: this often.
constexpr Nanoseconds kEventPollInterval = 10'000'000;

HostOptions windowSessionOptions(HostOptions options, CGFloat scale) {
    options.scale = scale;
    options.manualClock = false;
    options.closePresentationsAutomatically = false;
    options.soundServerVolume = true;
    return options;
}

// The scale given on the command line, else the one the window was closed at,
// else the desktop's default; the latter two fitted to the display.
CGFloat windowScale(const HostOptions& options, const WindowOptions& windowOptions,
                    const std::optional<WindowPlacement>& saved, CGSize widgetSize) {
    CGFloat preferred = options.scale;
    if (!windowOptions.scaleGiven) {
        float dotsPerInch = 0;
        if (SDL_GetDisplayDPI(0, nullptr, &dotsPerInch, nullptr) != 0) {
            dotsPerInch = 0;
        }
        preferred =
            saved ? saved->scale : defaultWindowScale(desktopScale(currentDesktopScaleSources(dotsPerInch)));
    }
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        usable = {};
    }
    return chooseWindowScale(options.scale, windowOptions.scaleGiven, preferred, widgetSize, usable.w,
                             usable.h);
}

std::string placementFile() {
    return windowPlacementFile(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::vector<DesktopRect> displayRects() {
    std::vector<DesktopRect> displays;
    for (int index = 0; index < SDL_GetNumVideoDisplays(); ++index) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(index, &bounds) == 0) {
            displays.push_back({bounds.x, bounds.y, bounds.w, bounds.h});
        }
    }
    return displays;
}

// Keeps where the window is for the next run; a failure costs only that.
void keepWindowPlacement(SDL_Window* window, CGFloat scale, std::ostream& err) {
    WindowPlacement placement{.frame = {}, .scale = scale};
    SDL_GetWindowPosition(window, &placement.frame.x, &placement.frame.y);
    SDL_GetWindowSize(window, &placement.frame.width, &placement.frame.height);
    // SDL reports where the inside is, but a new window's position is where the
    // window manager puts its frame: without this it would open lower each time.
    int top = 0, left = 0;
    if (SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr) == 0) {
        placement.frame.x -= left;
        placement.frame.y -= top;
    }
    if (const std::string failure = writeWindowPlacement(placementFile(), placement); !failure.empty()) {
        err << "trillbox: cannot keep the window's place: " << failure << '\n';
    }
}

int refreshRate() {
    SDL_DisplayMode mode{};
    return SDL_GetCurrentDisplayMode(0, &mode) == 0 ? mode.refresh_rate : 0;
}

std::string executableDirectory() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

// The app icon, looked for next to the program (build tree) and in ../share
// (install tree); the window simply has none when neither has it.
void setWindowIcon(SDL_Window* window) {
    const fs::path base = executableDirectory();
    for (const fs::path& candidate : {base / kWindowIcon, base / ".." / kWindowIcon}) {
        const UICairoSurface image(cairo_image_surface_create_from_png(candidate.c_str()));
        cairo_surface_t* const png = image.get();
        if (cairo_surface_status(png) != CAIRO_STATUS_SUCCESS) {
            continue;
        }
        cairo_surface_flush(png);
        const int width = cairo_image_surface_get_width(png);
        const int height = cairo_image_surface_get_height(png);
        const int stride = cairo_image_surface_get_stride(png);
        const unsigned char* source = cairo_image_surface_get_data(png);
        SdlSurface icon(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
        if (icon && source) {
            // Cairo keeps colour premultiplied by alpha; SDL wants it straight.
            for (int y = 0; y < height; ++y) {
                const auto* from = reinterpret_cast<const std::uint32_t*>(source + y * stride);
                auto* to = reinterpret_cast<std::uint32_t*>(static_cast<unsigned char*>(icon->pixels) +
                                                            y * icon->pitch);
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t pixel = from[x];
                    const std::uint32_t alpha = pixel >> 24;
                    const auto straight = [&](int shift) -> std::uint32_t {
                        const std::uint32_t value = (pixel >> shift) & 0xFF;
                        return alpha == 0 ? 0
                                          : std::min<std::uint32_t>(255, (value * 255 + alpha / 2) / alpha);
                    };
                    to[x] = (alpha << 24) | (straight(16) << 16) | (straight(8) << 8) | straight(0);
                }
            }
            SDL_SetWindowIcon(window, icon.get());
        }
        return;
    }
}

} // namespace

WindowFrontEnd::WindowFrontEnd(const HostOptions& options, const WindowOptions& windowOptions,
                               std::ostream& out, std::ostream& err)
    : _options(windowOptions), _out(out), _err(err), _pacer(FramePacer::periodForRefreshRate(0)),
      _presentation(PresentationActions{
          .present = [this] { _session->present(); },
          .dismiss = [this] { _session->dismiss(); },
          .enterForeground = [this] { _session->enterForeground(); },
          .enterBackground = [this] { _session->enterBackground(); },
          .cancelTouch = [this] { cancelTouch(); },
      }) {
    // The scale the bundle's images load at is the session's, so the display is
    // asked before the session starts, about the size the widget has on every
    // device; the window is then laid out around the size it reports.
    const CGSize expectedSize =
        options.legacy ? CGSizeMake(options.hostWidth, kLegacyStripHeight) : kWidgetViewSize;
    const std::optional<WindowPlacement> saved = readWindowPlacement(placementFile());
    const CGFloat scale = windowScale(options, _options, saved, expectedSize);
    _session = std::make_unique<HostSession>(windowSessionOptions(options, scale));
    // The MPRIS players get a caption line under the widget; the demo player needs none.
    _layout.emplace(_session->widgetSize(), scale, options.player == PlayerKind::mpris);
    _session->mediaBackEnd().setPlayersChangedHandler([this] { refreshCaption(); });
    refreshCaption();
    _pacer = FramePacer(FramePacer::periodForRefreshRate(refreshRate()));

    // Where it was closed, while that is still on a display; else where SDL puts it.
    int x = SDL_WINDOWPOS_CENTERED, y = SDL_WINDOWPOS_CENTERED;
    if (saved &&
        isOnAnyDisplay({saved->frame.x, saved->frame.y, _layout->windowWidth(), _layout->windowHeight()},
                       displayRects())) {
        x = saved->frame.x;
        y = saved->frame.y;
    }
    _window.reset(SDL_CreateWindow(kWindowTitle, x, y, _layout->windowWidth(), _layout->windowHeight(),
                                   SDL_WINDOW_HIDDEN));
    if (!_window) {
        throw NoDisplayFailure(std::string("SDL cannot open a window: ") + SDL_GetError());
    }
    setWindowIcon(_window.get());
    acquireWindowSurface();
    // Keys are commands here, not text: no input method needs to run.
    SDL_StopTextInput();

    auto* runLoop = NSRunLoop::mainRunLoop();
    watchDisplayConnection();
    runLoop->addEventSource(_signals.fileDescriptor(), [this] {
        const ReceivedSignals received = _signals.takeSignals();
        if (received.report) {
            reportFrames(_lastReport);
        }
        if (received.quit) {
            _quitRequested = true;
        }
    });
    _startTime = runLoop->nowNanoseconds();
    _lastReport = FrameCount{_startTime, 0};
    // Showing the window reports it shown, which presents the widget.
    SDL_ShowWindow(_window.get());
}

WindowFrontEnd::~WindowFrontEnd() {
    auto* runLoop = NSRunLoop::mainRunLoop();
    if (_displayConnection >= 0) {
        runLoop->removeEventSource(_displayConnection);
    }
    runLoop->removeEventSource(_signals.fileDescriptor());
    // What the panel holds came from the widget; let it go while the session lives.
    _panels.clear();
    _session->mediaBackEnd().setPlayersChangedHandler(nullptr);
    _session.reset();
}

void WindowFrontEnd::watchDisplayConnection() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(_window.get(), &info) && info.subsystem == SDL_SYSWM_X11) {
        _display = info.info.x11.display;
        _displayConnection = ConnectionNumber(_display);
        NSRunLoop::mainRunLoop()->addEventSource(_displayConnection, [this] { _eventsArrived = true; });
    }
}

void WindowFrontEnd::run() {
    auto* runLoop = NSRunLoop::mainRunLoop();
    while (!_quitRequested) {
        processEvents(runLoop->nowNanoseconds());
        if (_quitRequested) {
            break;
        }
        const Nanoseconds now = runLoop->nowNanoseconds();
        if (frameWanted() && _pacer.isDue(now)) {
            drawFrame(now);
            // Presenting may have read input off the connection into the window
            // system's queue, where the descriptor no longer shows it: look again
            // before sleeping, unless another frame is wanted, whose pass comes
            // within a refresh period and looks then (one look a frame, not two).
            if (!frameWanted()) {
                continue;
            }
        }
        waitForWork();
    }
    finish();
}

void WindowFrontEnd::waitForWork() {
    auto* runLoop = NSRunLoop::mainRunLoop();
    _eventsArrived = false;
    const Nanoseconds now = runLoop->nowNanoseconds();
    const bool wanted = frameWanted();
    _sleptForFrame = wanted;
    // A wanted frame waits for its refresh; otherwise anything that makes one
    // wanted (a timer changing a label, a player's news) ends the sleep.
    Nanoseconds until = wanted ? _pacer.nextFrameTime(now) : now + kLongestSleep;
    if (_displayConnection < 0) {
        until = std::min(until, now + kEventPollInterval);
    }
    runLoop->runUntil(
        [this, wanted] { return _eventsArrived || _quitRequested || (!wanted && frameWanted()); },
        SecondsFromNanoseconds(std::max<Nanoseconds>(0, until - now)));
    flushSessionOutput();
}

void WindowFrontEnd::flushSessionOutput() {
    const std::vector<std::string> lines = _session->takeLog();
    for (const auto& line : lines) {
        _err << line << '\n';
    }
    // The window shows alerts and sheets itself; their records are not needed.
    _session->presenter().takeShown();
    // Called twice a frame: a pass that logged nothing has nothing to flush.
    if (!lines.empty()) {
        _err.flush();
    }
}

void WindowFrontEnd::finish() {
    keepWindowPlacement(_window.get(), _layout->scale(), _err);
    cancelTouch();
    _session->dismiss();
    flushSessionOutput();
    if (_options.frameStatistics) {
        reportFrames(FrameCount{_startTime, 0});
    }
}

void WindowFrontEnd::reportFrames(FrameCount since) {
    const FrameCount now{NSRunLoop::mainRunLoop()->nowNanoseconds(), _pacer.framesDrawn()};
    const double seconds = SecondsFromNanoseconds(now.time - since.time);
    const std::uint64_t frames = now.frames - since.frames;
    const double perSecond = seconds > 0 ? static_cast<double>(frames) / seconds : 0;
    _out << "frames: " << frames << " in " << seconds << " s, " << perSecond << " a second\n";
    _out.flush();
    _lastReport = now;
}

} // namespace host
