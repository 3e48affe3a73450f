#include "UIKit/UITextLayout.h"

#include <pango/pangocairo.h>

#include "UIKit/UIFont.h"
#include "UIKit/UITextMeasurement.h"

PangoLayout* UITextLayout::layoutText(std::string_view text, const UIFont& font,
                                      std::optional<CGFloat> maximumWidth, NSLineBreakMode lineBreakMode,
                                      NSInteger maximumLines) {
    if (_layout && _text == text && _family == font.family() && _bold == font.isBold() &&
        _pointSize == font.pointSize() && _maximumWidth == maximumWidth && _lineBreakMode == lineBreakMode &&
        _maximumLines == maximumLines) {
        return _layout.get();
    }
    // A new layout rather than the old one reconfigured, so nothing set for the
    // previous text (wrapping, alignment) carries over.
    _layout = UITextMeasurement::createLayout();
    UITextMeasurement::configureLayout(_layout.get(), font, text, maximumWidth, lineBreakMode, maximumLines);
    _text = text;
    _family = font.family();
    _bold = font.isBold();
    _pointSize = font.pointSize();
    _maximumWidth = maximumWidth;
    _lineBreakMode = lineBreakMode;
    _maximumLines = maximumLines;
    return _layout.get();
}

void UITextLayout::invalidate() {
    _layout.reset();
}
