#include "render/Renderer.h"

#include <cmath>

#include "QuartzCore/CALayer.h"
#include "UIKit/UIView.h"
#include "render/LayerPainter.h"
#include "render/Snapshot.h"

namespace render {

bool Renderer::needsFrame(const UIView& root) const {
    if (!_hasDrawn || _drawnWhileAnimating || CADisplayGeneration() != _drawnGeneration) {
        return true;
    }
    return root.layer() && root.layer()->hasRunningAnimations();
}

void Renderer::drawFrame(cairo_t* context, UIView& root, CGFloat scale) {
    // Taken before drawing: a change made while drawing is then still news.
    const std::uint64_t generation = CADisplayGeneration();
    cairo_save(context);
    cairo_set_operator(context, CAIRO_OPERATOR_CLEAR);
    cairo_paint(context);
    cairo_set_operator(context, CAIRO_OPERATOR_OVER);
    if (std::isfinite(scale) && scale > 0) {
        cairo_scale(context, scale, scale);
        paintLayerTree(context, root);
    }
    cairo_restore(context);
    frameWasDrawn(root, generation);
}

UICairoSurface Renderer::renderFrame(UIView& root, CGFloat scale) {
    const std::uint64_t generation = CADisplayGeneration();
    UICairoSurface surface = snapshot(root, scale);
    frameWasDrawn(root, generation);
    return surface;
}

void Renderer::frameWasDrawn(const UIView& root, std::uint64_t generation) {
    _hasDrawn = true;
    _drawnGeneration = generation;
    _drawnWhileAnimating = root.layer() && root.layer()->hasRunningAnimations();
}

} // namespace render
