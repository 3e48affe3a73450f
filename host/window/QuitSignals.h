#pragma once

#include <csignal>
#include <iterator>

#include "Foundation/NSFileDescriptor.h"

namespace host {

// What the process was asked by signals since the last look.
struct ReceivedSignals {
    // SIGINT, SIGTERM or SIGHUP: close the window.
    bool quit = false;
    // SIGUSR1: report the frames drawn so far.
    bool report = false;
};

// Turns SIGINT, SIGTERM, SIGHUP and SIGUSR1 into a readable file descriptor
// while the object lives, so that a run loop sleeping on it closes the window
// cleanly (or reports) instead of the process dying mid-frame. One at a time per
// process; the previous handlers come back when it goes.
class QuitSignals {
public:
    // Throws HostFailure when the descriptor cannot be made.
    QuitSignals();
    ~QuitSignals();
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    // Readable once a signal has arrived.
    int fileDescriptor() const { return _read.get(); }
    // Empties the descriptor and tells what arrived.
    ReceivedSignals takeSignals();

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGUSR1};
    NSFileDescriptor _read;
    NSFileDescriptor _write;
    struct sigaction _previous[std::size(kSignals)] = {};
};

} // namespace host
