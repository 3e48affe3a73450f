#include <SDL.h>

#include <cstdlib>

#include "host/HostPresenter.h"
#include "window/KeyCommands.h"
#include "window/VolumeWheel.h"
#include "window/WidgetButtons.h"
#include "window/WindowFrontEnd.h"

// Last: Xlib's macros (None, Bool) would clash with names above.
#include <X11/Xlib.h>

namespace host {
namespace {

// How often SDL is pumped while frames run and nothing is known to be waiting,
// for what it does on its own time (a focus change it holds back a moment).
constexpr Nanoseconds kRoutinePumpInterval = 250'000'000;

} // namespace

bool WindowFrontEnd::inputMayBeWaiting(Nanoseconds now) const {
    // Without the display's descriptor to wake the run loop, or after a sleep
    // that only news could end, every pass looks.
    if (!_display || !_sleptForFrame || _eventsArrived || now >= _nextRoutinePump) {
        return true;
    }
    // Input that came while a present waited for the server was read with its
    // reply into Xlib's queue, where the descriptor no longer shows it; and SDL
    // queues events of its own (a window shown or resized).
    return XEventsQueued(_display, QueuedAlready) > 0 || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

void WindowFrontEnd::processEvents(Nanoseconds now) {
    // While frames run, pumping SDL costs a few reads of the display connection
    // a frame; it is left alone on the passes where it would find nothing.
    if (!inputMayBeWaiting(now)) {
        return;
    }
    _nextRoutinePump = now + kRoutinePumpInterval;
    SDL_Event event;
    while (!_quitRequested && SDL_PollEvent(&event)) {
        // Input goes to what is on screen by now: an alert or sheet that came up
        // since the last frame takes it, even before it is drawn.
        syncPanel();
        handleEvent(event);
    }
    flushSessionOutput();
}

void WindowFrontEnd::handleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        _quitRequested = true;
        break;
    case SDL_WINDOWEVENT:
        handleWindowEvent(event.window);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        handleButton(event.button);
        break;
    case SDL_MOUSEMOTION:
        handleMotion(event.motion);
        break;
    case SDL_MOUSEWHEEL:
        handleWheel(event.wheel);
        break;
    case SDL_KEYDOWN:
        handleKey(event.key);
        break;
    default:
        break;
    }
    if (_panels.takeNeedsDisplay()) {
        _wholeFrameNeeded = true;
    }
}

void WindowFrontEnd::handleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
    case SDL_WINDOWEVENT_SHOWN:
        _presentation.windowShown();
        _wholeFrameNeeded = true;
        break;
    case SDL_WINDOWEVENT_HIDDEN:
        _presentation.windowHidden();
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        _presentation.windowMinimised();
        break;
    case SDL_WINDOWEVENT_RESTORED:
        _presentation.windowRestored();
        _wholeFrameNeeded = true;
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        _exposed = true;
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        acquireWindowSurface();
        _wholeFrameNeeded = true;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
    case SDL_WINDOWEVENT_LEAVE:
        // While the button is held SDL keeps the pointer captured and reports no
        // leave; one that comes means the pointer really went elsewhere.
        cancelTouch();
        _panels.cancelPress();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        _quitRequested = true;
        break;
    default:
        break;
    }
}

void WindowFrontEnd::handleButton(const SDL_MouseButtonEvent& event) {
    if (event.button != SDL_BUTTON_LEFT || !_presentation.isVisible()) {
        return;
    }
    const CGPoint widgetPoint = _layout->widgetPoint(event.x, event.y);
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        if (_panels.isShown() && !_pointer.isTouching()) {
            _panels.press(_layout->windowPoint(event.x, event.y));
            return;
        }
        deliver(_pointer.press(widgetPoint, _layout->widgetContains(widgetPoint)));
        return;
    }
    if (_pointer.isTouching()) {
        deliver(_pointer.release(widgetPoint));
        return;
    }
    if (_panels.isPressing()) {
        choosePanelButton(_panels.release(_layout->windowPoint(event.x, event.y)));
    }
}

void WindowFrontEnd::handleMotion(const SDL_MouseMotionEvent& event) {
    if ((event.state & SDL_BUTTON_LMASK) == 0) {
        return;
    }
    if (_pointer.isTouching()) {
        deliver(_pointer.move(_layout->widgetPoint(event.x, event.y)));
        return;
    }
    _panels.move(_layout->windowPoint(event.x, event.y));
}

void WindowFrontEnd::handleWheel(const SDL_MouseWheelEvent& event) {
    if (!_presentation.isVisible() || _panels.isShown()) {
        return;
    }
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    // A flipped wheel (natural scrolling) reports the other sign for the same turn.
    const int notches = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    if (wheelOverCaption(x, y, notches)) {
        return;
    }
    if (turnVolumeWheel(*_session->widgetView(), _layout->widgetPoint(x, y), notches)) {
        _session->settle();
    }
}

void WindowFrontEnd::handleKey(const SDL_KeyboardEvent& event) {
    const KeyCommand command =
        keyCommand(event.keysym.sym, event.keysym.mod, event.repeat != 0, _panels.isShown());
    const auto press = [this](WidgetButton which) {
        if (_presentation.isVisible()) {
            pressWidgetButton(*_session->widgetView(), which, _session->bundlePath());
            _session->settle();
        }
    };
    switch (command) {
    case KeyCommand::none:
        break;
    case KeyCommand::togglePlay:
        press(WidgetButton::playPause);
        break;
    case KeyCommand::previousTrack:
        press(WidgetButton::previousTrack);
        break;
    case KeyCommand::nextTrack:
        press(WidgetButton::nextTrack);
        break;
    case KeyCommand::nextPlayer:
        movePlayer(PlayerMove::next);
        break;
    case KeyCommand::previousPlayer:
        movePlayer(PlayerMove::previous);
        break;
    case KeyCommand::quit:
        _quitRequested = true;
        break;
    case KeyCommand::cancelPanel:
        choosePanelButton(_panels.cancelButton());
        break;
    case KeyCommand::confirmPanel:
        choosePanelButton(_panels.defaultButton());
        break;
    }
}

void WindowFrontEnd::deliver(const std::optional<TouchChange>& change) {
    if (change) {
        _session->pointer(change->phase, change->point);
    }
}

void WindowFrontEnd::cancelTouch() {
    if (_session) {
        deliver(_pointer.cancel());
    }
}

void WindowFrontEnd::choosePanelButton(int index) {
    const char* home = std::getenv("HOME");
    const ShareServices services{
        .copyText = [](const std::string& text) { return SDL_SetClipboardText(text.c_str()) == 0; },
        .saveImage = [](const UIImage& image) { return saveArtworkImage(image); },
        .homeDirectory = home ? home : "",
    };
    const std::optional<ShareOutcome> outcome = _panels.choose(index, _session->presenter(), services);
    if (!outcome) {
        return;
    }
    reportShareOutcome(*outcome);
    _session->settle();
    _wholeFrameNeeded = true;
}

void WindowFrontEnd::reportShareOutcome(const ShareOutcome& outcome) {
    // The window says it too, in a notice; this keeps the full path at hand.
    if (!outcome.savedPath.empty()) {
        _err << "Artwork saved to " << outcome.savedPath << '\n';
    }
    if (!outcome.failure.empty()) {
        _err << "trillbox: " << outcome.failure << '\n';
    }
    _err.flush();
}

} // namespace host
