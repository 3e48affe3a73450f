#include "pulse/PulseSystemVolume.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSWhileAlive.h"

namespace {

// The slider's 0...1 for a sink's channels: the loudest one, 100 % and over being full.
float pulseSliderValue(const pa_cvolume& volume) {
    const double loudest = static_cast<double>(pa_cvolume_max(&volume)) / PA_VOLUME_NORM;
    return static_cast<float>(std::clamp(loudest, 0.0, 1.0));
}

} // namespace

Ptr<PulseSystemVolume> PulseSystemVolume::initWithFallback(const Ptr<MPSystemVolume>& fallback,
                                                           Options options) {
    NSObject::init();
    _fallback = fallback;
    _options = std::move(options);
    auto me = self<PulseSystemVolume>();
    if (_fallback) {
        NSNotificationCenter::defaultCenter()->addObserver(me, &PulseSystemVolume::fallbackDidChange,
                                                           MPSystemVolumeDidChangeNotification, _fallback);
    }
    connect();
    return me;
}

PulseSystemVolume::~PulseSystemVolume() {
    NSRunLoop::mainRunLoop()->cancel(_retry);
}

float PulseSystemVolume::volume() {
    if (_sink) {
        return pulseSliderValue(_sink->volume);
    }
    return _fallback ? _fallback->volume() : 0.0f;
}

void PulseSystemVolume::setVolume(float volume) {
    if (!_sink) {
        if (_fallback) {
            _fallback->setVolume(volume);
        }
        return;
    }
    if (!std::isfinite(volume) || !pa_cvolume_valid(&_sink->volume)) {
        return;
    }
    const auto loudest =
        static_cast<pa_volume_t>(std::lround(std::clamp(volume, 0.0f, 1.0f) * PA_VOLUME_NORM));
    if (loudest == pa_cvolume_max(&_sink->volume) && !_sink->muted) {
        return;
    }
    // Scaling keeps the channels' proportions; a silent sink's channels all start again alike.
    pa_cvolume_scale(&_sink->volume, loudest);
    const bool unmute = std::exchange(_sink->muted, false);
    _connection->setSinkVolume(_sink->name, _sink->volume, unmute);
    volumeDidChange();
}

void PulseSystemVolume::connect() {
    _reached = false;
    const WeakPtr<PulseSystemVolume> me = weakSelf<PulseSystemVolume>();
    _connection = std::make_unique<PulseSinkConnection>(
        _options.server,
        PulseSinkConnection::Handlers{NSWhileAlive(me, &PulseSystemVolume::sinkChanged),
                                      NSWhileAlive(me, &PulseSystemVolume::connectionEnded)});
}

void PulseSystemVolume::sinkChanged(const std::optional<PulseSink>& sink) {
    if (!_reached) {
        _reached = true;
        _backoff.attemptSucceeded();
    }
    _sink = sink;
    volumeDidChange();
}

void PulseSystemVolume::connectionEnded() {
    const Nanoseconds now = NSRunLoop::mainRunLoop()->nowNanoseconds();
    if (_reached) {
        _backoff.connectionLost(now);
    } else {
        _backoff.attemptFailed(now);
    }
    // Ended by the connection's own report: it sends nothing more, and goes here.
    _connection.reset();
    const bool wasFollowing = _sink.has_value();
    _sink.reset();
    scheduleRetry();
    if (wasFollowing) {
        volumeDidChange();
    }
}

void PulseSystemVolume::scheduleRetry() {
    auto* runLoop = NSRunLoop::mainRunLoop();
    runLoop->cancel(_retry);
    const Nanoseconds now = runLoop->nowNanoseconds();
    _retry = runLoop->scheduleAt(now + _backoff.timeUntilDue(now),
                                 NSWhileAlive(weakSelf<PulseSystemVolume>(), &PulseSystemVolume::retry));
}

void PulseSystemVolume::retry() {
    _retry = 0;
    if (_options.wanted && !_options.wanted()) {
        // Nobody looks at the volume: the server is looked for less and less often.
        _backoff.attemptFailed(NSRunLoop::mainRunLoop()->nowNanoseconds());
        scheduleRetry();
        return;
    }
    connect();
}

void PulseSystemVolume::fallbackDidChange() {
    if (!_sink) {
        volumeDidChange();
    }
}

// The sound-server module's entry, found by name when the host loads the module:
// installs the sound server's volume as the system volume over the service
// installed now, which it falls back to, and answers it in `installed`.
extern "C" void trillbox_pulse_system_volume(const std::function<bool()>& wanted,
                                             Ptr<MPSystemVolume>& installed) {
    auto volume =
        alloc<PulseSystemVolume>()->initWithFallback(MPSystemVolume::sharedService(), {std::nullopt, wanted});
    MPSystemVolume::setSharedService(volume);
    installed = volume;
}
