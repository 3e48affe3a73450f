#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "UIKit/UITextMeasurement.h"

// Measures with Pango: DejaVu Sans for the system font. It lays text out in the
// context UITextMeasurement::createLayout() uses, so what it measures is what a
// layout from there draws.
class UIPangoTextMeasurement final : public UITextMeasurement {
protected:
    std::vector<CGFloat> layOutLineWidths(std::string_view text, const UIFont& font,
                                          std::optional<CGFloat> maximumWidth,
                                          NSLineBreakMode lineBreakMode) const override;
    UIFontMetrics measureMetrics(const UIFont& font) const override;
};
