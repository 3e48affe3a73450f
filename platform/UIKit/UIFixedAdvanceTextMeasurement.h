#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "UIKit/UITextMeasurement.h"

// A test font: every character (code point) advances `emAdvance` x the font size,
// lines are 1.25 x the size high (ascender 1 x, descender -0.25 x). With the
// default 0.625 a 16-point font advances exactly 10 points per character.
// Wrapping breaks at spaces (word wrap) or anywhere (char wrap).
class UIFixedAdvanceTextMeasurement final : public UITextMeasurement {
public:
    explicit UIFixedAdvanceTextMeasurement(CGFloat emAdvance = 0.625) : _emAdvance(emAdvance) {}

    CGFloat advance(const UIFont& font) const;

protected:
    std::vector<CGFloat> layOutLineWidths(std::string_view text, const UIFont& font,
                                          std::optional<CGFloat> maximumWidth,
                                          NSLineBreakMode lineBreakMode) const override;
    UIFontMetrics measureMetrics(const UIFont& font) const override;

private:
    CGFloat _emAdvance;
};
