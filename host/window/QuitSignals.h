#pragma once

#include <csignal>

namespace host {

// Turns SIGINT, SIGTERM and SIGHUP into a readable file descriptor while the
// object lives, so that a run loop sleeping on it closes the window cleanly
// instead of the process dying mid-frame. One at a time per process; the
// previous handlers come back when it goes.
class QuitSignals {
public:
    // Throws HostFailure when the descriptor cannot be made.
    QuitSignals();
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // Readable once a signal has arrived.
    int fileDescriptor() const { return _read; }
    // Empties the descriptor; answers whether a signal had arrived.
    bool takeSignals();

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    int _read = -1;
    int _write = -1;
    struct sigaction _previous[3] = {};
};

} // namespace host
