#include "UIKit/UIGraphics.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <vector>

#include "UIKit/UIColor.h"
#include "UIKit/UIImage.h"

namespace {

std::vector<cairo_t*>& contextStack() {
    static std::vector<cairo_t*> stack;
    return stack;
}

bool isFiniteRect(CGRect rect) {
    return std::isfinite(rect.origin.x) && std::isfinite(rect.origin.y) && std::isfinite(rect.size.width) &&
           std::isfinite(rect.size.height);
}

// One stretch of an axis: where it comes from in the image (points) and where it goes.
struct Span {
    CGFloat sourceStart;
    CGFloat sourceEnd;
    CGFloat destinationStart;
    CGFloat destinationEnd;
};

// The spans one axis of an image of `length` points splits into, with fixed caps of
// `startCap` and `endCap` points, drawn over [start, end]. `minimumStrip` is the
// smallest source strip that still holds a pixel.
std::vector<Span> axisSpans(CGFloat length, CGFloat startCap, CGFloat endCap, CGFloat start, CGFloat end,
                            CGFloat minimumStrip) {
    startCap = std::clamp(startCap, 0.0, length);
    endCap = std::clamp(endCap, 0.0, length - startCap);
    if (startCap + endCap <= 0) {
        return {{0, length, start, end}};
    }
    const CGFloat available = end - start;
    std::vector<Span> spans;
    if (available < startCap + endCap) {
        // Too small for the caps: they shrink together and nothing stretches.
        const CGFloat split = start + available * startCap / (startCap + endCap);
        spans.push_back({0, startCap, start, split});
        spans.push_back({length - endCap, length, split, end});
    } else {
        const CGFloat middleStart = start + startCap;
        const CGFloat middleEnd = end - endCap;
        CGFloat stripStart = startCap;
        CGFloat stripEnd = length - endCap;
        if (stripEnd - stripStart < minimumStrip) {
            // Caps that cover the whole image leave no strip: stretch their seam's last pixel.
            stripStart = std::max(0.0, std::min(startCap, length - minimumStrip));
            stripEnd = stripStart + minimumStrip;
        }
        spans.push_back({0, startCap, start, middleStart});
        spans.push_back({stripStart, stripEnd, middleStart, middleEnd});
        spans.push_back({length - endCap, length, middleEnd, end});
    }
    std::erase_if(spans, [](const Span& span) {
        return span.destinationEnd - span.destinationStart <= 0 || span.sourceEnd - span.sourceStart <= 0;
    });
    return spans;
}

// Moves the inner seams of the spans onto device pixels, so that neighbouring
// pieces meet without an anti-aliased gap between them.
void snapSeams(cairo_t* context, std::vector<Span>& spans, bool horizontal) {
    cairo_matrix_t matrix;
    cairo_get_matrix(context, &matrix);
    if (matrix.xy != 0 || matrix.yx != 0) {
        return;
    }
    const double scale = horizontal ? matrix.xx : matrix.yy;
    const double offset = horizontal ? matrix.x0 : matrix.y0;
    if (scale == 0) {
        return;
    }
    for (std::size_t i = 1; i < spans.size(); ++i) {
        const double seam = (std::round(spans[i].destinationStart * scale + offset) - offset) / scale;
        spans[i - 1].destinationEnd = seam;
        spans[i].destinationStart = seam;
    }
}

// The pattern that lays the piece of `surface` at `source` (pixels) over the
// destination rectangle at (`x`, `y`) of `width` x `height`, in the target's units.
UICairoPatternPtr piecePattern(cairo_surface_t* surface, const std::array<double, 4>& source, bool wholeImage,
                               double x, double y, double width, double height) {
    // A piece reads only its own pixels, so stretching a strip never smears a cap into it.
    const UICairoSurface piece(
        wholeImage ? cairo_surface_reference(surface)
                   : cairo_surface_create_for_rectangle(surface, source[0], source[1], source[2], source[3]));
    UICairoPatternPtr pattern(cairo_pattern_create_for_surface(piece.get()));
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    cairo_matrix_t matrix;
    cairo_matrix_init_scale(&matrix, source[2] / width, source[3] / height);
    cairo_matrix_translate(&matrix, -x, -y);
    cairo_pattern_set_matrix(pattern.get(), &matrix);
    return pattern;
}

// The piece resampled to the device pixels of the destination, when the destination
// lies on whole device pixels and is not rotated: made once and kept on the image.
// Resampling onto those pixels samples the image where drawing straight into the
// target would, so the pixels are the same. Nil otherwise; `deviceX`, `deviceY` get
// where it goes.
cairo_surface_t* resampledPiece(cairo_t* context, const UIImage& image, const std::array<double, 4>& source,
                                bool wholeImage, const Span& column, const Span& row, int& deviceX,
                                int& deviceY) {
    cairo_matrix_t matrix;
    cairo_get_matrix(context, &matrix);
    if (matrix.xy != 0 || matrix.yx != 0 || !(matrix.xx > 0) || !(matrix.yy > 0)) {
        return nullptr;
    }
    double left = column.destinationStart;
    double top = row.destinationStart;
    double right = column.destinationEnd;
    double bottom = row.destinationEnd;
    cairo_user_to_device(context, &left, &top);
    cairo_user_to_device(context, &right, &bottom);
    const auto isWhole = [](double value) { return std::abs(value - std::round(value)) < 1e-6; };
    const double width = std::round(right) - std::round(left);
    const double height = std::round(bottom) - std::round(top);
    if (!isWhole(left) || !isWhole(top) || !isWhole(right) || !isWhole(bottom) || !(width >= 1) ||
        !(height >= 1) || width * height > UIImage::kResampledPixelsKept) {
        return nullptr;
    }
    deviceX = static_cast<int>(std::round(left));
    deviceY = static_cast<int>(std::round(top));
    auto& pieces = image.resampledPieces();
    const auto found = std::find_if(pieces.begin(), pieces.end(), [&](const UIImage::ResampledPiece& piece) {
        return piece.source == source && piece.width == width && piece.height == height;
    });
    if (found != pieces.end()) {
        return found->pixels.get();
    }
    UICairoSurface pixels(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height)));
    if (cairo_surface_status(pixels.get()) != CAIRO_STATUS_SUCCESS) {
        return nullptr;
    }
    {
        const UICairoContextPtr resampling = UICairoContextCreate(pixels.get());
        const auto pattern = piecePattern(image.cairoSurface(), source, wholeImage, 0, 0, width, height);
        cairo_set_source(resampling.get(), pattern.get());
        cairo_set_operator(resampling.get(), CAIRO_OPERATOR_SOURCE);
        cairo_paint(resampling.get());
    }
    cairo_surface_flush(pixels.get());
    // The oldest go first, to keep within the count and the pixels kept.
    double kept = width * height;
    for (const auto& piece : pieces) {
        kept += double(piece.width) * piece.height;
    }
    while (!pieces.empty() &&
           (pieces.size() >= UIImage::kResampledPiecesKept || kept > UIImage::kResampledPixelsKept)) {
        kept -= double(pieces.front().width) * pieces.front().height;
        pieces.erase(pieces.begin());
    }
    pieces.push_back({source, static_cast<int>(width), static_cast<int>(height), std::move(pixels)});
    return pieces.back().pixels.get();
}

