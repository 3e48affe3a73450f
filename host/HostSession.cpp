#include "host/HostSession.h"

#include <algorithm>
#include <cmath>

#include "Foundation/NSBundle.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSPathUtilities.h"
#include "Foundation/NSRunLoop.h"
#include "MediaPlayer/MPSystemVolume.h"
#include "MediaPlayer/MPVolumeView.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UITouchInjector.h"
#include "UIKit/UIWindow.h"
#include "host/HostFailure.h"
#include "host/HostModules.h"
#include "host/HostPresenter.h"
#include "host/Json.h"
#include "host/ViewDump.h"
#include "host/WidgetAdapter.h"
#include "render/Snapshot.h"

namespace host {
namespace {

// How long a scripted tap holds the finger down, and the pause between the two
// taps of a double tap: well inside the platform's tap limits.
constexpr double kTapHold = 0.05;
constexpr double kDoubleTapGap = 0.1;
// A drag reports a move at least this often.
constexpr double kDragStep = 0.05;
// Passes run at one instant by settle(); work that keeps rescheduling itself for
// the same instant is left for the next wait.
constexpr int kSettlePasses = 64;

void checkDuration(double seconds, const char* what) {
    if (!std::isfinite(seconds) || seconds < 0) {
        throw UsageFailure(std::string(what) + " needs a time of 0 seconds or more");
    }
}

} // namespace

HostSession::HostSession(const HostOptions& options) : _options(options) {
    if (!std::isfinite(_options.scale) || _options.scale <= 0) {
        throw UsageFailure("the scale must be a positive number");
    }
    if (!std::isfinite(_options.hostWidth) || _options.hostWidth <= 0) {
        throw UsageFailure("the host width must be a positive number");
    }
    if (!_options.deviceRoot.empty()) {
        NSSetDeviceRoot(_options.deviceRoot);
    }

    auto* runLoop = NSRunLoop::mainRunLoop();
    if (_options.manualClock) {
        _clock = std::make_shared<ManualClock>(0);
        runLoop->setClock(_clock);
    }
    _startTime = runLoop->now();

    _log = std::make_shared<std::vector<std::string>>();
    NSLogSetSink([log = _log](const std::string& message) { log->push_back(message); });

    const auto screen = UIScreen::mainScreen();
    screen->setScale(_options.scale);
    screen->setBounds(CGRectMake(0, 0, _options.hostWidth, 480));
    NSBundle::setPreferredImageScale(_options.scale);

    // The host's services exist before the bundle is loaded: the widget looks
    // them up by name when its first controller is created.
    _mediaBackEnd = makeMediaBackEnd({_options.player, _options.playlistPath, _options.players});
    if (_options.soundServerVolume || _options.player == PlayerKind::mpris) {
        followSoundServerVolume();
    }
    _presenter = std::make_shared<HostPresenter>(_options.closePresentationsAutomatically);
    _presenter->install();

    _window = alloc<UIWindow>()->initWithFrame(screen->bounds());
    _window->makeKeyAndVisible();
    _touches = alloc<UITouchInjector>()->initWithWindow(_window);

    _bundlePath = _options.bundlePath.empty() ? findDefaultBundle() : _options.bundlePath;
    _loaded = _options.legacy
                  ? loadWidgetBundle(_bundlePath, "TrillboxLegacyPrincipalClass", "TrillboxViewController")
                  : loadWidgetBundle(_bundlePath);
    _bundlePath = NSStringText(_loaded.bundle->bundlePath());
    _presenter->setBundlePath(_bundlePath);

    _widget = _options.legacy ? makeLegacyControllerAdapter(_loaded.controllerClass, _options.hostWidth)
                              : makeWidgetViewControllerAdapter(_loaded.controllerClass);
    if (!_widget->takesTouches()) {
        _legacyTaps.emplace([this](CGPoint location) { _widget->tapAt(location); });
    }
    // In the window from the moment it is built, presented or not: the title line
    // scrolls only in a window.
    _window->addSubview(_widget->view());
    _window->layoutIfNeeded();

    NSNotificationCenter::defaultCenter()->postNotificationName(UIApplicationDidBecomeActiveNotification,
                                                                UIApplication::sharedApplication());
    settle();
}

HostSession::~HostSession() {
    if (_widget) {
        _widget->tearDown();
        _widget.reset();
    }
    if (_window) {
        for (const auto& subview : std::vector(_window->subviews())) {
            subview->removeFromSuperview();
        }
    }
    // Scheduled work holds widget objects; drop it while their code is loaded.
    NSRunLoop::mainRunLoop()->reset();
    if (_presenter) {
        _presenter->uninstall();
    }
    if (_soundServerVolume && MPSystemVolume::sharedService() == _soundServerVolume) {
        MPSystemVolume::setSharedService(_backEndVolume);
    }
    _soundServerVolume = nullptr;
    _backEndVolume = nullptr;
    // The registrations hold the services; they go with the session, not at exit.
    _mediaBackEnd.reset();
    NSLogSetSink(nullptr);
}

void HostSession::present() {
    if (_presented) {
        return;
    }
    _presented = true;
    _mediaBackEnd->setPresented(true);
    _widget->present();
    settle();
}

void HostSession::dismiss() {
    if (!_presented) {
        return;
    }
    _presented = false;
    _widget->dismiss();
    _mediaBackEnd->setPresented(false);
    settle();
}

void HostSession::enterBackground() {
    UIApplication::sharedApplication()->setApplicationState(UIApplicationStateBackground);
    settle();
}

void HostSession::enterForeground() {
    UIApplication::sharedApplication()->setApplicationState(UIApplicationStateActive);
    settle();
}

void HostSession::rotate() {
    _orientation = _orientation == 1 ? 3 : 1;
    _window->rotateToInterfaceOrientation(_orientation);
    settle();
}

void HostSession::followSoundServerVolume() {
    // The sound server's library is loaded only by the runs that turn its volume.
    using Install = void(const std::function<bool()>& wanted, Ptr<MPSystemVolume>& installed);
    _backEndVolume = MPSystemVolume::sharedService();
    try {
        hostModuleFunction<Install>(HostModule::pulse, "trillbox_pulse_system_volume")(
            [this] { return volumeRowShown(); }, _soundServerVolume);
    } catch (const HostFailure& failure) {
        NSLog("%s; the volume slider keeps the player's volume", failure.what());
    }
}

bool HostSession::volumeRowShown() const {
    if (!_presented || !_widget) {
        return false;
    }
    const std::function<bool(const UIView&)> shows = [&](const UIView& view) {
        if (view.isHidden()) {
            return false;
        }
        if (dynamic_cast<const MPVolumeView*>(&view)) {
            return true;
        }
        return std::any_of(view.subviews().begin(), view.subviews().end(),
                           [&](const Ptr<UIView>& subview) { return shows(*subview); });
    };
    return shows(*_widget->view());
}

CGPoint HostSession::windowPoint(CGPoint widgetPoint) const {
    return _widget->view()->convertPointToView(widgetPoint, nullptr);
}

void HostSession::requireTouches(const char* what) const {
    if (!_widget->takesTouches()) {
        throw HostFailure(std::string(what) +
                          " is not possible under the older host, which reports taps only");
    }
}

void HostSession::pointer(UITouchPhase phase, CGPoint widgetPoint) {
    if (_legacyTaps) {
        _legacyTaps->pointer(phase, widgetPoint);
    } else {
        _touches->injectTouch(phase, windowPoint(widgetPoint), NSRunLoop::mainRunLoop()->now());
    }
    settle();
}

void HostSession::tap(CGPoint widgetPoint) {
    pointer(UITouchPhaseBegan, widgetPoint);
    wait(kTapHold);
    pointer(UITouchPhaseEnded, widgetPoint);
}

void HostSession::doubleTap(CGPoint widgetPoint) {
    tap(widgetPoint);
    wait(kDoubleTapGap);
    tap(widgetPoint);
}

void HostSession::longPress(CGPoint widgetPoint, double seconds) {
    checkDuration(seconds, "a long press");
    requireTouches("a long press");
    pointer(UITouchPhaseBegan, widgetPoint);
    wait(seconds);
    pointer(UITouchPhaseEnded, widgetPoint);
}

void HostSession::drag(CGPoint from, CGPoint to, double seconds) {
    checkDuration(seconds, "a drag");
    requireTouches("a drag");
    const int steps = std::max(1, static_cast<int>(std::ceil(seconds / kDragStep - 1e-9)));
    pointer(UITouchPhaseBegan, from);
    for (int step = 1; step <= steps; ++step) {
        wait(seconds / steps);
        const double fraction = static_cast<double>(step) / steps;
        pointer(UITouchPhaseMoved,
                CGPointMake(from.x + (to.x - from.x) * fraction, from.y + (to.y - from.y) * fraction));
    }
    pointer(UITouchPhaseEnded, to);
}

void HostSession::wait(double seconds) {
    checkDuration(seconds, "waiting");
    auto* runLoop = NSRunLoop::mainRunLoop();
    if (_options.manualClock) {
        runLoop->advance(seconds);
    } else {
        runLoop->runUntil([] { return false; }, seconds);
    }
    settle();
}

void HostSession::settle() {
    auto* runLoop = NSRunLoop::mainRunLoop();
    for (int pass = 0; pass < kSettlePasses; ++pass) {
        if (runLoop->runPass() == 0) {
            break;
        }
    }
}

double HostSession::time() const {
    return NSRunLoop::mainRunLoop()->now() - _startTime;
}

Ptr<UIView> HostSession::widgetView() const {
    return _widget->view();
}

CGSize HostSession::widgetSize() const {
    return _widget->view()->bounds().size;
}

UICairoSurface HostSession::snapshot(CGFloat scale) const {
    _window->layoutIfNeeded();
    return render::snapshot(_widget->view(), scale);
}

std::vector<std::string> HostSession::takeLog() {
    return std::exchange(*_log, {});
}

std::string HostSession::dump() {
    _window->layoutIfNeeded();
    JsonWriter json;
    json.beginObject();
    json.key("time").number(std::round(time() * 1e6) / 1e6);
    json.key("presented").boolean(_presented);
    json.key("view");
    writeViewJson(json, *_widget->view(), _bundlePath);
    json.key("shown").beginArray();
    for (const auto& shown : _presenter->takeShown()) {
        json.raw(shown);
    }
    json.endArray();
    json.key("log").beginArray();
    for (const auto& line : takeLog()) {
        json.string(line);
    }
    json.endArray();
    writePlayersJson(json, *_mediaBackEnd);
    json.endObject();
    return json.take();
}

} // namespace host
