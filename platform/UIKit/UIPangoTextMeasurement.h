#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "UIKit/UIGraphicsHandles.h"
#include "UIKit/UITextMeasurement.h"

// Measures with Pango: DejaVu Sans for the system font.
class UIPangoTextMeasurement final : public UITextMeasurement {
public:
    UIPangoTextMeasurement();
    ~UIPangoTextMeasurement() override;

    std::vector<CGFloat> lineWidths(std::string_view text, const UIFont& font,
                                    std::optional<CGFloat> maximumWidth,
                                    NSLineBreakMode lineBreakMode) const override;
    UIFontMetrics metrics(const UIFont& font) const override;

private:
    UIGObjectPtr<PangoFontMap> _fontMap;
    UIGObjectPtr<PangoContext> _context;
};