void drawPiece(cairo_t* context, const UIImage& image, const Span& column, const Span& row, bool wholeImage,
               CGFloat alpha) {
    const CGFloat scale = image.scale();
    const std::array<double, 4> source = {column.sourceStart * scale, row.sourceStart * scale,
                                          (column.sourceEnd - column.sourceStart) * scale,
                                          (row.sourceEnd - row.sourceStart) * scale};
    const double destinationWidth = column.destinationEnd - column.destinationStart;
    const double destinationHeight = row.destinationEnd - row.destinationStart;
    if (destinationWidth <= 0 || destinationHeight <= 0 || source[2] <= 0 || source[3] <= 0) {
        return;
    }
    cairo_save(context);
    int deviceX = 0;
    int deviceY = 0;
    if (cairo_surface_t* pixels =
            resampledPiece(context, image, source, wholeImage, column, row, deviceX, deviceY)) {
        cairo_identity_matrix(context);
        cairo_set_source_surface(context, pixels, deviceX, deviceY);
        cairo_rectangle(context, deviceX, deviceY, cairo_image_surface_get_width(pixels),
                        cairo_image_surface_get_height(pixels));
    } else {
        const auto pattern = piecePattern(image.cairoSurface(), source, wholeImage, column.destinationStart,
                                          row.destinationStart, destinationWidth, destinationHeight);
        cairo_set_source(context, pattern.get());
        cairo_rectangle(context, column.destinationStart, row.destinationStart, destinationWidth,
                        destinationHeight);
    }
    if (alpha >= 1) {
        cairo_fill(context);
    } else {
        cairo_clip(context);
        cairo_paint_with_alpha(context, alpha);
    }
    cairo_restore(context);
}

} // namespace

