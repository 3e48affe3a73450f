#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/Clock.h"
#include "UIKit/UIImage.h"
#include "host/HostSession.h"
#include "render/Renderer.h"
#include "window/FramePacer.h"
#include "window/ModalPanelState.h"
#include "window/PointerTracker.h"
#include "window/QuitSignals.h"
#include "window/SdlHandles.h"
#include "window/SdlVideo.h"
#include "window/WindowLayout.h"
#include "window/WindowPresentation.h"

// Xlib's display connection.
struct _XDisplay;

namespace host {

struct WindowOptions {
    // The scale was given on the command line, so the display's is not used.
    bool scaleGiven = false;
    // Report the frames drawn, and how many a second, when the window closes.
    // SIGUSR1 asks for the frames since the last report at any time.
    bool frameStatistics = false;
};

// The desktop front-end: the widget in an SDL window, on a dark panel that stands
// in for the notification centre, driven by the mouse as by a finger and by a
// few keys.
//
// The window follows the platform's run loop: it sleeps in the run loop's wait,
// which also watches the display connection, so it wakes for a timer or
// animation deadline, for window-system input and for work posted from other
// threads (the MPRIS players' bus), and for nothing else. It draws only when the
// renderer says the widget changed or an animation runs (or a panel changed),
// at most once per display refresh, and never while minimised or hidden.
class WindowFrontEnd {
public:
    // Opens the window with the session `options` describe (on the system clock;
    // alerts and the share sheet wait for the user). Throws NoDisplayFailure when
    // no window can be opened, HostFailure when the session cannot be set up.
    WindowFrontEnd(const HostOptions& options, const WindowOptions& windowOptions, std::ostream& out,
                   std::ostream& err);
    ~WindowFrontEnd();
    WindowFrontEnd(const WindowFrontEnd&) = delete;
    WindowFrontEnd& operator=(const WindowFrontEnd&) = delete;

    // Runs until the window is closed, Esc or Ctrl+Q is pressed, or the process is
    // asked to stop (SIGINT, SIGTERM, SIGHUP); the widget is then dismissed.
    void run();

private:
    // Run loop (WindowFrontEnd.cpp).
    void watchDisplayConnection();
    void waitForWork();
    void flushSessionOutput();
    void finish();
    // The frames drawn by a time.
    struct FrameCount {
        Nanoseconds time = 0;
        std::uint64_t frames = 0;
    };
    // Writes how many frames were drawn since `since`, and how many a second.
    void reportFrames(FrameCount since);

    // Input (WindowFrontEnd+Input.cpp).
    void processEvents(Nanoseconds now);
    // Whether SDL may have input to hand over (see processEvents).
    bool inputMayBeWaiting(Nanoseconds now) const;
    void handleEvent(const SDL_Event& event);
    void handleWindowEvent(const SDL_WindowEvent& event);
    void handleButton(const SDL_MouseButtonEvent& event);
    void handleMotion(const SDL_MouseMotionEvent& event);
    void handleWheel(const SDL_MouseWheelEvent& event);
    void handleKey(const SDL_KeyboardEvent& event);
    void deliver(const std::optional<TouchChange>& change);
    void cancelTouch();
    void choosePanelButton(int index);
    void reportShareOutcome(const ShareOutcome& outcome);

    // Drawing (WindowFrontEnd+Drawing.cpp).
    bool frameWanted() const;
    // Makes the panel stand for what the presenter shows now.
    void syncPanel();
    void drawFrame(Nanoseconds now);
    // Composites the widget's changes straight into the window's pixels; returns the
    // window's rectangles that changed.
    std::vector<SDL_Rect> drawIntoWindow();
    // Draws the widget's changes into its own pixels and composes them with the
    // backdrop and the panel; returns the window's rectangles that changed.
    std::vector<SDL_Rect> drawByComposing();
    // Redraws `area` of the window (in pixels) from the widget's pixels and the panel.
    void compose(const SDL_Rect& area);
    // Shows `areas` of the window in one update, first copying them from the
    // composed pixels when `copyComposed`.
    void present(const std::vector<SDL_Rect>& areas, bool copyComposed);
    void acquireWindowSurface();

    // The players (WindowFrontEnd+Players.cpp).
    // Takes the caption for the players as they are now; marks it for drawing when it changed.
    void refreshCaption();
    // Draws the caption into a context in the window's pixels.
    void composeCaption(cairo_t* context) const;
    // Draws the caption after the widget when it changed or was painted over, adding
    // its rectangle to `areas` when they do not cover it.
    void drawCaption(std::vector<SDL_Rect>& areas, bool direct);
    // The wheel over the caption moves among the players; answers whether it was there.
    bool wheelOverCaption(int x, int y, int notches);
    void movePlayer(PlayerMove move);

    // Points _windowPixels at the widget's rectangle of the window surface, or at
    // nothing when Cairo cannot draw into the surface's pixel format.
    void makeWindowPixels();

    WindowOptions _options;
    std::ostream& _out;
    std::ostream& _err;

    SdlVideo _video;
    std::unique_ptr<HostSession> _session;
    std::optional<WindowLayout> _layout;
    SdlWindow _window;
    // Owned by the window.
    SDL_Surface* _windowSurface = nullptr;
    int _displayConnection = -1;
    // The X display under SDL, when it draws on one; owned by SDL.
    _XDisplay* _display = nullptr;
    QuitSignals _signals;

    render::Renderer _renderer;
    // The widget's rectangle of the window surface, drawn into directly.
    UICairoSurface _windowPixels;
    // The widget and the whole window composed apart, while a panel or notice shows;
    // made the first time one does.
    UICairoSurface _widgetPixels;
    UICairoSurface _framePixels;
    // The last frame was drawn into _windowPixels.
    bool _drewDirectly = false;
    FramePacer _pacer;
    Nanoseconds _startTime = 0;
    FrameCount _lastReport;

    PointerTracker _pointer;
    WindowPresentation _presentation;

    // The panel over the widget, what it stands for and the button held on it.
    ModalPanelState _panels;

    bool _quitRequested = false;
    bool _eventsArrived = false;
    // The last sleep waited for a frame, not for news.
    bool _sleptForFrame = false;
    // When SDL is next pumped with nothing known to be waiting (see processEvents).
    Nanoseconds _nextRoutinePump = 0;
    // The whole window must be drawn afresh (shown again, resized, panel changes).
    bool _wholeFrameNeeded = true;
    // The window system lost what was shown: show the last frame again.
    bool _exposed = false;

    // The line under the widget naming the followed player ("" for none), and
    // whether it changed since it was last drawn.
    std::string _caption;
    bool _captionNeedsDisplay = false;
};

} // namespace host
