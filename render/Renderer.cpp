#include "render/Renderer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>

#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CALayer.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIGraphicsHandles.h"
#include "UIKit/UIView.h"
#include "render/Gradient.h"
#include "render/LayerPainter.h"
#include "render/Snapshot.h"

namespace render {

namespace {

struct RegionDestroy {
    void operator()(cairo_region_t* region) const { cairo_region_destroy(region); }
};
using RegionPtr = std::unique_ptr<cairo_region_t, RegionDestroy>;

// Folds `value` into the running signature `seed`.
std::uint64_t mixSignature(std::uint64_t seed, std::uint64_t value) {
    return seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2));
}

std::uint64_t mixSignature(std::uint64_t seed, double value) {
    return mixSignature(seed, std::bit_cast<std::uint64_t>(value));
}

std::uint64_t mixSignature(std::uint64_t seed, CGRect rect) {
    for (double value : {rect.origin.x, rect.origin.y, rect.size.width, rect.size.height}) {
        seed = mixSignature(seed, value);
    }
    return seed;
}

// The user space of `layer`'s bounds under `parent`: its frame's top left moved to
// the nearest whole device pixel, so that stored pixels are copied, never resampled.
cairo_matrix_t placedLayerMatrix(const cairo_matrix_t& parent, const LayerState& state, bool asRoot) {
    cairo_matrix_t matrix = parent;
    if (!asRoot) {
        cairo_matrix_translate(&matrix, state.position.x - state.bounds.size.width / 2,
                               state.position.y - state.bounds.size.height / 2);
        matrix.x0 = std::round(matrix.x0);
        matrix.y0 = std::round(matrix.y0);
    }
    cairo_matrix_translate(&matrix, -state.bounds.origin.x, -state.bounds.origin.y);
    return matrix;
}

// The device pixels `rect` (in the user space of `matrix`) touches.
PixelRect deviceExtentOf(const cairo_matrix_t& matrix, CGRect rect) {
    double left = rect.origin.x;
    double top = rect.origin.y;
    double right = rect.origin.x + rect.size.width;
    double bottom = rect.origin.y + rect.size.height;
    cairo_matrix_transform_point(&matrix, &left, &top);
    cairo_matrix_transform_point(&matrix, &right, &bottom);
    const double x = std::floor(std::min(left, right) + 1e-6);
    const double y = std::floor(std::min(top, bottom) + 1e-6);
    const double width = std::ceil(std::max(left, right) - 1e-6) - x;
    const double height = std::ceil(std::max(top, bottom) - 1e-6) - y;
    if (!(width > 0) || !(height > 0)) {
        return {};
    }
    return {static_cast<int>(x), static_cast<int>(y), static_cast<int>(width), static_cast<int>(height)};
}

// Whether `held` was taken from `layer`. Owners are equal only for the same layer,
// even where a new layer took a dead one's address; comparing them takes no
// reference, which costs atomic updates on every layer of every frame.
bool isSameLayer(const std::weak_ptr<CALayer>& held, const Ptr<CALayer>& layer) {
    return !held.owner_before(layer) && !layer.owner_before(held);
}

PixelRect intersectionOf(PixelRect a, PixelRect b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top) {
        return {};
    }
    return {left, top, right - left, bottom - top};
}

PixelRect paddedByAPixel(PixelRect rect) {
    return rect.isEmpty() ? rect : PixelRect{rect.x - 1, rect.y - 1, rect.width + 2, rect.height + 2};
}

PixelRect unionOf(PixelRect a, PixelRect b) {
    if (a.isEmpty()) {
        return b;
    }
    if (b.isEmpty()) {
        return a;
    }
    const int left = std::min(a.x, b.x);
    const int top = std::min(a.y, b.y);
    return {left, top, std::max(a.x + a.width, b.x + b.width) - left,
            std::max(a.y + a.height, b.y + b.height) - top};
}

// The frame of `mask` in the user space of the layer it masks.
std::optional<CGRect> maskFrameOf(const CALayer& mask) {
    const auto state = visibleLayerState(mask);
    if (!state) {
        return std::nullopt;
    }
    return CGRectMake(state->position.x - state->bounds.size.width / 2,
                      state->position.y - state->bounds.size.height / 2, state->bounds.size.width,
                      state->bounds.size.height);
}

// What a mask shows as, down its own tree.
std::uint64_t maskSignatureOf(const CALayer& mask) {
    std::uint64_t signature = 0x51ed270b27a1c5f3ULL;
    const auto state = visibleLayerState(mask);
    if (!state) {
        return signature;
    }
    signature = mixSignature(signature, state->bounds);
    signature = mixSignature(signature, state->position.x);
    signature = mixSignature(signature, state->position.y);
    signature = mixSignature(signature, state->opacity);
    signature = mixSignature(signature, mask.contentGeneration());
    for (const auto& sublayer : mask.sublayers()) {
        signature = mixSignature(signature, maskSignatureOf(*sublayer));
    }
    if (mask.mask()) {
        signature = mixSignature(signature, maskSignatureOf(*mask.mask()));
    }
    return signature;
}

