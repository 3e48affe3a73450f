#include "mpris/MprisPositionTracker.h"

#include <algorithm>
#include <cmath>

namespace {

// Run-loop times are whole nanoseconds: a task scheduled for a read may run a
// hair before the time computed for it.
constexpr NSTimeInterval kReadTimeTolerance = 1e-6;

} // namespace

bool MprisPositionTracker::playbackChanged(MprisPlaybackStatus status, double rate,
                                           std::int64_t lengthMicroseconds, bool newTrack,
                                           NSTimeInterval now) {
    const bool moved = !_started || newTrack || status != _status || rate != _rate;
    if (moved) {
        // Frozen (or restarted) where the old playback had taken it, before the new one applies.
        anchor(newTrack || !_started ? 0 : estimate(now), now);
        if (_started) {
            _lateReadTime = now + kLateReadDelay;
        }
        _started = true;
        _endReadArmed = true;
    }
    _status = status;
    _rate = rate;
    _length = std::max<std::int64_t>(0, lengthMicroseconds);
    return moved;
}

void MprisPositionTracker::positionRead(std::int64_t positionMicroseconds, NSTimeInterval now) {
    const std::int64_t expected = estimate(now);
    anchor(positionMicroseconds, now);
    // A player that went elsewhere than expected may reach the end again; one that
    // only lags (or stays at the end) is not read again for it.
    if (std::abs(estimate(now) - expected) > kJumpToleranceMicroseconds) {
        _endReadArmed = true;
    }
}

void MprisPositionTracker::jumped(std::int64_t positionMicroseconds, NSTimeInterval now) {
    anchor(positionMicroseconds, now);
    _endReadArmed = true;
}

void MprisPositionTracker::anchor(std::int64_t positionMicroseconds, NSTimeInterval now) {
    _anchorPosition = std::max<std::int64_t>(0, positionMicroseconds);
    _anchorTime = now;
}

std::int64_t MprisPositionTracker::estimate(NSTimeInterval now) const {
    double position = static_cast<double>(_anchorPosition);
    if (_status == MprisPlaybackStatus::playing && now > _anchorTime) {
        position += _rate * (now - _anchorTime) * 1e6;
    }
    position = std::max(0.0, position);
    if (_length > 0) {
        position = std::min(position, static_cast<double>(_length));
    }
    return static_cast<std::int64_t>(std::llround(std::min(position, 9.2e18)));
}

std::optional<NSTimeInterval> MprisPositionTracker::endTime() const {
    if (!_endReadArmed || _length <= 0 || _status != MprisPlaybackStatus::playing ||
        _anchorPosition >= _length) {
        return std::nullopt;
    }
    return _anchorTime + static_cast<double>(_length - _anchorPosition) / 1e6 / _rate;
}

std::optional<NSTimeInterval> MprisPositionTracker::nextReadTime(bool presented) const {
    if (!presented) {
        return std::nullopt;
    }
    std::optional<NSTimeInterval> next = _lateReadTime;
    const auto consider = [&next](NSTimeInterval time) { next = next ? std::min(*next, time) : time; };
    if (_status == MprisPlaybackStatus::playing) {
        consider(_lastReadTime + kSlowReadInterval);
        if (const auto end = endTime()) {
            consider(std::max(*end, _lastReadTime + kEndReadSpacing));
        }
    }
    return next;
}

bool MprisPositionTracker::isReadDue(bool presented, NSTimeInterval now) const {
    const auto next = nextReadTime(presented);
    return next && *next <= now + kReadTimeTolerance;
}

void MprisPositionTracker::readSent(NSTimeInterval now) {
    if (_lateReadTime && *_lateReadTime <= now + kReadTimeTolerance) {
        _lateReadTime.reset();
    }
    if (const auto end = endTime(); end && *end <= now + kReadTimeTolerance) {
        _endReadArmed = false;
    }
    _lastReadTime = now;
}
