#pragma once

#include <functional>
#include <optional>
#include <utility>

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UITouch.h"

namespace host {

// The older host's input: its controller hears only taps. Pointer changes are
// turned into the location of a tap when the pointer lifts within a tap's time
// (kUITapMaximumDuration) of coming down and has not strayed further than a tap
// allows (kUITapAllowableMovement) on the way; the tap is at the press's point.
// Time is the main run loop's. Main thread only.
class LegacyTapAdapter {
public:
    using TapHandler = std::function<void(CGPoint location)>;
    explicit LegacyTapAdapter(TapHandler onTap) : _onTap(std::move(onTap)) {}

    // One pointer change, in the widget's points. A cancel forgets the press.
    void pointer(UITouchPhase phase, CGPoint point);

private:
    TapHandler _onTap;
    // Where and when the pointer came down.
    std::optional<std::pair<CGPoint, double>> _press;
};

} // namespace host
