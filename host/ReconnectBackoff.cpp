#include "host/ReconnectBackoff.h"

#include <algorithm>
#include <cassert>

namespace host {

ReconnectBackoff::ReconnectBackoff(Nanoseconds first, Nanoseconds cap)
    : _first(first), _cap(std::max(first, cap)), _delay(first) {
    assert(first > 0);
}

Nanoseconds ReconnectBackoff::timeUntilDue(Nanoseconds now) const {
    return now >= _nextAttempt ? 0 : _nextAttempt - now;
}

void ReconnectBackoff::attemptFailed(Nanoseconds now) {
    _nextAttempt = now + _delay;
    _delay = std::min(_delay * 2, _cap);
}

void ReconnectBackoff::attemptSucceeded() {
    _delay = _first;
}

void ReconnectBackoff::connectionLost(Nanoseconds now) {
    _nextAttempt = now + _delay;
}

} // namespace host
