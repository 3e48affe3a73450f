#pragma once

#include <limits>

#include "Foundation/Clock.h"

namespace host {

// When to try a connection (the bus, the sound server) again. The first attempt is due at once; each
// failed attempt puts the next one a delay later, the delay doubling from `first`
// up to `cap`; a success brings the delay back to `first`, and a connection lost
// after a success is retried that first delay later.
class ReconnectBackoff {
public:
    ReconnectBackoff(Nanoseconds first, Nanoseconds cap);

    bool isDue(Nanoseconds now) const { return now >= _nextAttempt; }
    // The time until the next attempt is due, 0 when it is.
    Nanoseconds timeUntilDue(Nanoseconds now) const;

    void attemptFailed(Nanoseconds now);
    void attemptSucceeded();
    void connectionLost(Nanoseconds now);

private:
    Nanoseconds _first;
    Nanoseconds _cap;
    Nanoseconds _delay;
    Nanoseconds _nextAttempt = std::numeric_limits<Nanoseconds>::min();
};

} // namespace host
