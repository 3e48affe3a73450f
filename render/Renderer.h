#pragma once

#include <cstdint>

#include <cairo.h>

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UIImage.h"

class UIView;

namespace render {

// Draws the frames of one view tree (a window, or any view standing for one) and
// knows whether the next frame would show anything new, so that a front-end can
// sleep while nothing changes.
class Renderer {
public:
    Renderer() = default;
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // Whether a frame drawn now could differ from the last one this renderer drew:
    // true before the first frame, after any visible change (CADisplayGeneration
    // moved), while an animation in the tree runs, and once more after the last
    // animation ended, so that its final state is drawn. Costs one atomic read
    // when something changed, otherwise one walk of the layer tree that stops at
    // the first running animation.
    bool needsFrame(const UIView& root) const;

    // Clears `context`'s target and draws `root` into it at `scale` pixels per
    // point, the root's bounds origin at the target's top left, then remembers
    // what it drew for needsFrame. The context's state is left as it was.
    void drawFrame(cairo_t* context, UIView& root, CGFloat scale);

    // A new ARGB32 image of the root's bounds size x `scale`, with the frame drawn
    // as by drawFrame; an empty surface when there is nothing to draw into (see
    // snapshot).
    UICairoSurface renderFrame(UIView& root, CGFloat scale);

private:
    void frameWasDrawn(const UIView& root, std::uint64_t generation);

    bool _hasDrawn = false;
    std::uint64_t _drawnGeneration = 0;
    bool _drawnWhileAnimating = false;
};

} // namespace render
