#include "mpris/MprisBusThread.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>

#include "Foundation/NSLog.h"
#include "host/ReconnectBackoff.h"

namespace {

// Runs a request, dropping what a failed bus call makes it throw.
template <class Work> void runBusThreadRequest(Work&& work) {
    try {
        work();
    } catch (const sdbus::Error&) {
    } catch (const std::exception&) {
    }
}

int millisecondsRoundedUp(Nanoseconds duration) {
    const Nanoseconds milliseconds = (duration + 999'999) / 1'000'000;
    return static_cast<int>(std::min<Nanoseconds>(milliseconds, INT32_MAX));
}

} // namespace

MprisBusThread::WakeEvent::WakeEvent() : _fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    if (!_fd.valid()) {
        NSLog("MPRIS: cannot make a wake-up event for the bus thread (%s); it polls every %d ms instead",
              std::strerror(errno), kUnwakeablePollMilliseconds);
    }
}

void MprisBusThread::WakeEvent::signal() const {
    if (_fd.valid()) {
        const std::uint64_t one = 1;
        // A full counter already wakes the thread: a failed write loses nothing.
        _fd.writeAll(&one, sizeof one);
    }
}

void MprisBusThread::WakeEvent::drain() const {
    if (_fd.valid()) {
        std::uint64_t count = 0;
        _fd.readSome(&count, sizeof count);
    }
}

MprisBusThread::MprisBusThread(std::unique_ptr<MprisBusConnection> connection,
                               std::shared_ptr<const Clock> clock)
    : _connection(std::move(connection)), _clock(std::move(clock)) {
    _thread = std::thread([this] { run(); });
}

MprisBusThread::~MprisBusThread() {
    {
        std::lock_guard lock(_mutex);
        _stopping = true;
    }
    _wake.signal();
    _thread.join();
}

void MprisBusThread::enqueue(Request request) {
    {
        std::lock_guard lock(_mutex);
        _requests.push_back(std::move(request));
    }
    _wake.signal();
}

void MprisBusThread::run() {
    // The connection's sd-bus objects are made, used and destroyed on this thread.
    const auto connection = std::move(_connection);
    host::ReconnectBackoff backoff(kFirstReconnectDelay, kMaxReconnectDelay);
    // Without a wake-up event, requests and stopping are noticed by polling.
    const int longestWait = _wake.fd() >= 0 ? -1 : kUnwakeablePollMilliseconds;
    for (;;) {
        std::vector<Request> requests;
        {
            std::lock_guard lock(_mutex);
            if (_stopping) {
                break;
            }
            requests.swap(_requests);
        }
        if (!connection->connected() && backoff.isDue(_clock->now())) {
            if (connection->connect()) {
                backoff.attemptSucceeded();
            } else {
                backoff.attemptFailed(_clock->now());
            }
        }
        for (auto& request : requests) {
            runBusThreadRequest([&] { request(*connection); });
        }
        requests.clear();

        pollfd fds[2] = {{_wake.fd(), POLLIN, 0}, {-1, 0, 0}};
        int timeout = -1;
        if (connection->connected()) {
            try {
                const bool moreWaiting = connection->process();
                const auto wait = connection->wait();
                fds[1] = {wait.fd, wait.events, 0};
                timeout = moreWaiting ? 0 : wait.timeoutMilliseconds;
            } catch (const sdbus::Error&) {
                connection->disconnect(true);
                backoff.connectionLost(_clock->now());
                continue;
            }
        } else {
            timeout = millisecondsRoundedUp(backoff.timeUntilDue(_clock->now()));
        }
        if (longestWait >= 0 && (timeout < 0 || timeout > longestWait)) {
            timeout = longestWait;
        }
        // poll() skips entries whose descriptor is negative.
        if (::poll(fds, 2, timeout) > 0 && (fds[0].revents & POLLIN)) {
            _wake.drain();
        }
    }
}
