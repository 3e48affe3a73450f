#pragma once

#include <cstdint>

#include "Foundation/Clock.h"

namespace host {

// Paces the window's frames to the display's refresh: however often something
// changes, a frame follows the previous one by at least one refresh period. The
// front-end asks for the next frame's time only while a frame is wanted (a
// change, a running animation) and the window is visible; otherwise it draws
// nothing and sleeps.
class FramePacer {
public:
    static constexpr int kFallbackRefreshRate = 60;

    // The period of a display refreshing `hertz` times a second; a rate the
    // display does not report (0) or that is implausible counts as 60 Hz.
    static Nanoseconds periodForRefreshRate(int hertz);

    explicit FramePacer(Nanoseconds period) : _period(period > 0 ? period : periodForRefreshRate(0)) {}

    Nanoseconds period() const { return _period; }
    // The earliest time a wanted frame may be drawn: `now` when the last frame is
    // a period old or there was none.
    Nanoseconds nextFrameTime(Nanoseconds now) const;
    bool isDue(Nanoseconds now) const { return nextFrameTime(now) <= now; }
    // A frame was drawn at `now`: it keeps the pace whether or not anything on
    // screen changed, and counts as drawn only when something was `presented`.
    void frameDrawn(Nanoseconds now, bool presented = true);

    // The frames that put something on the screen.
    std::uint64_t framesDrawn() const { return _framesDrawn; }

private:
    Nanoseconds _period;
    bool _hasDrawn = false;
    Nanoseconds _lastFrame = 0;
    std::uint64_t _framesDrawn = 0;
};

} // namespace host
