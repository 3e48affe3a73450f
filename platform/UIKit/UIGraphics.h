#pragma once

#include <cairo.h>

#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGGeometry.h"

class UIColor;
class UIImage;

// The drawing context of drawRect: a stack of Cairo contexts. Whoever asks a view
// to draw pushes the context first and pops it afterwards; drawRect draws into
// the top one, in the view's bounds coordinates, one user-space unit per point.

// The context drawing goes to now, or nullptr outside drawing.
cairo_t* UIGraphicsGetCurrentContext();
// Makes `context` current until the matching pop. The caller keeps ownership.
void UIGraphicsPushContext(cairo_t* context);
// Restores the context that was current before the last push. A pop without a
// push is a programming error.
void UIGraphicsPopContext();

// Draws `image` into `rect` of the current context (nothing without one) at
// `alpha`. A stretchable image keeps its caps at their size and stretches the
// one-point strip after each cap; when `rect` is smaller than the caps, the caps
// shrink proportionally. An empty or non-finite rectangle draws nothing.
void UIImageDrawInRect(const UIImage& image, CGRect rect, CGFloat alpha = 1);

// Adds the outline of `rect` with corners rounded by `radius` to the path of
// `context`. The radius is clamped to [0, half the shorter side]; NaN counts as 0.
void UIGraphicsAddRoundedRect(cairo_t* context, CGRect rect, CGFloat radius);
// The radius UIGraphicsAddRoundedRect uses for `radius` on `size`.
CGFloat UIGraphicsClampedCornerRadius(CGSize size, CGFloat radius);

// Sets `color` as the source of `context`, its alpha multiplied by `alpha`; nil
// sets a fully transparent source.
void UIGraphicsSetSourceColor(cairo_t* context, const UIColor* color, CGFloat alpha = 1);
void UIGraphicsSetSourceCGColor(cairo_t* context, const CGColor* color, CGFloat alpha = 1);
