#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <cairo.h>

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UIImage.h"

class CALayer;
class UIView;

namespace render {

// A rectangle of whole device pixels.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool isEmpty() const { return width <= 0 || height <= 0; }
    bool operator==(const PixelRect&) const = default;
};

// Draws the frames of one view tree (a window, or any view standing for one) as a
// retained compositor, and knows whether the next frame would show anything new,
// so that a front-end can sleep while nothing changes.
//
// Each layer that draws content keeps it in a backing store at the device scale,
// drawn again only when the layer's content changes (setNeedsDisplay, which every
// drawing property's setter calls), or its bounds, corner radius or the scale do;
// a plain view's background colour is filled straight into the frame instead.
// Moving, fading or masking a layer composites its stored pixels again, with every
// layer placed at whole device pixels. A frame composites only the region that
// changed since the previous one. A store goes with its layer, and one whose layer
// has not shown for kFramesBeforeDroppingAStore frames is dropped.
class Renderer {
public:
    static constexpr std::uint64_t kFramesBeforeDroppingAStore = 300;

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

    // Brings `context`'s target up to date with `root` at `scale` pixels per point,
    // the root's bounds origin at the target's top left, and returns the rectangles
    // of the target that changed (none when nothing did). The target must keep its
    // pixels between frames: only the changed region is cleared and composited; a
    // new target, size or scale is drawn whole. The context's state is left as it was.
    std::vector<PixelRect> drawFrame(cairo_t* context, UIView& root, CGFloat scale);

    // Clears `context`'s whole target and composites `root` from the backing stores,
    // as drawFrame would after every layer changed; what the next drawFrame
    // considers changed is not affected.
    void drawWholeFrame(cairo_t* context, UIView& root, CGFloat scale);

    // The colour the changed region is filled with before the tree is composited
    // over it (the backdrop of a window); transparent, so that the region is cleared,
    // by default. Components are from 0 to 1; the colour is opaque when set.
    struct Backdrop {
        double red = 0;
        double green = 0;
        double blue = 0;
        bool operator==(const Backdrop&) const = default;
    };
    void setBackdrop(std::optional<Backdrop> backdrop);

    // Forgets every backing store, so that each layer draws its content again (the
    // memory of a store is used again by the next frame's stores of its size).
    void discardStores();
    // How many layers keep a backing store with pixels in it.
    std::size_t storeCount() const;

    // A new ARGB32 image of the root's bounds size x `scale`, drawn directly as a
    // snapshot is (see snapshot), and remembered for needsFrame.
    UICairoSurface renderFrame(UIView& root, CGFloat scale);

private:
    struct Store {
        std::weak_ptr<CALayer> layer;
        UICairoSurface pixels;
        std::uint64_t contentGeneration = 0;
        CGRect bounds{};
        CGFloat cornerRadius = 0;
        CGFloat scale = 0;
        cairo_format_t format = CAIRO_FORMAT_ARGB32;
        // Larger than kLargestSnapshotSide: drawn directly, never stored.
        bool tooLarge = false;
        // Every pixel is opaque (an opaque background fills it).
        bool opaque = false;
        // Of a layer that clips to rounded bounds: what lies outside them is already
        // cut away, so its pixels need no clip of their own.
        bool cornersCut = false;
        // Drawn for a layer that clips to rounded bounds.
        bool roundedClip = false;
        // Of a mask: the widest run of pixel columns opaque from top to bottom, [first, second).
        std::pair<int, int> opaqueColumns{};
        // The rows of pixels that hold anything, [first, second).
        std::pair<int, int> inkedRows{};
        std::uint64_t lastShownFrame = 0;
        // Whether it holds `layer`'s content as of now, drawn for `bounds`.
        bool holdsContentOf(const Ptr<CALayer>& layer, CGRect bounds) const;
    };
    struct Placement {
        std::weak_ptr<CALayer> layer;
        std::uint64_t signature = 0;
        PixelRect extent;
        PixelRect subtreeExtent;
        std::uint64_t frame = 0;
    };
    class DamageWalk;
    class Compositor;

    void frameWasDrawn(const UIView& root, std::uint64_t generation);
    // The store of `layer` with its content as of now, in `format` (A8 keeps only the
    // alpha of a mask); nil pixels when it draws nothing.
    const Store& storeFor(const std::shared_ptr<CALayer>& layer, CGRect bounds, CGFloat scale,
                          cairo_format_t format = CAIRO_FORMAT_ARGB32);
    // An image surface of `format` and `size`: `previous` when it fits, else a spare
    // one that does (cleared when `cleared`), else a new one; nil when none can be made.
    UICairoSurface surfaceFor(cairo_format_t format, int width, int height, UICairoSurface previous,
                              bool cleared);
    void keepAsSpare(UICairoSurface surface);
    // Cuts away, in the ARGB `surface` of a layer's whole-pixel bounds, what lies
    // outside their rounded corners of `radius` device pixels, as a rounded clip
    // would; false, having changed nothing, when the corners meet.
    bool cutCorners(cairo_surface_t* surface, double radius);
    void dropStaleStores();
    void composite(cairo_t* context, UIView& root, CGFloat scale, cairo_region_t* region, bool skipUnchanged);
    // Whether the root's stored pixels are opaque and cover `area` of a target whose
    // user space is device pixels: then nothing under them needs clearing.
    bool rootCoversOpaquely(UIView& root, CGFloat scale, cairo_t* context, PixelRect area);

    bool _hasDrawn = false;
    std::uint64_t _drawnGeneration = 0;
    bool _drawnWhileAnimating = false;

    std::uint64_t _frame = 0;
    std::unordered_map<const CALayer*, Store> _stores;
    std::unordered_map<const CALayer*, Placement> _placements;
    // Pixels of stores discarded or drawn at a new size, for this frame's new stores;
    // let go at the end of the frame.
    std::vector<UICairoSurface> _spareSurfaces;
    // By radius in device pixels: the coverage of a rounded square just wider than
    // two corners, whose four corners cutCorners copies.
    std::unordered_map<double, UICairoSurface> _cornerMasks;
    std::optional<Backdrop> _backdrop;
    UICairoSurface _target;
    int _targetWidth = 0;
    int _targetHeight = 0;
    CGFloat _targetScale = 0;
};

} // namespace render
