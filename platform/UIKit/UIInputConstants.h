#pragma once

#include <cmath>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

// The limits of touch input, in one place. Times are seconds on the main run
// loop's clock; distances are points in window coordinates. The values follow the
// platform's own gesture and control behaviour.

// Tap gestures.
// A tap is a touch that lifts within this long of touching down; a longer press
// is no tap at all (it may be a long press).
inline constexpr NSTimeInterval kUITapMaximumDuration = 0.5;
// Taps of one multi-tap gesture follow one another: each next touch must come
// down within this long of the previous release, or the gesture fails.
inline constexpr NSTimeInterval kUITapMaximumInterval = 0.35;
// Every touch of a tap gesture stays within this distance of where the gesture's
// first touch came down; a finger that strays farther ends the gesture.
inline constexpr CGFloat kUITapAllowableMovement = 10;

// How far apart two touch locations are, in points: what the allowable movements bound.
inline CGFloat UIInputDistance(CGPoint a, CGPoint b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// Long-press gestures (the defaults of a new long-press recognizer).
// The press begins once the finger has been held this long...
inline constexpr NSTimeInterval kUILongPressMinimumDuration = 0.5;
// ...without moving farther than this from where it came down; after it has
// begun, the finger may move anywhere.
inline constexpr CGFloat kUILongPressAllowableMovement = 10;

// Sliders.
// A drag starts only on the thumb: its hit area is the thumb's rectangle grown by
// this much on every side, so a touch on the bare track changes nothing.
inline constexpr CGFloat kUISliderThumbHitOutset = 6;
// The thumb's size when the slider has no thumb image.
inline constexpr CGFloat kUISliderDefaultThumbSize = 20;
// The track's height when the slider has no track image.
inline constexpr CGFloat kUISliderDefaultTrackHeight = 2;