// The widest run of columns of an A8 image that are opaque in every row, as
// [begin, end); empty when there is none.
std::pair<int, int> opaqueColumnsOf(cairo_surface_t* surface) {
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<unsigned char> opaque(static_cast<std::size_t>(width), 1);
    for (int row = 0; row < height; ++row) {
        const unsigned char* bytes = data + row * stride;
        for (int column = 0; column < width; ++column) {
            opaque[static_cast<std::size_t>(column)] &= bytes[column] == 0xFF;
        }
    }
    std::pair<int, int> widest{0, 0};
    for (int column = 0; column < width;) {
        if (!opaque[static_cast<std::size_t>(column)]) {
            ++column;
            continue;
        }
        const int begin = column;
        while (column < width && opaque[static_cast<std::size_t>(column)]) {
            ++column;
        }
        if (column - begin > widest.second - widest.first) {
            widest = {begin, column};
        }
    }
    return widest;
}

// The rows of an image that hold any pixel that is not transparent, as
// [begin, end); empty when it is blank.
std::pair<int, int> inkedRowsOf(cairo_surface_t* surface) {
    const int bytesPerPixel = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_A8 ? 1 : 4;
    const std::size_t width =
        static_cast<std::size_t>(cairo_image_surface_get_width(surface) * bytesPerPixel);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const auto inked = [&](int row) {
        const unsigned char* bytes = data + row * stride;
        // Eight bytes at a time: most stores with content are mostly empty rows.
        std::uint64_t seen = 0;
        std::size_t index = 0;
        for (; index + sizeof seen <= width; index += sizeof seen) {
            std::uint64_t word;
            std::memcpy(&word, bytes + index, sizeof word);
            seen |= word;
        }
        for (; index < width; ++index) {
            seen |= bytes[index];
        }
        return seen != 0;
    };
    int first = 0;
    while (first < height && !inked(first)) {
        ++first;
    }
    int end = height;
    while (end > first && !inked(end - 1)) {
        --end;
    }
    return {first, end};
}

// The lines of a layer's store that are all alike, so that one is drawn and copied
// into the rest: a plain gradient's (a fade, typically), when its bounds cover whole
// pixels (else the last row or column is only partly covered).
GradientLines linesAlikeInStore(const CALayer& layer, CGRect bounds, CGFloat scale) {
    const auto* gradient = dynamic_cast<const CAGradientLayer*>(&layer);
    if (!gradient || layer.delegate() ||
        UIGraphicsClampedCornerRadius(bounds.size, layer.cornerRadius()) > 0 ||
        !coversWholePixels(bounds.size, scale)) {
        return GradientLines::Differ;
    }
    return gradientLinesOf(*gradient);
}

// Copies the first row of `surface` into every other row, or its first column into
// every other column.
void repeatFirstLine(cairo_surface_t* surface, GradientLines lines) {
    const bool alpha = cairo_image_surface_get_format(surface) == CAIRO_FORMAT_A8;
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const std::size_t stride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface));
    unsigned char* data = cairo_image_surface_get_data(surface);
    for (int row = 0; row < height; ++row) {
        unsigned char* bytes = data + static_cast<std::size_t>(row) * stride;
        if (lines == GradientLines::RowsAlike) {
            if (row > 0) {
                std::memcpy(bytes, data, static_cast<std::size_t>(width) * (alpha ? 1 : 4));
            }
        } else if (alpha) {
            std::memset(bytes, bytes[0], static_cast<std::size_t>(width));
        } else {
            std::uint32_t pixel;
            std::memcpy(&pixel, bytes, sizeof pixel);
            for (int column = 1; column < width; ++column) {
                std::memcpy(bytes + static_cast<std::size_t>(column) * 4, &pixel, sizeof pixel);
            }
        }
    }
    cairo_surface_mark_dirty(surface);
}

void clearSurface(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    std::memset(cairo_image_surface_get_data(surface), 0,
                static_cast<std::size_t>(cairo_image_surface_get_stride(surface)) *
                    static_cast<std::size_t>(cairo_image_surface_get_height(surface)));
    cairo_surface_mark_dirty(surface);
}

} // namespace

// Walks the tree as it shows now, records where each layer lands and what it
// shows as, and collects the device pixels that differ from the previous frame.
class Renderer::DamageWalk {
public:
    DamageWalk(Renderer& renderer, PixelRect target) : _renderer(renderer), _target(target) {}

