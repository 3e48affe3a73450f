#pragma once

#include <cstdint>
#include <limits>
#include <optional>

#include "Foundation/NSObject.h"
#include "mpris/MprisPlayerState.h"

// Where one player is in its track, and when to ask it again. Players never
// signal their position, so it is extrapolated from an anchor: a position, the
// time (of the main run loop's clock) it held, and the rate. Re-anchored on every
// reported position, Seeked, and change of status, rate or track.
//
// The position is read again only where the extrapolation may have gone wrong:
// - when the status, rate or track changes (the caller reads at once), and a
//   second time kLateReadDelay later, since some players update it late;
// - while presented and playing: when the estimate passes the track's end, and
//   kSlowReadInterval after the last read, which catches players that jump without
//   a Seeked. A paused or dismissed player is never read on a schedule.
//
// Pure logic: the caller hands in events and the time, sends the reads that
// nextReadTime plans (or that playbackChanged asks for) and reports each one it
// sends with readSent.
class MprisPositionTracker {
public:
    // How long after a change of status, rate or track the position is read again.
    static constexpr NSTimeInterval kLateReadDelay = 0.1;
    // How long a presented, playing player goes unread at most.
    static constexpr NSTimeInterval kSlowReadInterval = 30.0;
    // A read that answers further than this from the estimate found a jump.
    static constexpr std::int64_t kJumpToleranceMicroseconds = 1'000'000;
    // The least time between a read and a read for the track's end.
    static constexpr NSTimeInterval kEndReadSpacing = 1.0;

    // The player's playback as it reports it (rate finite and positive, length 0
    // when unknown). A new track starts at 0; otherwise the estimate goes on from
    // where the old playback had taken it. Answers whether the status, rate or
    // track changed: then the caller reads the position now, and a second read is
    // planned kLateReadDelay later. The first call starts the player at 0 and
    // plans no second read.
    bool playbackChanged(MprisPlaybackStatus status, double rate, std::int64_t lengthMicroseconds,
                         bool newTrack, NSTimeInterval now);
    // A position the player answered to a read.
    void positionRead(std::int64_t positionMicroseconds, NSTimeInterval now);
    // A position the player jumped to: its Seeked, or our own move.
    void jumped(std::int64_t positionMicroseconds, NSTimeInterval now);

    // The position at `now`, within 0 and the length (when known).
    std::int64_t estimate(NSTimeInterval now) const;

    // When the next planned read is due (possibly already past); nothing when none is.
    std::optional<NSTimeInterval> nextReadTime(bool presented) const;
    // Whether a planned read is due at `now`.
    bool isReadDue(bool presented, NSTimeInterval now) const;
    // Records a read sent at `now`, planned or not: it stands for every read due by then.
    void readSent(NSTimeInterval now);

private:
    void anchor(std::int64_t positionMicroseconds, NSTimeInterval now);
    // When the estimate reaches the track's end, if it is going to.
    std::optional<NSTimeInterval> endTime() const;

    bool _started = false;
    MprisPlaybackStatus _status = MprisPlaybackStatus::stopped;
    double _rate = 1.0;
    std::int64_t _length = 0;
    std::int64_t _anchorPosition = 0;
    NSTimeInterval _anchorTime = 0;

    std::optional<NSTimeInterval> _lateReadTime;
    NSTimeInterval _lastReadTime = -std::numeric_limits<NSTimeInterval>::infinity();
    // Whether the estimate passing the end still calls for a read: once per anchor
    // that an event set or that showed the player somewhere unexpected.
    bool _endReadArmed = true;
};
