#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/NSRunLoop.h"
#include "MediaPlayer/MPSystemVolume.h"
#include "host/ReconnectBackoff.h"
#include "pulse/PulseSinkConnection.h"

class NSNotification;

// The system volume as the sound server's default output (sink). Reading it
// answers the sink's loudest channel, a muted sink's included; over 100 % it
// answers full. Setting it scales every channel alike, so that their balance
// stays, never past 100 %, and unmutes a muted sink. Changes made elsewhere come
// through the server's subscription.
//
// While no server answers (none is ever started) or it has no default sink, the
// volume is `fallback`'s, read and set there, and the server is tried again
// 1 s later, the delay doubling up to 30 s, as long as `wanted` says the volume
// is on show when a try is due. MPSystemVolumeDidChangeNotification is posted for
// this service whenever the volume it answers changes. Main thread only.
class PulseSystemVolume : public MPSystemVolume {
public:
    struct Options {
        // The server's address; nil: the one the environment names (PULSE_SERVER...).
        std::optional<std::string> server;
        // Whether the volume is on show, so that a lost server is worth looking for;
        // nil: always.
        std::function<bool()> wanted;
    };

    Ptr<PulseSystemVolume> initWithFallback(const Ptr<MPSystemVolume>& fallback, Options options);
    ~PulseSystemVolume() override;

    float volume() override;
    void setVolume(float volume) override;

    // Whether the volume is the sound server's now (not the fallback's).
    bool followsSoundServer() const { return _sink.has_value(); }
    const Ptr<MPSystemVolume>& fallback() const { return _fallback; }

private:
    static constexpr Nanoseconds kFirstRetryDelay = 1'000'000'000;
    static constexpr Nanoseconds kLongestRetryDelay = 30'000'000'000;

    void connect();
    void sinkChanged(const std::optional<PulseSink>& sink);
    void connectionEnded();
    void scheduleRetry();
    void retry();
    void fallbackDidChange();

    Ptr<MPSystemVolume> _fallback;
    Options _options;
    std::unique_ptr<PulseSinkConnection> _connection;
    std::optional<PulseSink> _sink;
    // Whether the present connection reached the server.
    bool _reached = false;
    host::ReconnectBackoff _backoff{kFirstRetryDelay, kLongestRetryDelay};
    NSRunLoop::TaskId _retry = 0;
};
