#include "UIKit/UIPangoTextMeasurement.h"

#include <pango/pangocairo.h>

#include "UIKit/UIFont.h"

UIPangoTextMeasurement::UIPangoTextMeasurement()
    : _fontMap(PANGO_FONT_MAP(g_object_ref(pango_cairo_font_map_get_default()))),
      _context(pango_font_map_create_context(_fontMap.get())) {
    configureContext(_context.get());
}

UIPangoTextMeasurement::~UIPangoTextMeasurement() = default;

std::vector<CGFloat> UIPangoTextMeasurement::lineWidths(std::string_view text, const UIFont& font,
                                                        std::optional<CGFloat> maximumWidth,
                                                        NSLineBreakMode lineBreakMode) const {
    UIGObjectPtr<PangoLayout> layout(pango_layout_new(_context.get()));
    configureLayout(layout.get(), font, text, maximumWidth, lineBreakMode);
    std::vector<CGFloat> widths;
    const int count = pango_layout_get_line_count(layout.get());
    widths.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        PangoRectangle logical{};
        pango_layout_line_get_extents(pango_layout_get_line_readonly(layout.get(), index), nullptr, &logical);
        widths.push_back(static_cast<CGFloat>(logical.width) / PANGO_SCALE);
    }
    return widths;
}

UIFontMetrics UIPangoTextMeasurement::metrics(const UIFont& font) const {
    // The metrics of a laid-out line, so that heights agree with what is drawn.
    UIGObjectPtr<PangoLayout> layout(pango_layout_new(_context.get()));
    configureLayout(layout.get(), font, "Ag", std::nullopt, NSLineBreakByClipping);
    PangoRectangle logical{};
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    UIFontMetrics metrics;
    metrics.ascender = static_cast<CGFloat>(pango_layout_get_baseline(layout.get())) / PANGO_SCALE;
    metrics.lineHeight = static_cast<CGFloat>(logical.height) / PANGO_SCALE;
    metrics.descender = metrics.ascender - metrics.lineHeight;
    return metrics;
}
