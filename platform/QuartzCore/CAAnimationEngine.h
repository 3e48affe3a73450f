#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "Foundation/Clock.h"
#include "Foundation/NSRunLoop.h"
#include "QuartzCore/CAAnimation.h"
#include "QuartzCore/CACompletionGroup.h"

// Platform-internal: the machinery behind animation completions and UIView's
// animation blocks. Product code uses UIView and CALayer instead.

// The open animation blocks and the global switch for block animations.
class CAAnimationEngine {
public:
    static CAAnimationEngine& shared();

    // The pacing curve of UIView animation options (bits 16-19): 0 ease in and out,
    // 1 ease in, 2 ease out, 3 linear; other values ease in and out.
    static Ptr<CAMediaTimingFunction> timingFunctionForOptions(NSUInteger options);

    // Runs `animations` at once as an animation block: each change of a
    // view-backing layer's animatable property it makes is animated from the
    // current presentation value to the new value, over `duration` after `delay`,
    // paced by `curve`. Negative or NaN durations and delays count as 0. The
    // completion never runs inside this call.
    void runAnimationBlock(double duration, double delay, const Ptr<CAMediaTimingFunction>& curve,
                           const std::function<void()>& animations, CACompletionGroup::Completion completion);

    // While off, blocks animate nothing; their completions still run after their
    // delay and duration.
    void setAnimationsEnabled(BOOL enabled) { _animationsEnabled = enabled; }
    BOOL animationsEnabled() const { return _animationsEnabled; }

    // From CALayer: `keyPath` of `layer` is about to take `newValue`.
    void layerValueWillChange(CALayer& layer, std::string_view keyPath, const CAValue& newValue);
    // From CALayer: the media timing of `layer` (and so of its sublayers) changed.
    void layerTimingDidChange(CALayer& layer);
    // Whether `animation`, on `layer`, goes between different values (an unset end
    // takes the layer's model value); only such an animation changes what shows.
    static BOOL animationChangesValues(const CALayer& layer, const CAAnimation& animation);

private:
    struct Block {
        Ptr<CACompletionGroup> group;
        double duration = 0;
        double delay = 0;
        Ptr<CAMediaTimingFunction> curve;
    };
    std::vector<Block> _blocks;
    bool _animationsEnabled = true;
};