    void walk(const Ptr<CALayer>& layer, const cairo_matrix_t& parent, PixelRect clip,
              std::uint64_t inherited, bool asRoot) {
        const auto state = visibleLayerState(*layer);
        if (!state) {
            return;
        }
        const cairo_matrix_t matrix = placedLayerMatrix(parent, *state, asRoot);
        const PixelRect boundsExtent = deviceExtentOf(matrix, state->bounds);
        const auto store = _renderer._stores.find(layer.get());
        Store* stored = store != _renderer._stores.end() ? &store->second : nullptr;
        const PixelRect extent =
            intersectionOf(inkedExtentOf(layer, stored, *state, matrix, boundsExtent), clip);

        std::uint64_t signature = mixSignature(inherited, _order++);
        for (double value : {matrix.x0, matrix.y0, matrix.xx, matrix.yy, layer->cornerRadius()}) {
            signature = mixSignature(signature, value);
        }
        signature = mixSignature(signature, state->bounds);
        signature = mixSignature(signature, layer->contentGeneration());
        signature = mixSignature(signature, static_cast<std::uint64_t>(layer->masksToBounds()));

        // What the sublayers inherit: this layer's fading, masking and clipping.
        std::uint64_t passedOn = mixSignature(inherited, state->opacity);
        PixelRect childClip = clip;
        if (layer->masksToBounds()) {
            childClip = intersectionOf(childClip, boundsExtent);
            passedOn = mixSignature(passedOn, layer->cornerRadius());
        }
        if (const auto& mask = layer->mask()) {
            const auto frame = maskFrameOf(*mask);
            // A pixel more on each side: a stored mask lands on the pixel grid.
            childClip = frame ? intersectionOf(childClip, paddedByAPixel(deviceExtentOf(matrix, *frame)))
                              : PixelRect{};
            passedOn = mixSignature(passedOn, maskSignatureOf(*mask));
        }
        passedOn = mixSignature(passedOn, static_cast<std::uint64_t>(childClip.x));
        passedOn = mixSignature(passedOn, static_cast<std::uint64_t>(childClip.y));
        passedOn = mixSignature(passedOn, static_cast<std::uint64_t>(childClip.width));
        passedOn = mixSignature(passedOn, static_cast<std::uint64_t>(childClip.height));
        signature = mixSignature(signature, passedOn);

        // A masked layer's own content is cut by its mask as well.
        const PixelRect ownExtent = layer->mask() ? intersectionOf(extent, childClip) : extent;
        PixelRect subtreeExtent = ownExtent;
        for (const auto& sublayer : layer->sublayers()) {
            subtreeExtent = unionOf(subtreeExtent, walkAndMeasure(sublayer, matrix, childClip, passedOn));
        }
        record(layer, signature, ownExtent, subtreeExtent, stored);
        _lastSubtreeExtent = subtreeExtent;
    }

    // Everything that showed before and shows no more.
    void finish() {
        for (auto it = _renderer._placements.begin(); it != _renderer._placements.end();) {
            if (it->second.frame != _renderer._frame || it->second.layer.expired()) {
                addDamage(it->second.extent);
                it = _renderer._placements.erase(it);
            } else {
                ++it;
            }
        }
    }

    std::vector<PixelRect> takeDamage() { return std::move(_damage); }

private:
    // What a layer shows: the rows of its store that hold anything, when the store
    // is up to date and placed row for row; else its bounds' extent. A title
    // sliding sideways changes only the rows its letters reach.
    static PixelRect inkedExtentOf(const Ptr<CALayer>& layer, const Store* store, const LayerState& state,
                                   const cairo_matrix_t& matrix, PixelRect boundsExtent) {
        if (!store || !store->pixels) {
            return boundsExtent;
        }
        double left = state.bounds.origin.x;
        double top = state.bounds.origin.y;
        cairo_matrix_transform_point(&matrix, &left, &top);
        const bool rowForRow = matrix.xy == 0 && matrix.yx == 0 && matrix.yy == store->scale &&
                               std::abs(top - std::round(top)) < 1e-6;
        if (!rowForRow || !store->holdsContentOf(layer, state.bounds)) {
            return boundsExtent;
        }
        const auto [first, end] = store->inkedRows;
        return intersectionOf(boundsExtent, {boundsExtent.x, static_cast<int>(std::round(top)) + first,
                                             boundsExtent.width, end - first});
    }

    PixelRect walkAndMeasure(const Ptr<CALayer>& layer, const cairo_matrix_t& parent, PixelRect clip,
                             std::uint64_t inherited) {
        _lastSubtreeExtent = {};
        walk(layer, parent, clip, inherited, false);
        return _lastSubtreeExtent;
    }

    void record(const Ptr<CALayer>& layer, std::uint64_t signature, PixelRect extent, PixelRect subtreeExtent,
                Store* store) {
        auto [it, inserted] = _renderer._placements.try_emplace(layer.get());
        Placement& placement = it->second;
        const bool sameLayer = !inserted && isSameLayer(placement.layer, layer);
        if (!sameLayer) {
            if (!inserted) {
                // Another layer lived at this address: what it showed goes.
                addDamage(placement.extent);
            }
            addDamage(extent);
        } else if (placement.signature != signature) {
            addDamage(placement.extent);
            addDamage(extent);
        }
        if (!sameLayer) {
            placement.layer = layer;
        }
        placement.signature = signature;
        placement.extent = extent;
        placement.subtreeExtent = subtreeExtent;
        placement.frame = _renderer._frame;
        if (store) {
            store->lastShownFrame = _renderer._frame;
        }
    }

    void addDamage(PixelRect rect) {
        rect = intersectionOf(rect, _target);
        if (!rect.isEmpty()) {
            _damage.push_back(rect);
        }
    }

