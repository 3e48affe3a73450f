#include "render/LayerPainter.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <typeinfo>

#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CALayer.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIView.h"
#include "render/Gradient.h"

namespace render {

namespace {

// Coordinates beyond this many points are not geometry anyone meant; Cairo's
// fixed-point coordinates would overflow soon after.
constexpr double kLargestCoordinate = 1.0e6;

bool isSane(double value) {
    return std::isfinite(value) && std::abs(value) <= kLargestCoordinate;
}

bool isSane(CGRect rect) {
    return isSane(rect.origin.x) && isSane(rect.origin.y) && isSane(rect.size.width) &&
           isSane(rect.size.height);
}

} // namespace

std::optional<LayerState> visibleLayerState(const CALayer& layer) {
    if (layer.isHidden()) {
        return std::nullopt;
    }
    const double opacity = layer.presentationOpacity();
    if (!(opacity > 0)) {
        return std::nullopt;
    }
    LayerState state{CGRectStandardize(layer.presentationBounds()), layer.presentationPosition(),
                     std::min(opacity, 1.0)};
    if (!isSane(state.bounds) || !isSane(state.position.x) || !isSane(state.position.y)) {
        return std::nullopt;
    }
    return state;
}

namespace {

std::optional<LayerState> visibleState(const CALayer& layer) {
    return visibleLayerState(layer);
}

class Painter {
public:
    explicit Painter(cairo_t* context) : _context(context) {}

    // Draws `layer`; `asRoot` leaves its position out.
    void paint(CALayer& layer, bool asRoot) {
        const auto state = visibleState(layer);
        if (!state) {
            return;
        }
        cairo_save(_context);
        if (!asRoot) {
            // The anchor point is the centre: the position is where the bounds' middle goes.
            cairo_translate(_context, state->position.x - state->bounds.size.width / 2,
                            state->position.y - state->bounds.size.height / 2);
        }
        cairo_translate(_context, -state->bounds.origin.x, -state->bounds.origin.y);
        paintInBoundsSpace(layer, *state);
        cairo_restore(_context);
    }

    void paintInBoundsSpace(CALayer& layer, const LayerState& state) {
        const CGRect box = state.bounds;
        const CGFloat radius = UIGraphicsClampedCornerRadius(box.size, layer.cornerRadius());
        if (layer.masksToBounds()) {
            UIGraphicsAddRoundedRect(_context, box, radius);
            cairo_clip(_context);
        }
        const Ptr<CALayer>& mask = layer.mask();
        const bool grouped = mask || state.opacity < 1;
        if (grouped) {
            cairo_push_group(_context);
        }
        paintContent(layer, box, radius);
        for (const auto& sublayer : layer.sublayers()) {
            paint(*sublayer, false);
        }
        if (!grouped) {
            return;
        }
        UICairoPatternPtr content(cairo_pop_group(_context));
        if (mask) {
            applyMask(*mask, content.get(), state.opacity);
        } else {
            cairo_set_source(_context, content.get());
            cairo_paint_with_alpha(_context, state.opacity);
        }
    }

    void paintContent(CALayer& layer, CGRect box, CGFloat radius) {
        if (auto view = layer.delegate()) {
            // The view's own background, not what an overriding getter reports for it.
            const Ptr<UIColor> background = view->UIView::backgroundColor();
            if (background && background->alpha() > 0) {
                UIGraphicsAddRoundedRect(_context, box, radius);
                UIGraphicsSetSourceColor(_context, background.get());
                cairo_fill(_context);
            }
            if (box.size.width > 0 && box.size.height > 0) {
                cairo_save(_context);
                // drawRect draws into the bounds, as into a backing store of that size.
                cairo_rectangle(_context, box.origin.x, box.origin.y, box.size.width, box.size.height);
                cairo_clip(_context);
                cairo_new_path(_context);
                UIGraphicsPushContext(_context);
                view->drawRect(box);
                UIGraphicsPopContext();
                cairo_restore(_context);
            }
            return;
        }
        if (const auto* gradient = dynamic_cast<const CAGradientLayer*>(&layer)) {
            if (auto pattern = makeGradientPattern(*gradient, box, 1)) {
                UIGraphicsAddRoundedRect(_context, box, radius);
                cairo_set_source(_context, pattern.get());
                cairo_fill(_context);
            }
        }
    }

