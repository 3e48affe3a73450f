#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"
#include "UIKit/UIImage.h"
#include "UIKit/UITouch.h"
#include "host/BundleLoader.h"
#include "host/HostOptions.h"
#include "host/LegacyTapAdapter.h"
#include "host/MediaBackEnd.h"

class ManualClock;
class MPSystemVolume;
class UITouchInjector;
class UIView;
class UIWindow;

namespace host {

class HostPresenter;
class WidgetAdapter;

// One run of the widget inside the host, as the notification centre runs it:
// the host services are registered, Trillbox.bundle is loaded, its controller is
// created and its view built and put into a window; the front-end then presents
// and dismisses it, sends it input in the widget's points, moves time, and reads
// pictures and dumps of it. Every front-end (headless, window) drives one.
//
// One session at a time: the bundle stays loaded for the life of the process,
// and each session's services and player go with it. Main thread only.
class HostSession {
public:
    // Sets everything up; throws HostFailure naming what failed and where.
    explicit HostSession(const HostOptions& options);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // --- The notification centre ------------------------------------------------

    // The centre with the widget is shown (hostDidPresent) or hidden
    // (hostDidDismiss); nothing happens when it already is.
    void present();
    void dismiss();
    bool isPresented() const { return _presented; }
    // The host application leaves for the background and returns, posting the
    // application notifications.
    void enterBackground();
    void enterForeground();
    // Starts the window's 0.4-second rotation, between portrait and landscape.
    void rotate();

    // --- Input, in the widget's points -------------------------------------------

    // One pointer change, stamped with the run loop's time. Under the older host
    // only taps exist: its controller is told of a tap's location when the pointer
    // lifts within a tap's time and movement.
    void pointer(UITouchPhase phase, CGPoint widgetPoint);
    // A finger down and up 0.05 s later.
    void tap(CGPoint widgetPoint);
    // Two taps 0.1 s apart.
    void doubleTap(CGPoint widgetPoint);
    // A finger held for `seconds`. Throws HostFailure under the older host.
    void longPress(CGPoint widgetPoint, double seconds);
    // A finger moved from `from` to `to` over `seconds`, in steps of at most 0.05 s.
    // Throws HostFailure under the older host.
    void drag(CGPoint from, CGPoint to, double seconds);

    // --- Time ---------------------------------------------------------------------

    // Lets `seconds` pass: the manual clock is advanced, running everything due on
    // the way; on the system clock the run loop runs that long.
    void wait(double seconds);
    // Runs what is due now (a toggle's effect, a posted notification), as the run
    // loop does between two events.
    void settle();
    // Seconds since the session started.
    double time() const;
    bool usesManualClock() const { return _options.manualClock; }

    // --- Output -------------------------------------------------------------------

    // The widget's view as it shows now, at `scale` pixels per point.
    UICairoSurface snapshot(CGFloat scale) const;
    // One line of JSON: {"time", "presented", "view", "shown", "log"}, with what
    // was shown and logged since the previous dump, and "players" when the music
    // comes from players outside the process.
    std::string dump();

    // --- For front-ends -----------------------------------------------------------

    const HostOptions& options() const { return _options; }
    const Ptr<UIWindow>& window() const { return _window; }
    Ptr<UIView> widgetView() const;
    CGSize widgetSize() const;
    // Where the music comes from: the demo player or the MPRIS players.
    MediaBackEnd& mediaBackEnd() const { return *_mediaBackEnd; }
    HostPresenter& presenter() const { return *_presenter; }
    const std::string& bundlePath() const { return _bundlePath; }
    // Log lines since the last dump (or takeLog), oldest first.
    std::vector<std::string> takeLog();

private:
    CGPoint windowPoint(CGPoint widgetPoint) const;
    void followSoundServerVolume();
    bool volumeRowShown() const;
    void requireTouches(const char* what) const;

    HostOptions _options;
    std::shared_ptr<ManualClock> _clock;
    double _startTime = 0;
    std::string _bundlePath;
    std::unique_ptr<MediaBackEnd> _mediaBackEnd;
    // The sound server's volume, installed over the back-end's own, which it falls back to.
    Ptr<MPSystemVolume> _soundServerVolume;
    Ptr<MPSystemVolume> _backEndVolume;
    std::shared_ptr<HostPresenter> _presenter;
    Ptr<UIWindow> _window;
    Ptr<UITouchInjector> _touches;
    LoadedBundle _loaded;
    std::unique_ptr<WidgetAdapter> _widget;
    bool _presented = false;
    NSInteger _orientation = 1;
    std::shared_ptr<std::vector<std::string>> _log;
    // Under the older host: taps made of pointer changes.
    std::optional<LegacyTapAdapter> _legacyTaps;
};

} // namespace host