    Renderer& _renderer;
    PixelRect _target;
    std::uint64_t _order = 0;
    PixelRect _lastSubtreeExtent;
    std::vector<PixelRect> _damage;
};

// Composites the tree from the backing stores, inside the context's clip.
class Renderer::Compositor {
public:
    // `opaqueRoot`: the root's store covers the clip opaquely and is copied, not blended.
    Compositor(Renderer& renderer, cairo_t* context, CGFloat scale, const cairo_region_t* region,
               bool opaqueRoot)
        : _renderer(renderer), _context(context), _scale(scale), _region(region), _opaqueRoot(opaqueRoot) {}

    void paint(const Ptr<CALayer>& layer, bool asRoot) {
        // Where it showed is known from the walk, which is cheaper than working out
        // what it shows as now: most of the tree lies outside a small change.
        if (!intersectsRegion(*layer)) {
            return;
        }
        const auto state = visibleLayerState(*layer);
        if (!state) {
            return;
        }
        cairo_matrix_t parent;
        cairo_get_matrix(_context, &parent);
        const cairo_matrix_t matrix = placedLayerMatrix(parent, *state, asRoot);
        cairo_save(_context);
        cairo_set_matrix(_context, &matrix);
        const CGRect box = state->bounds;
        const Ptr<CALayer>& mask = layer->mask();
        // A plain colour is filled where it shows: storing it would only add a copy.
        const Ptr<UIColor> colour = plainBackgroundOf(*layer);
        static const Store kNoStore;
        const Store& store = colour ? kNoStore : _renderer.storeFor(layer, box, _scale);
        const CGFloat radius = UIGraphicsClampedCornerRadius(box.size, layer->cornerRadius());
        // A filled colour, or a store with its corners cut, keeps inside its rounded
        // bounds itself: the costly rounded clip is for what else shows.
        if (layer->masksToBounds() && !((colour || store.cornersCut) && layer->sublayers().empty())) {
            UIGraphicsAddRoundedRect(_context, box, radius);
            cairo_clip(_context);
        }
        if (mask && !colour && state->opacity >= 1 && !store.pixels && !store.tooLarge &&
            paintLeavesThroughStoredMask(*layer, mask)) {
            cairo_restore(_context);
            return;
        }
        const bool grouped = mask || state->opacity < 1;
        if (grouped) {
            cairo_push_group(_context);
        }
        if (colour) {
            UIGraphicsAddRoundedRect(_context, box, radius);
            UIGraphicsSetSourceColor(_context, colour.get());
            cairo_fill(_context);
        } else if (store.pixels) {
            cairo_set_source_surface(_context, store.pixels.get(), box.origin.x, box.origin.y);
            if (asRoot && _opaqueRoot) {
                cairo_set_operator(_context, CAIRO_OPERATOR_SOURCE);
            }
            cairo_paint(_context);
            cairo_set_operator(_context, CAIRO_OPERATOR_OVER);
        } else if (store.tooLarge) {
            // As a fresh store would start: painting in black.
            cairo_save(_context);
            cairo_set_source_rgb(_context, 0, 0, 0);
            paintLayerContent(_context, *layer, box);
            cairo_restore(_context);
        }
        for (const auto& sublayer : layer->sublayers()) {
            paint(sublayer, false);
        }
        if (grouped) {
            UICairoPatternPtr content(cairo_pop_group(_context));
            if (mask) {
                if (!paintThroughStoredMask(mask, content.get(), state->opacity)) {
                    paintThroughMask(_context, *mask, content.get(), state->opacity);
                }
            } else {
                cairo_set_source(_context, content.get());
                cairo_paint_with_alpha(_context, state->opacity);
            }
        }
        cairo_restore(_context);
    }

private:
    // Paints `content` through the stored pixels of a mask that is one plain layer
    // (a fade gradient, typically), placed on whole device pixels like any layer;
    // false when the mask needs drawing as a tree.
    // The stored pixels of a mask that is one plain layer, and where it lies.
    // False when the mask needs drawing as a tree; true with `store` null when it
    // shows nothing, so nothing under it is painted.
    bool findStoredMask(const Ptr<CALayer>& mask, std::optional<LayerState>& state, const Store*& store) {
        store = nullptr;
        if (!mask->sublayers().empty() || mask->mask()) {
            return false;
        }
        state = visibleLayerState(*mask);
        if (!state) {
            return true;
        }
        const Store& found = _renderer.storeFor(mask, state->bounds, _scale, CAIRO_FORMAT_A8);
        store = found.pixels ? &found : nullptr;
        return found.pixels || !found.tooLarge;
    }

