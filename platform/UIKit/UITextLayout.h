#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/NSStringDrawing.h"
#include "UIKit/UIGraphicsHandles.h"

class UIFont;

// A text laid out with Pango for drawing, kept from one draw to the next: it is
// laid out again only when the text, font, width limit, line break mode or line
// limit asked for differ from the last time. The layout does not depend on the
// scale it is drawn at, and its lines are exactly as wide as the Pango
// measurement measures them (it is made by UITextMeasurement::createLayout()).
// For the main thread.
class UITextLayout {
public:
    UITextLayout() = default;
    UITextLayout(const UITextLayout&) = delete;
    UITextLayout& operator=(const UITextLayout&) = delete;

    // The layout of `text` in `font`, configured by UITextMeasurement::configureLayout.
    // It stays owned by this object and valid until the next call or invalidate();
    // a caller may set its alignment, which is not part of what it is kept by.
    PangoLayout* layoutText(std::string_view text, const UIFont& font, std::optional<CGFloat> maximumWidth,
                            NSLineBreakMode lineBreakMode, NSInteger maximumLines);
    // Drops the laid-out text; the next call lays it out again.
    void invalidate();

private:
    UIGObjectPtr<PangoLayout> _layout;
    std::string _text;
    std::string _family;
    bool _bold = false;
    CGFloat _pointSize = 0;
    std::optional<CGFloat> _maximumWidth;
    NSLineBreakMode _lineBreakMode = NSLineBreakByClipping;
    NSInteger _maximumLines = 0;
};
