#include "UIKit/UIPangoTextMeasurement.h"

#include <pango/pangocairo.h>

#include "UIKit/UIFont.h"

std::vector<CGFloat> UIPangoTextMeasurement::layOutLineWidths(std::string_view text, const UIFont& font,
                                                              std::optional<CGFloat> maximumWidth,
                                                              NSLineBreakMode lineBreakMode) const {
    const auto layout = createLayout();
    configureLayout(layout.get(), font, text, maximumWidth, lineBreakMode);
    return lineWidthsOfLayout(layout.get());
}

UIFontMetrics UIPangoTextMeasurement::measureMetrics(const UIFont& font) const {
    // The metrics of a laid-out line, so that heights agree with what is drawn.
    const auto layout = createLayout();
    configureLayout(layout.get(), font, "Ag", std::nullopt, NSLineBreakByClipping);
    PangoRectangle logical{};
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    UIFontMetrics metrics;
    metrics.ascender = static_cast<CGFloat>(pango_layout_get_baseline(layout.get())) / PANGO_SCALE;
    metrics.lineHeight = static_cast<CGFloat>(logical.height) / PANGO_SCALE;
    metrics.descender = metrics.ascender - metrics.lineHeight;
    return metrics;
}