    bool paintThroughStoredMask(const Ptr<CALayer>& mask, cairo_pattern_t* content, double opacity) {
        std::optional<LayerState> state;
        const Store* store = nullptr;
        if (opacity < 1 || !findStoredMask(mask, state, store)) {
            return false;
        }
        if (!store) {
            return true;
        }
        cairo_save(_context);
        // The content stays where it was made; only the mask moves to its own place.
        cairo_set_source(_context, content);
        cairo_matrix_t parent;
        cairo_get_matrix(_context, &parent);
        const cairo_matrix_t matrix = placedLayerMatrix(parent, *state, false);
        cairo_set_matrix(_context, &matrix);
        cairo_mask_surface(_context, store->pixels.get(), state->bounds.origin.x, state->bounds.origin.y);
        cairo_restore(_context);
        return true;
    }

    // Paints the sublayers of a layer that draws nothing itself straight through its
    // stored mask, one at a time, without gathering them in a group first: the same
    // pixels when they are plain stored layers that do not overlap (a scrolling
    // title and its copy). False, having painted nothing, when they are not.
    bool paintLeavesThroughStoredMask(const CALayer& layer, const Ptr<CALayer>& mask) {
        constexpr std::size_t kLargestLeafCount = 4;
        std::optional<LayerState> maskState;
        const Store* maskStorePointer = nullptr;
        if (layer.sublayers().size() > kLargestLeafCount ||
            !findStoredMask(mask, maskState, maskStorePointer)) {
            return false;
        }
        if (!maskStorePointer) {
            return true;
        }
        const Store& maskStore = *maskStorePointer;
        struct Leaf {
            cairo_surface_t* pixels;
            LayerState state;
            PixelRect extent;
        };
        std::array<Leaf, kLargestLeafCount> leaves{};
        std::size_t leafCount = 0;
        for (const auto& sublayer : layer.sublayers()) {
            const auto state = visibleLayerState(*sublayer);
            if (!state) {
                continue;
            }
            const bool roundedClip =
                sublayer->masksToBounds() &&
                UIGraphicsClampedCornerRadius(state->bounds.size, sublayer->cornerRadius()) > 0;
            const auto placement = _renderer._placements.find(sublayer.get());
            if (!sublayer->sublayers().empty() || sublayer->mask() || state->opacity < 1 || roundedClip ||
                placement == _renderer._placements.end()) {
                return false;
            }
            // A leaf that shows nowhere (a title's copy waiting beyond the edge) is
            // not drawn for nothing.
            const PixelRect extent = placement->second.extent;
            if (extent.isEmpty()) {
                continue;
            }
            const Store& store = _renderer.storeFor(sublayer, state->bounds, _scale);
            if (store.tooLarge) {
                return false;
            }
            if (!store.pixels) {
                continue;
            }
            for (std::size_t index = 0; index < leafCount; ++index) {
                if (!intersectionOf(leaves[index].extent, extent).isEmpty()) {
                    return false;
                }
            }
            leaves[leafCount++] = {store.pixels.get(), *state, extent};
        }
        cairo_matrix_t parent;
        cairo_get_matrix(_context, &parent);
        const cairo_matrix_t maskMatrix = placedLayerMatrix(parent, *maskState, false);
        // Where the mask lets everything through (the middle of a fade), a plain
        // composite gives the same pixels as one through the mask, for less.
        double maskX = maskState->bounds.origin.x;
        double maskY = maskState->bounds.origin.y;
        cairo_matrix_transform_point(&maskMatrix, &maskX, &maskY);
        const int left = static_cast<int>(std::lround(maskX));
        const int top = static_cast<int>(std::lround(maskY));
        const int width = cairo_image_surface_get_width(maskStore.pixels.get());
        const int height = cairo_image_surface_get_height(maskStore.pixels.get());
        const auto [opaqueBegin, opaqueEnd] = maskStore.opaqueColumns;
        const bool split = opaqueEnd > opaqueBegin;
        const auto clipToColumns = [&](std::initializer_list<std::pair<int, int>> spans) {
            cairo_identity_matrix(_context);
            for (const auto& [begin, end] : spans) {
                if (end > begin) {
                    cairo_rectangle(_context, left + begin, top, end - begin, height);
                }
            }
            cairo_clip(_context);
        };
        for (std::size_t index = 0; index < leafCount; ++index) {
            const Leaf& leaf = leaves[index];
            const cairo_matrix_t leafMatrix = placedLayerMatrix(parent, leaf.state, false);
            if (split) {
                cairo_save(_context);
                clipToColumns({{opaqueBegin, opaqueEnd}});
                cairo_set_matrix(_context, &leafMatrix);
                cairo_set_source_surface(_context, leaf.pixels, leaf.state.bounds.origin.x,
                                         leaf.state.bounds.origin.y);
                cairo_paint(_context);
                cairo_restore(_context);
                cairo_save(_context);
                clipToColumns({{0, opaqueBegin}, {opaqueEnd, width}});
            }
            cairo_set_matrix(_context, &leafMatrix);
            cairo_set_source_surface(_context, leaf.pixels, leaf.state.bounds.origin.x,
                                     leaf.state.bounds.origin.y);
            cairo_set_matrix(_context, &maskMatrix);
            cairo_mask_surface(_context, maskStore.pixels.get(), maskState->bounds.origin.x,
                               maskState->bounds.origin.y);
            if (split) {
                cairo_restore(_context);
            }
        }
        cairo_set_matrix(_context, &parent);
        return true;
    }

