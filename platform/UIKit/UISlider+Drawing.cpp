// UISlider: drawing the tracks and the thumb.
#include <algorithm>
#include <cmath>

#include "UIKit/UIGraphics.h"
#include "UIKit/UIImage.h"
#include "UIKit/UISlider.h"

namespace {

// The plain look of a slider without images: a tinted track left of the thumb, a
// grey one right of it, and a white round thumb with a faint outline.
constexpr double kMinimumTrackColor[] = {0, 122.0 / 255, 1};
constexpr double kMaximumTrackColor[] = {0.72, 0.72, 0.74};
constexpr double kThumbOutlineAlpha = 0.25;

// Draws `image` over the part of `track` between `start` and `end`, at the image's
// own height, centred on the track.
void drawTrackImage(const UIImage& image, CGRect track, CGFloat start, CGFloat end) {
    const CGFloat height = image.size().height;
    UIImageDrawInRect(image, CGRectMake(start, CGRectGetMidY(track) - height / 2, end - start, height));
}

void drawPlainTrack(cairo_t* context, CGRect track, CGFloat start, CGFloat end, const double (&color)[3]) {
    if (end <= start) {
        return;
    }
    cairo_save(context);
    // The two halves of the plain track form one pill, cut where the thumb's centre is.
    cairo_rectangle(context, start, track.origin.y, end - start, track.size.height);
    cairo_clip(context);
    UIGraphicsAddRoundedRect(context, track, track.size.height / 2);
    cairo_set_source_rgb(context, color[0], color[1], color[2]);
    cairo_fill(context);
    cairo_restore(context);
}

void drawPlainThumb(cairo_t* context, CGRect thumb) {
    const CGFloat radius = std::min(thumb.size.width, thumb.size.height) / 2;
    if (radius <= 0) {
        return;
    }
    cairo_save(context);
    cairo_new_path(context);
    cairo_arc(context, CGRectGetMidX(thumb), CGRectGetMidY(thumb), radius - 0.5, 0, 2 * M_PI);
    cairo_set_source_rgb(context, 1, 1, 1);
    cairo_fill_preserve(context);
    cairo_set_line_width(context, 1);
    cairo_set_source_rgba(context, 0, 0, 0, kThumbOutlineAlpha);
    cairo_stroke(context);
    cairo_restore(context);
}

} // namespace

void UISlider::drawRect(CGRect rect) {
    cairo_t* context = UIGraphicsGetCurrentContext();
    if (!context) {
        return;
    }
    const CGRect box = CGRectStandardize(bounds());
    const CGRect track = trackRectForBounds(box);
    const CGRect thumb = thumbRectForBounds(box, track, _value);
    const CGFloat split = std::clamp(CGRectGetMidX(thumb), CGRectGetMinX(track), CGRectGetMaxX(track));

    if (auto minimumTrack = currentMinimumTrackImage()) {
        drawTrackImage(*minimumTrack, track, CGRectGetMinX(track), split);
    } else {
        drawPlainTrack(context, track, CGRectGetMinX(track), split, kMinimumTrackColor);
    }
    if (auto maximumTrack = currentMaximumTrackImage()) {
        drawTrackImage(*maximumTrack, track, split, CGRectGetMaxX(track));
    } else {
        drawPlainTrack(context, track, split, CGRectGetMaxX(track), kMaximumTrackColor);
    }
    if (auto thumbImage = currentThumbImage()) {
        UIImageDrawInRect(*thumbImage, thumb);
    } else {
        drawPlainThumb(context, thumb);
    }
}