    // Paints `content` through `mask`, whose frame lies in the masked layer's bounds
    // space: outside the mask's frame nothing of the content shows.
    void applyMask(CALayer& mask, cairo_pattern_t* content, double opacity) {
        const auto state = visibleState(mask);
        if (!state) {
            return;
        }
        const CGRect frame = CGRectMake(state->position.x - state->bounds.size.width / 2,
                                        state->position.y - state->bounds.size.height / 2,
                                        state->bounds.size.width, state->bounds.size.height);
        if (!(frame.size.width > 0) || !(frame.size.height > 0)) {
            return;
        }
        cairo_save(_context);
        cairo_rectangle(_context, frame.origin.x, frame.origin.y, frame.size.width, frame.size.height);
        cairo_clip(_context);
        const auto* gradient = dynamic_cast<const CAGradientLayer*>(&mask);
        if (gradient && mask.sublayers().empty() && !mask.mask()) {
            // A lone gradient is its own alpha: no need to draw it first.
            if (auto pattern = makeGradientPattern(*gradient, frame, state->opacity * opacity)) {
                cairo_set_source(_context, content);
                cairo_mask(_context, pattern.get());
            }
        } else {
            cairo_push_group(_context);
            paint(mask, false);
            UICairoPatternPtr alpha(cairo_pop_group(_context));
            if (opacity < 1) {
                cairo_push_group(_context);
            }
            cairo_set_source(_context, content);
            cairo_mask(_context, alpha.get());
            if (opacity < 1) {
                cairo_pop_group_to_source(_context);
                cairo_paint_with_alpha(_context, opacity);
            }
        }
        cairo_restore(_context);
    }

private:
    cairo_t* _context;
};

} // namespace

bool coversWholePixels(CGSize size, CGFloat scale) {
    const auto isWhole = [](double pixels) { return std::abs(pixels - std::round(pixels)) < 1e-9; };
    return isWhole(size.width * scale) && isWhole(size.height * scale);
}

LayerContent layerContentOf(const CALayer& layer, CGRect box, CGFloat scale) {
    const auto view = layer.delegate();
    if (!view) {
        return dynamic_cast<const CAGradientLayer*>(&layer) ? LayerContent::Unknown : LayerContent::Nothing;
    }
    const Ptr<UIColor> background = view->UIView::backgroundColor();
    const double alpha = background ? background->alpha() : 0;
    // A plain view's drawRect draws nothing; a subclass may draw anything.
    const UIView& drawing = *view;
    if (!(alpha > 0) && typeid(drawing) == typeid(UIView)) {
        return LayerContent::Nothing;
    }
    if (alpha >= 1 && UIGraphicsClampedCornerRadius(box.size, layer.cornerRadius()) == 0 &&
        coversWholePixels(box.size, scale)) {
        return LayerContent::Opaque;
    }
    return LayerContent::Unknown;
}

Ptr<UIColor> plainBackgroundOf(const CALayer& layer) {
    const auto view = layer.delegate();
    if (!view) {
        return nullptr;
    }
    if (const UIView& drawing = *view; typeid(drawing) != typeid(UIView)) {
        return nullptr;
    }
    Ptr<UIColor> background = view->UIView::backgroundColor();
    return background && background->alpha() > 0 ? background : nullptr;
}

void paintLayerContent(cairo_t* context, CALayer& layer, CGRect box) {
    Painter(context).paintContent(layer, box, UIGraphicsClampedCornerRadius(box.size, layer.cornerRadius()));
}

void paintThroughMask(cairo_t* context, CALayer& mask, cairo_pattern_t* content, double opacity) {
    Painter(context).applyMask(mask, content, opacity);
}

void paintLayerTree(cairo_t* context, UIView& view) {
    if (const auto& layer = view.layer()) {
        Painter(context).paint(*layer, true);
    }
}

void paintLayerTree(cairo_t* context, CALayer& layer) {
    Painter(context).paint(layer, true);
}

} // namespace render