cairo_t* UIGraphicsGetCurrentContext() {
    const auto& stack = contextStack();
    return stack.empty() ? nullptr : stack.back();
}

void UIGraphicsPushContext(cairo_t* context) {
    contextStack().push_back(context);
}

void UIGraphicsPopContext() {
    auto& stack = contextStack();
    assert(!stack.empty() && "UIGraphicsPopContext without a push");
    if (!stack.empty()) {
        stack.pop_back();
    }
}

void UIImageDrawInRect(const UIImage& image, CGRect rect, CGFloat alpha) {
    cairo_t* context = UIGraphicsGetCurrentContext();
    cairo_surface_t* surface = image.cairoSurface();
    if (!context || !surface || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        return;
    }
    if (!isFiniteRect(rect) || !(alpha > 0)) {
        return;
    }
    rect = CGRectStandardize(rect);
    const CGSize size = image.size();
    const CGFloat scale = image.scale();
    if (rect.size.width <= 0 || rect.size.height <= 0 || size.width <= 0 || size.height <= 0 || scale <= 0) {
        return;
    }
    const UIEdgeInsets caps = image.isStretchable() ? image.capInsets() : UIEdgeInsets{};
    const CGFloat onePixel = 1 / scale;
    auto columns =
        axisSpans(size.width, caps.left, caps.right, CGRectGetMinX(rect), CGRectGetMaxX(rect), onePixel);
    auto rows =
        axisSpans(size.height, caps.top, caps.bottom, CGRectGetMinY(rect), CGRectGetMaxY(rect), onePixel);
    snapSeams(context, columns, true);
    snapSeams(context, rows, false);
    const bool wholeImage = columns.size() == 1 && rows.size() == 1;
    for (const auto& row : rows) {
        for (const auto& column : columns) {
            drawPiece(context, image, column, row, wholeImage, std::min<CGFloat>(alpha, 1));
        }
    }
}

CGFloat UIGraphicsClampedCornerRadius(CGSize size, CGFloat radius) {
    if (std::isnan(radius) || radius <= 0) {
        return 0;
    }
    const CGFloat shorter = std::min(std::abs(size.width), std::abs(size.height));
    if (!std::isfinite(shorter)) {
        return 0;
    }
    return std::min(radius, shorter / 2);
}

void UIGraphicsAddRoundedRect(cairo_t* context, CGRect rect, CGFloat radius) {
    if (!isFiniteRect(rect)) {
        return;
    }
    rect = CGRectStandardize(rect);
    const CGFloat r = UIGraphicsClampedCornerRadius(rect.size, radius);
    if (r <= 0) {
        cairo_rectangle(context, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
        return;
    }
    const CGFloat left = CGRectGetMinX(rect);
    const CGFloat top = CGRectGetMinY(rect);
    const CGFloat right = CGRectGetMaxX(rect);
    const CGFloat bottom = CGRectGetMaxY(rect);
    cairo_new_sub_path(context);
    cairo_arc(context, right - r, top + r, r, -M_PI / 2, 0);
    cairo_arc(context, right - r, bottom - r, r, 0, M_PI / 2);
    cairo_arc(context, left + r, bottom - r, r, M_PI / 2, M_PI);
    cairo_arc(context, left + r, top + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(context);
}

void UIGraphicsSetSourceColor(cairo_t* context, const UIColor* color, CGFloat alpha) {
    if (!color) {
        cairo_set_source_rgba(context, 0, 0, 0, 0);
        return;
    }
    cairo_set_source_rgba(context, color->red(), color->green(), color->blue(), color->alpha() * alpha);
}

void UIGraphicsSetSourceCGColor(cairo_t* context, const CGColor* color, CGFloat alpha) {
    if (!color) {
        cairo_set_source_rgba(context, 0, 0, 0, 0);
        return;
    }
    cairo_set_source_rgba(context, color->red(), color->green(), color->blue(), color->alpha() * alpha);
}
