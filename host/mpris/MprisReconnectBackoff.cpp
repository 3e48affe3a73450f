#include "mpris/MprisReconnectBackoff.h"

#include <algorithm>
#include <cassert>

MprisReconnectBackoff::MprisReconnectBackoff(Nanoseconds first, Nanoseconds cap)
    : _first(first), _cap(std::max(first, cap)), _delay(first) {
    assert(first > 0);
}

Nanoseconds MprisReconnectBackoff::timeUntilDue(Nanoseconds now) const {
    return now >= _nextAttempt ? 0 : _nextAttempt - now;
}

void MprisReconnectBackoff::attemptFailed(Nanoseconds now) {
    _nextAttempt = now + _delay;
    _delay = std::min(_delay * 2, _cap);
}

void MprisReconnectBackoff::attemptSucceeded() {
    _delay = _first;
}

void MprisReconnectBackoff::connectionLost(Nanoseconds now) {
    _nextAttempt = now + _delay;
}
