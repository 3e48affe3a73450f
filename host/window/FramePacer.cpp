#include "window/FramePacer.h"

#include <algorithm>

namespace host {
namespace {

constexpr int kSlowestRefreshRate = 20;
constexpr int kFastestRefreshRate = 500;
constexpr Nanoseconds kNanosecondsPerSecond = 1'000'000'000;

} // namespace

Nanoseconds FramePacer::periodForRefreshRate(int hertz) {
    if (hertz < kSlowestRefreshRate || hertz > kFastestRefreshRate) {
        hertz = kFallbackRefreshRate;
    }
    return kNanosecondsPerSecond / hertz;
}

Nanoseconds FramePacer::nextFrameTime(Nanoseconds now) const {
    if (!_hasDrawn) {
        return now;
    }
    return std::max(now, _lastFrame + _period);
}

void FramePacer::frameDrawn(Nanoseconds now, bool presented) {
    // Frames keep to the period's grid while they keep up; a frame drawn late
    // (after a pause, or a slow pass) starts the grid afresh rather than letting
    // the next ones catch up in a burst.
    if (_hasDrawn && now >= _lastFrame + _period && now < _lastFrame + 2 * _period) {
        _lastFrame += _period;
    } else {
        _lastFrame = now;
    }
    _hasDrawn = true;
    if (presented) {
        ++_framesDrawn;
    }
}

} // namespace host
