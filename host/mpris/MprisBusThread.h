#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "Foundation/Clock.h"
#include "Foundation/NSFileDescriptor.h"
#include "mpris/MprisBusConnection.h"

// The thread a bus connection lives on, so that D-Bus never holds up the main run
// loop: it runs queued requests against the connection, handles incoming messages,
// and connects again at growing intervals (read on `clock`) while the bus is away.
class MprisBusThread {
public:
    using Request = std::function<void(MprisBusConnection&)>;

    // Pause before the first attempt to connect again to a bus that is not there;
    // it doubles with each failed attempt up to the maximum.
    static constexpr Nanoseconds kFirstReconnectDelay = 2'000'000'000;
    static constexpr Nanoseconds kMaxReconnectDelay = 30'000'000'000;
    // How often a thread that cannot be woken looks at its requests.
    static constexpr int kUnwakeablePollMilliseconds = 100;

    // Starts the thread, which owns `connection` from now on. `clock` is read on that
    // thread, so it must be safe to read from there (the monotonic clock is).
    MprisBusThread(std::unique_ptr<MprisBusConnection> connection, std::shared_ptr<const Clock> clock);
    // Stops the thread; requests not yet run are dropped.
    ~MprisBusThread();
    MprisBusThread(const MprisBusThread&) = delete;
    MprisBusThread& operator=(const MprisBusThread&) = delete;

    // Runs `request` on the thread, after those queued before it.
    void enqueue(Request request);

private:
    // An eventfd the thread sleeps on.
    class WakeEvent {
    public:
        WakeEvent();
        // -1 when none could be made.
        int fd() const { return _fd.get(); }
        void signal() const;
        void drain() const;

    private:
        NSFileDescriptor _fd;
    };

    void run();

    std::unique_ptr<MprisBusConnection> _connection;
    std::shared_ptr<const Clock> _clock;
    WakeEvent _wake;
    std::mutex _mutex;
    std::vector<Request> _requests;
    bool _stopping = false;
    std::thread _thread;
};