    // Whether any of what `layer` and its sublayers showed at the last walk lies in the region.
    bool intersectsRegion(const CALayer& layer) const {
        if (!_region) {
            return true;
        }
        const auto placement = _renderer._placements.find(&layer);
        if (placement == _renderer._placements.end()) {
            return true;
        }
        const PixelRect& extent = placement->second.subtreeExtent;
        const cairo_rectangle_int_t rect{extent.x, extent.y, extent.width, extent.height};
        return !extent.isEmpty() &&
               cairo_region_contains_rectangle(_region, &rect) != CAIRO_REGION_OVERLAP_OUT;
    }

    Renderer& _renderer;
    cairo_t* _context;
    CGFloat _scale;
    const cairo_region_t* _region;
    bool _opaqueRoot;
};

bool Renderer::needsFrame(const UIView& root) const {
    if (!_hasDrawn || _drawnWhileAnimating || CADisplayGeneration() != _drawnGeneration) {
        return true;
    }
    return root.layer() && root.layer()->hasRunningAnimations();
}

std::vector<PixelRect> Renderer::drawFrame(cairo_t* context, UIView& root, CGFloat scale) {
    // Taken before drawing: a change made while drawing is then still news.
    const std::uint64_t generation = CADisplayGeneration();
    cairo_surface_t* target = cairo_get_target(context);
    const bool imageTarget = cairo_surface_get_type(target) == CAIRO_SURFACE_TYPE_IMAGE;
    const int width = imageTarget ? cairo_image_surface_get_width(target) : 0;
    const int height = imageTarget ? cairo_image_surface_get_height(target) : 0;
    const PixelRect targetRect{0, 0, width, height};
    const bool usable = std::isfinite(scale) && scale > 0 && root.layer();
    ++_frame;

    std::vector<PixelRect> damage;
    if (usable) {
        cairo_matrix_t base;
        cairo_get_matrix(context, &base);
        cairo_matrix_scale(&base, scale, scale);
        DamageWalk walk(*this, targetRect);
        walk.walk(root.layer(), base, targetRect, 0, true);
        walk.finish();
        damage = walk.takeDamage();
    } else {
        _placements.clear();
    }
    if (_target.get() != target || width != _targetWidth || height != _targetHeight ||
        scale != _targetScale) {
        // Hold the target, so that its address names it until the next frame.
        _target = UICairoSurface(cairo_surface_reference(target));
        _targetWidth = width;
        _targetHeight = height;
        _targetScale = scale;
        damage = {targetRect};
    }
    dropStaleStores();

    RegionPtr region(cairo_region_create());
    for (const PixelRect& rect : damage) {
        const cairo_rectangle_int_t area{rect.x, rect.y, rect.width, rect.height};
        cairo_region_union_rectangle(region.get(), &area);
    }
    std::vector<PixelRect> changed;
    for (int index = 0; index < cairo_region_num_rectangles(region.get()); ++index) {
        cairo_rectangle_int_t area;
        cairo_region_get_rectangle(region.get(), index, &area);
        changed.push_back({area.x, area.y, area.width, area.height});
    }
    if (!changed.empty()) {
        composite(context, root, usable ? scale : 0, region.get(), true);
    }
    frameWasDrawn(root, generation);
    return changed;
}

void Renderer::drawWholeFrame(cairo_t* context, UIView& root, CGFloat scale) {
    composite(context, root, std::isfinite(scale) && scale > 0 ? scale : 0, nullptr, false);
}

void Renderer::composite(cairo_t* context, UIView& root, CGFloat scale, cairo_region_t* region,
                         bool skipUnchanged) {
    cairo_save(context);
    cairo_surface_t* target = cairo_get_target(context);
    PixelRect area;
    if (cairo_surface_get_type(target) == CAIRO_SURFACE_TYPE_IMAGE) {
        area = {0, 0, cairo_image_surface_get_width(target), cairo_image_surface_get_height(target)};
    }
    if (region) {
        cairo_save(context);
        cairo_identity_matrix(context);
        for (int index = 0; index < cairo_region_num_rectangles(region); ++index) {
            cairo_rectangle_int_t rect;
            cairo_region_get_rectangle(region, index, &rect);
            cairo_rectangle(context, rect.x, rect.y, rect.width, rect.height);
        }
        cairo_restore(context);
        cairo_clip(context);
        cairo_rectangle_int_t extents;
        cairo_region_get_extents(region, &extents);
        area = {extents.x, extents.y, extents.width, extents.height};
    }
    const bool usable = scale > 0 && root.layer();
    const bool opaqueRoot = usable && rootCoversOpaquely(root, scale, context, area);
    if (!opaqueRoot) {
        if (_backdrop) {
            cairo_set_operator(context, CAIRO_OPERATOR_SOURCE);
            cairo_set_source_rgb(context, _backdrop->red, _backdrop->green, _backdrop->blue);
        } else {
            cairo_set_operator(context, CAIRO_OPERATOR_CLEAR);
        }
        cairo_paint(context);
        cairo_set_operator(context, CAIRO_OPERATOR_OVER);
    }
    if (usable) {
        cairo_scale(context, scale, scale);
        Compositor(*this, context, scale, skipUnchanged ? region : nullptr, opaqueRoot)
            .paint(root.layer(), true);
    }
    cairo_restore(context);
    _spareSurfaces.clear();
}

