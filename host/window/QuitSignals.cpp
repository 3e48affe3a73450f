#include "window/QuitSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <string>

#include "host/HostFailure.h"

namespace host {
namespace {

std::atomic<int> gSignalWriter = -1;

void noteSignal(int signal) {
    const int saved = errno;
    const int writer = gSignalWriter.load();
    if (writer >= 0) {
        const char byte = static_cast<char>(signal);
        [[maybe_unused]] auto written = ::write(writer, &byte, 1);
    }
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw HostFailure(std::string("cannot make a pipe for signals: ") + std::strerror(errno));
    }
    _read = NSFileDescriptor(ends[0]);
    _write = NSFileDescriptor(ends[1]);
    gSignalWriter = _write.get();
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t index = 0; index < std::size(kSignals); ++index) {
        ::sigaction(kSignals[index], &action, &_previous[index]);
    }
}

QuitSignals::~QuitSignals() {
    for (std::size_t index = 0; index < std::size(kSignals); ++index) {
        ::sigaction(kSignals[index], &_previous[index], nullptr);
    }
    gSignalWriter = -1;
}

ReceivedSignals QuitSignals::takeSignals() {
    ReceivedSignals received;
    char buffer[64];
    for (ssize_t count; (count = _read.readSome(buffer, sizeof buffer)) > 0;) {
        for (ssize_t index = 0; index < count; ++index) {
            if (buffer[index] == SIGUSR1) {
                received.report = true;
            } else {
                received.quit = true;
            }
        }
    }
    return received;
}

} // namespace host
