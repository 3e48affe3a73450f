// UIButton: drawing the background image, the image and the title.
#include <algorithm>
#include <pango/pangocairo.h>
#include <string>

#include "UIKit/UIButton.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIImage.h"
#include "UIKit/UITextMeasurement.h"

namespace {

// The title's font and the room between an image and a title beside it.
constexpr CGFloat kTitleFontSize = 15;
constexpr CGFloat kImageTitleSpacing = 4;
// How much darker a highlighted image is drawn.
constexpr double kHighlightDarkening = 1.0 / 3.0;

// `size` scaled down, keeping its aspect, to fit `limit`; never scaled up.
CGSize fittedSize(CGSize size, CGSize limit) {
    if (size.width <= 0 || size.height <= 0) {
        return CGSizeZero;
    }
    const CGFloat scale = std::min({1.0, limit.width / size.width, limit.height / size.height});
    return CGSizeMake(size.width * std::max(scale, 0.0), size.height * std::max(scale, 0.0));
}

} // namespace

void UIButton::drawRect(CGRect rect) {
    cairo_t* context = UIGraphicsGetCurrentContext();
    if (!context) {
        return;
    }
    const CGRect box = CGRectStandardize(bounds());
    const bool darken = isHighlighted();
    if (darken) {
        // The darkening covers only the images' own pixels: draw them into a group first.
        cairo_push_group(context);
    }
    if (auto background = currentBackgroundImage()) {
        UIImageDrawInRect(*background, box);
    }

    const auto image = currentImage();
    const auto title = currentTitle();
    const bool hasTitle = title && !title->UTF8String().empty();
    UIGObjectPtr<PangoLayout> layout;
    CGSize titleSize = CGSizeZero;
    if (hasTitle) {
        const auto font = UIFont::systemFontOfSize(kTitleFontSize);
        layout = UITextMeasurement::createLayout(context);
        UITextMeasurement::configureLayout(layout.get(), *font, title->UTF8String(), std::nullopt,
                                           NSLineBreakByClipping);
        PangoRectangle logical{};
        pango_layout_get_extents(layout.get(), nullptr, &logical);
        titleSize = CGSizeMake(static_cast<CGFloat>(logical.width) / PANGO_SCALE,
                               static_cast<CGFloat>(logical.height) / PANGO_SCALE);
    }
    const CGSize imageSize = image ? fittedSize(image->size(), box.size) : CGSizeZero;
    const CGFloat spacing = image && hasTitle ? kImageTitleSpacing : 0;
    // Image and title sit side by side, centred together.
    const CGFloat contentWidth = imageSize.width + spacing + titleSize.width;
    const CGFloat left = CGRectGetMidX(box) - contentWidth / 2;
    if (image) {
        UIImageDrawInRect(*image, CGRectMake(left, CGRectGetMidY(box) - imageSize.height / 2, imageSize.width,
                                             imageSize.height));
    }
    if (darken) {
        cairo_set_operator(context, CAIRO_OPERATOR_ATOP);
        cairo_set_source_rgba(context, 0, 0, 0, kHighlightDarkening);
        cairo_paint(context);
        cairo_pop_group_to_source(context);
        cairo_paint(context);
    }
    if (hasTitle) {
        // A pressed title fades, as the platform's buttons do.
        const double alpha = isHighlighted() ? 0.5 : 1;
        if (_buttonType == UIButtonTypeCustom) {
            cairo_set_source_rgba(context, 1, 1, 1, alpha);
        } else {
            cairo_set_source_rgba(context, 0, 122.0 / 255, 1, alpha);
        }
        cairo_save(context);
        cairo_rectangle(context, box.origin.x, box.origin.y, box.size.width, box.size.height);
        cairo_clip(context);
        cairo_move_to(context, left + imageSize.width + spacing, CGRectGetMidY(box) - titleSize.height / 2);
        pango_cairo_show_layout(context, layout.get());
        cairo_restore(context);
    }
}