bool Renderer::rootCoversOpaquely(UIView& root, CGFloat scale, cairo_t* context, PixelRect area) {
    const Ptr<CALayer>& layer = root.layer();
    const auto state = visibleLayerState(*layer);
    cairo_matrix_t matrix;
    cairo_get_matrix(context, &matrix);
    const bool plainTarget = matrix.xx == 1 && matrix.yy == 1 && matrix.xy == 0 && matrix.yx == 0 &&
                             matrix.x0 == 0 && matrix.y0 == 0;
    if (!plainTarget || area.isEmpty() || !state || state->opacity < 1 || layer->mask()) {
        return false;
    }
    PixelSize covered;
    if (plainBackgroundOf(*layer)) {
        // Opaque content is an opaque colour over whole pixels.
        if (layerContentOf(*layer, state->bounds, scale) != LayerContent::Opaque) {
            return false;
        }
        covered = pixelSizeFor(state->bounds.size, scale);
    } else {
        const Store& store = storeFor(layer, state->bounds, scale);
        if (!store.pixels || !store.opaque) {
            return false;
        }
        covered = {cairo_image_surface_get_width(store.pixels.get()),
                   cairo_image_surface_get_height(store.pixels.get())};
    }
    // The root is placed at the target's top left.
    return area.x >= 0 && area.y >= 0 && area.x + area.width <= covered.width &&
           area.y + area.height <= covered.height;
}

bool Renderer::Store::holdsContentOf(const Ptr<CALayer>& layer, CGRect bounds) const {
    return isSameLayer(this->layer, layer) && contentGeneration == layer->contentGeneration() &&
           CGRectEqualToRect(this->bounds, bounds) && cornerRadius == layer->cornerRadius();
}

const Renderer::Store& Renderer::storeFor(const std::shared_ptr<CALayer>& layer, CGRect bounds, CGFloat scale,
                                          cairo_format_t format) {
    Store& store = _stores[layer.get()];
    const CGFloat radius = layer->cornerRadius();
    const CGFloat clampedRadius = UIGraphicsClampedCornerRadius(bounds.size, radius);
    const bool roundedClip = layer->masksToBounds() && clampedRadius > 0 && format == CAIRO_FORMAT_ARGB32;
    const bool current = store.holdsContentOf(layer, bounds) && store.scale == scale &&
                         store.format == format && store.roundedClip == roundedClip;
    store.lastShownFrame = _frame;
    if (current) {
        return store;
    }
    store.layer = layer;
    store.contentGeneration = layer->contentGeneration();
    store.bounds = bounds;
    store.cornerRadius = radius;
    store.scale = scale;
    store.format = format;
    store.opaque = false;
    store.cornersCut = false;
    store.roundedClip = roundedClip;
    store.opaqueColumns = {};
    store.inkedRows = {};
    UICairoSurface previous = std::move(store.pixels);
    const PixelSize pixels = pixelSizeFor(bounds.size, scale);
    // A layer too large for a store is drawn straight into each frame instead.
    store.tooLarge = pixels.isEmpty() && bounds.size.width * scale >= 1 && bounds.size.height * scale >= 1;
    const LayerContent content =
        pixels.isEmpty() ? LayerContent::Nothing : layerContentOf(*layer, bounds, scale);
    if (content == LayerContent::Nothing) {
        keepAsSpare(std::move(previous));
        return store;
    }
    // Opaque content covers every pixel: what a used surface held needs no clearing.
    UICairoSurface surface =
        surfaceFor(format, pixels.width, pixels.height, std::move(previous), content != LayerContent::Opaque);
    if (!surface) {
        return store;
    }
    const GradientLines linesAlike = linesAlikeInStore(*layer, bounds, scale);
    {
        auto context = UICairoContextCreate(surface.get());
        if (linesAlike != GradientLines::Differ) {
            const bool rows = linesAlike == GradientLines::RowsAlike;
            cairo_rectangle(context.get(), 0, 0, rows ? pixels.width : 1, rows ? 1 : pixels.height);
            cairo_clip(context.get());
        }
        cairo_scale(context.get(), scale, scale);
        cairo_translate(context.get(), -bounds.origin.x, -bounds.origin.y);
        paintLayerContent(context.get(), *layer, bounds);
    }
    cairo_surface_flush(surface.get());
    if (linesAlike != GradientLines::Differ) {
        repeatFirstLine(surface.get(), linesAlike);
    }
    store.inkedRows =
        content == LayerContent::Opaque ? std::pair<int, int>{0, pixels.height} : inkedRowsOf(surface.get());
    if (store.inkedRows.second > store.inkedRows.first) {
        // One stored pixel per device pixel wherever it is composited.
        cairo_surface_set_device_scale(surface.get(), scale, scale);
        store.opaque = content == LayerContent::Opaque;
        store.cornersCut = roundedClip && coversWholePixels(bounds.size, scale) &&
                           cutCorners(surface.get(), clampedRadius * scale);
        if (format == CAIRO_FORMAT_A8) {
            store.opaqueColumns = opaqueColumnsOf(surface.get());
        }
        store.pixels = std::move(surface);
    } else {
        keepAsSpare(std::move(surface));
    }
    return store;
}

