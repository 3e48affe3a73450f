#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "MprisPlayerCommands.h"
#include "MprisPlayerState.h"

// What the bus client reports; every callback runs on the main run loop.
struct MprisBusEvents {
    // A player appeared (once its properties are known) or its properties changed.
    std::function<void(const MprisPlayerSnapshot& player)> playerChanged;
    // A player left the bus, or the bus went away.
    std::function<void(const std::string& owner)> playerRemoved;
    // The position read from the player's Position property.
    std::function<void(const std::string& owner, std::int64_t positionMicroseconds)> positionRead;
    // The position the player announced with Seeked.
    std::function<void(const std::string& owner, std::int64_t positionMicroseconds)> playerSeeked;
};

// The MPRIS players on one session bus, watched and commanded from a thread of
// the client's own, so that D-Bus never holds up the main run loop. It finds
// players with ListNames and NameOwnerChanged, caches their properties (GetAll,
// then PropertiesChanged) and forwards Seeked. Every call has a time-out. When the
// bus goes away every player is reported removed and the client tries to connect
// again, at growing intervals.
class MprisBusClient final : public MprisPlayerCommands {
public:
    // Connects to the bus at `address`, or to the process's session bus when nil.
    MprisBusClient(std::optional<std::string> address, MprisBusEvents events);
    // Stops the thread; events still queued for the main run loop are dropped.
    ~MprisBusClient() override;
    MprisBusClient(const MprisBusClient&) = delete;
    MprisBusClient& operator=(const MprisBusClient&) = delete;

    void playPause(const std::string& owner) override;
    void next(const std::string& owner) override;
    void previous(const std::string& owner) override;
    void setPosition(const std::string& owner, const std::string& trackId, std::int64_t positionMicroseconds,
                     Completion completion) override;
    void seek(const std::string& owner, std::int64_t offsetMicroseconds, Completion completion) override;
    void raise(const std::string& owner) override;
    void setVolume(const std::string& owner, double volume) override;
    void readPosition(const std::string& owner) override;

    // D-Bus method calls sent so far (discovery, property reads and commands).
    std::uint64_t methodCallCount() const { return _methodCallCount.load(std::memory_order_relaxed); }

    // Time allowed for any one call.
    static constexpr std::int64_t kCallTimeoutMicroseconds = 2'000'000;
    // Pause before the first attempt to connect again to a bus that is not there;
    // it doubles with each failed attempt up to the maximum.
    static constexpr int kReconnectIntervalMilliseconds = 2'000;
    static constexpr int kMaxReconnectIntervalMilliseconds = 30'000;

private:
    // The bus as the client's thread sees it; lives on that thread only.
    class Bus;
    using Request = std::function<void(Bus&)>;

    void enqueue(Request request);
    void run();

    std::optional<std::string> _address;
    // Events posted to the main run loop run only while this is alive.
    std::shared_ptr<MprisBusEvents> _events;
    std::atomic<std::uint64_t> _methodCallCount{0};

    std::mutex _mutex;
    std::vector<Request> _requests;
    bool _stopping = false;
    int _wakeFd = -1;
    std::thread _thread;
};
