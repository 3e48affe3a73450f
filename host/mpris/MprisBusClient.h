#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Foundation/Clock.h"
#include "mpris/MprisBusConnection.h"
#include "mpris/MprisBusThread.h"
#include "mpris/MprisPlayerCommands.h"

// The MPRIS players on one session bus, watched and commanded from a thread of
// the client's own, so that D-Bus never holds up the main run loop. It finds
// players with ListNames and NameOwnerChanged, caches their properties (GetAll,
// then PropertiesChanged) and forwards Seeked. Every call has a time-out. When the
// bus goes away every player is reported removed and the client tries to connect
// again, at growing intervals. Completions run and are destroyed on the main run loop.
class MprisBusClient final : public MprisPlayerCommands {
public:
    // Connects to the bus at `address`, or to the process's session bus when nil;
    // the retries are timed on `clock`, the system's monotonic clock when nil.
    MprisBusClient(std::optional<std::string> address, MprisBusEvents events,
                   std::shared_ptr<const Clock> clock = nullptr);
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
    // The most bus events that ever waited for the main thread at once, and the
    // main-thread tasks posted to deliver them.
    std::size_t mostWaitingEvents() const { return _queue->mostWaiting(); }
    std::uint64_t mainThreadTaskCount() const { return _queue->tasksPosted(); }

private:
    // Events posted to the main run loop run only while this is alive.
    std::shared_ptr<MprisBusEvents> _events;
    std::shared_ptr<MprisBusEventQueue> _queue;
    std::atomic<std::uint64_t> _methodCallCount{0};
    // Last, so that the thread stops before what it uses goes.
    std::unique_ptr<MprisBusThread> _thread;
};