UICairoSurface Renderer::surfaceFor(cairo_format_t format, int width, int height, UICairoSurface previous,
                                    bool cleared) {
    const auto fits = [&](const UICairoSurface& surface) {
        return surface && cairo_image_surface_get_format(surface.get()) == format &&
               cairo_image_surface_get_width(surface.get()) == width &&
               cairo_image_surface_get_height(surface.get()) == height;
    };
    UICairoSurface surface;
    if (fits(previous)) {
        surface = std::move(previous);
    } else {
        keepAsSpare(std::move(previous));
        const auto spare = std::find_if(_spareSurfaces.begin(), _spareSurfaces.end(), fits);
        if (spare != _spareSurfaces.end()) {
            surface = std::move(*spare);
            _spareSurfaces.erase(spare);
        }
    }
    if (surface) {
        // Drawn at one device pixel per unit, as a new surface is.
        cairo_surface_set_device_scale(surface.get(), 1, 1);
        if (cleared) {
            clearSurface(surface.get());
        }
        return surface;
    }
    surface = UICairoSurface(cairo_image_surface_create(format, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return {};
    }
    return surface;
}

bool Renderer::cutCorners(cairo_surface_t* surface, double radius) {
    const int side = static_cast<int>(std::ceil(radius));
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    if (side <= 0 || 2 * side > width || 2 * side > height) {
        return false;
    }
    // A rounded square a little wider than two corners, drawn through the rounded
    // clip itself: each of its corners has the coverage the clip gives that corner
    // of any whole-pixel box (Cairo's coverage is not symmetric, so none is mirrored).
    const int maskSide = 2 * side + 2;
    UICairoSurface& mask = _cornerMasks[radius];
    if (!mask) {
        mask = UICairoSurface(cairo_image_surface_create(CAIRO_FORMAT_A8, maskSide, maskSide));
        auto context = UICairoContextCreate(mask.get());
        UIGraphicsAddRoundedRect(context.get(), CGRectMake(0, 0, maskSide, maskSide), radius);
        cairo_clip(context.get());
        cairo_paint(context.get());
        cairo_surface_flush(mask.get());
    }
    if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS) {
        _cornerMasks.erase(radius);
        return false;
    }
    const unsigned char* coverage = cairo_image_surface_get_data(mask.get());
    const int maskStride = cairo_image_surface_get_stride(mask.get());
    unsigned char* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    cairo_surface_flush(surface);
    // Each corner's square: where it starts in the mask and in the surface.
    const std::array<std::array<int, 4>, 4> corners = {
        {{0, 0, 0, 0},
         {maskSide - side, 0, width - side, 0},
         {0, maskSide - side, 0, height - side},
         {maskSide - side, maskSide - side, width - side, height - side}}};
    for (const auto& [maskX, maskY, surfaceX, surfaceY] : corners) {
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                const unsigned kept = coverage[(maskY + y) * maskStride + maskX + x];
                if (kept == 0xFF) {
                    continue;
                }
                // Premultiplied: every channel scales.
                unsigned char* pixel = pixels + (surfaceY + y) * stride + (surfaceX + x) * 4;
                for (int channel = 0; channel < 4; ++channel) {
                    pixel[channel] = static_cast<unsigned char>((pixel[channel] * kept + 127) / 255);
                }
            }
        }
    }
    cairo_surface_mark_dirty(surface);
    if (_cornerMasks.size() > 8) {
        const UICairoSurface kept = std::move(mask);
        _cornerMasks.clear();
        _cornerMasks[radius] = kept;
    }
    return true;
}

void Renderer::keepAsSpare(UICairoSurface surface) {
    if (surface) {
        _spareSurfaces.push_back(std::move(surface));
    }
}

void Renderer::setBackdrop(std::optional<Backdrop> backdrop) {
    if (_backdrop == backdrop) {
        return;
    }
    _backdrop = backdrop;
    // What was cleared to the old backdrop shows through: draw the next frame whole.
    _target = {};
}

void Renderer::dropStaleStores() {
    std::erase_if(_stores, [this](const auto& entry) {
        return entry.second.layer.expired() ||
               _frame - entry.second.lastShownFrame > kFramesBeforeDroppingAStore;
    });
}

void Renderer::discardStores() {
    for (auto& entry : _stores) {
        keepAsSpare(std::move(entry.second.pixels));
    }
    _stores.clear();
}

std::size_t Renderer::storeCount() const {
    return static_cast<std::size_t>(std::count_if(
        _stores.begin(), _stores.end(), [](const auto& entry) { return bool(entry.second.pixels); }));
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
