#pragma once

#include <optional>

#include <cairo.h>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

class CALayer;
class UIColor;
class UIView;

namespace render {

// Draws `view` and everything under it as it shows at the current media time
// into `context`, whose user space is in points with the view's bounds origin at
// the current origin. The view's own position is not applied (it is the root of
// the drawing); its opacity, clipping, background and mask are.
//
// Each layer is drawn from its presentation values: hidden layers and layers of
// opacity 0 are skipped with their subtrees; the layer's bounds are clipped with
// its corner radius when it masks to bounds; the backing view's own background
// colour fills the bounds (rounded by the corner radius), then its drawRect draws
// (cut at the bounds), then the sublayers in order; a mask lends its alpha to all
// of that. Layers that back no view draw their gradient if they are gradient
// layers. Geometry that is not finite, or absurdly large, hides the layer
// instead of breaking the frame.
void paintLayerTree(cairo_t* context, UIView& view);

// The same for a layer that backs no view (or whose view is not wanted as root).
void paintLayerTree(cairo_t* context, CALayer& layer);

// The presentation state of one layer, read once.
struct LayerState {
    CGRect bounds;
    CGPoint position;
    double opacity;
};

// `layer`'s presentation state; nothing when the layer shows nothing (hidden,
// transparent) or its geometry cannot be drawn.
std::optional<LayerState> visibleLayerState(const CALayer& layer);

// Draws `layer`'s own content, without sublayers or mask, into `context`, whose
// user space is the layer's bounds space: the backing view's background colour
// (rounded by the corner radius) and its drawRect cut at `box`, or a gradient
// layer's gradient. Nothing is drawn outside `box`.
void paintLayerContent(cairo_t* context, CALayer& layer, CGRect box);

// What `layer`'s own content (as paintLayerContent draws it in `box`) is known to
// be without drawing it: nothing at all (a plain view without a background, a
// layer that is neither a view's nor a gradient), opaque over every pixel of a
// store of `box` at `scale` (an opaque background filling whole pixels, whatever
// is drawn over it), or anything else.
enum class LayerContent { Nothing, Opaque, Unknown };
// Whether `size` at `scale` is a whole number of device pixels each way.
bool coversWholePixels(CGSize size, CGFloat scale);
LayerContent layerContentOf(const CALayer& layer, CGRect box, CGFloat scale);

// The colour that is all of `layer`'s own content (a plain view's background, which
// paintLayerContent fills into its rounded bounds), or nil when it draws anything
// else or nothing.
Ptr<UIColor> plainBackgroundOf(const CALayer& layer);

// Paints `content` through `mask` (a layer whose frame lies in the current user
// space) at `opacity`, as paintLayerTree applies a layer's mask.
void paintThroughMask(cairo_t* context, CALayer& mask, cairo_pattern_t* content, double opacity);

} // namespace render
