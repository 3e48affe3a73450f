// UILabel: drawing the text.
#include <algorithm>
#include <cmath>
#include <optional>
#include <pango/pangocairo.h>
#include <string>

#include "UIKit/UIGraphics.h"
#include "UIKit/UILabel.h"
#include "UIKit/UITextMeasurement.h"

namespace {

// A font never shrinks below this when the label adjusts its size to fit.
constexpr CGFloat kSmallestAdjustedFontSize = 4;

PangoAlignment pangoAlignment(NSTextAlignment alignment) {
    switch (alignment) {
    case NSTextAlignmentCenter:
        return PANGO_ALIGN_CENTER;
    case NSTextAlignmentRight:
        return PANGO_ALIGN_RIGHT;
    default:
        return PANGO_ALIGN_LEFT;
    }
}

// Where a line of `lineWidth` starts in a box of `boxWidth` under `alignment`.
CGFloat alignedOffset(NSTextAlignment alignment, CGFloat boxWidth, CGFloat lineWidth) {
    switch (alignment) {
    case NSTextAlignmentCenter:
        return (boxWidth - lineWidth) / 2;
    case NSTextAlignmentRight:
        return boxWidth - lineWidth;
    default:
        return 0;
    }
}

// `y` moved to the nearest device pixel row, so that text sits on whole pixels
// vertically at any scale; horizontal positions stay exact so that moving text moves smoothly.
CGFloat snappedToDeviceRow(cairo_t* context, CGFloat y) {
    double x = 0;
    double deviceY = y;
    cairo_user_to_device(context, &x, &deviceY);
    deviceY = std::round(deviceY);
    cairo_device_to_user(context, &x, &deviceY);
    return deviceY;
}

struct LayoutLine {
    PangoLayoutLine* line;
    PangoRectangle logical;
    int baseline;
};

} // namespace

void UILabel::drawRect(CGRect rect) {
    cairo_t* context = UIGraphicsGetCurrentContext();
    if (!context || !_text || _text->UTF8String().empty()) {
        return;
    }
    const CGRect box = CGRectStandardize(bounds());
    if (!(box.size.width > 0) || !(box.size.height > 0)) {
        return;
    }
    Ptr<UIFont> font = _font ? _font : UIFont::systemFontOfSize(UIFont::labelFontSize());
    const std::string& text = _text->UTF8String();
    const auto widthLimit = UITextMeasurement::limitForExtent(box.size.width);

    if (_adjustsFontSizeToFitWidth && _numberOfLines == 1 && widthLimit) {
        PangoLayout* natural = _naturalText.layoutText(text, *font, std::nullopt, _lineBreakMode, 0);
        PangoRectangle logical{};
        pango_layout_get_extents(natural, nullptr, &logical);
        const CGFloat naturalWidth = static_cast<CGFloat>(logical.width) / PANGO_SCALE;
        if (naturalWidth > *widthLimit && naturalWidth > 0) {
            const CGFloat smallest = std::max(_minimumFontSize, kSmallestAdjustedFontSize);
            const CGFloat size = std::max(smallest, font->pointSize() * *widthLimit / naturalWidth);
            font = font->fontWithSize(size);
        }
    }
    PangoLayout* layout = _drawnText.layoutText(text, *font, widthLimit, _lineBreakMode, _numberOfLines);
    const bool boxed = pango_layout_get_width(layout) > 0;
    // An unlimited layout is aligned below, line by line.
    pango_layout_set_alignment(layout, boxed ? pangoAlignment(_textAlignment) : PANGO_ALIGN_LEFT);

    // The lines shown: at most numberOfLines, and as many as the height holds (at
    // least one), as the label measures them.
    std::vector<LayoutLine> lines;
    CGFloat height = 0;
    PangoLayoutIter* iterator = pango_layout_get_iter(layout);
    do {
        LayoutLine line{
            pango_layout_iter_get_line_readonly(iterator), {}, pango_layout_iter_get_baseline(iterator)};
        pango_layout_iter_get_line_extents(iterator, nullptr, &line.logical);
        const CGFloat lineHeight = static_cast<CGFloat>(line.logical.height) / PANGO_SCALE;
        const bool overLineLimit =
            _numberOfLines > 0 && static_cast<NSInteger>(lines.size()) >= _numberOfLines;
        if (!lines.empty() && (overLineLimit || height + lineHeight > box.size.height + 1e-6)) {
            break;
        }
        lines.push_back(line);
        height += lineHeight;
    } while (pango_layout_iter_next_line(iterator));
    pango_layout_iter_free(iterator);
    if (lines.empty()) {
        return;
    }
    const int firstLineTop = lines.front().logical.y;
    const CGFloat top = snappedToDeviceRow(context, box.origin.y + (box.size.height - height) / 2);

    auto drawLines = [&](CGFloat dx, CGFloat dy) {
        for (const auto& line : lines) {
            CGFloat x = box.origin.x + static_cast<CGFloat>(line.logical.x) / PANGO_SCALE;
            if (!boxed) {
                x = box.origin.x + alignedOffset(_textAlignment, box.size.width,
                                                 static_cast<CGFloat>(line.logical.width) / PANGO_SCALE);
            }
            const CGFloat baseline = top + static_cast<CGFloat>(line.baseline - firstLineTop) / PANGO_SCALE;
            cairo_move_to(context, x + dx, baseline + dy);
            pango_cairo_show_layout_line(context, line.line);
        }
    };

    cairo_save(context);
    // Drawn text is cut at the bounds, as a label's backing store would cut it.
    cairo_rectangle(context, box.origin.x, box.origin.y, box.size.width, box.size.height);
    cairo_clip(context);
    if (_shadowColor && _shadowColor->alpha() > 0) {
        UIGraphicsSetSourceColor(context, _shadowColor.get());
        drawLines(_shadowOffset.width, _shadowOffset.height);
    }
    const Ptr<UIColor>& color = _highlighted && _highlightedTextColor ? _highlightedTextColor : _textColor;
    if (color) {
        UIGraphicsSetSourceColor(context, color.get());
    } else {
        cairo_set_source_rgb(context, 0, 0, 0);
    }
    drawLines(0, 0);
    cairo_restore(context);
}
