#pragma once

#include "CoreGraphics/CGGeometry.h"

class UIView;

namespace host {

// How much one notch of the mouse wheel turns the volume.
inline constexpr float kVolumeWheelStep = 0.05f;

// Turns the system volume by `notches` notches of the wheel (positive: louder,
// within 0...1) when `point` (in `root`'s points) is over a volume slider on show
// under `root`; answers whether it was.
bool turnVolumeWheel(const UIView& root, CGPoint point, int notches);

} // namespace host
