#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <cairo.h>

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/NSStringDrawing.h"
#include "UIKit/UIGraphicsHandles.h"

class UIFont;

// Vertical metrics of a font, in points. The descender is negative (below the baseline).
struct UIFontMetrics {
    CGFloat ascender = 0;
    CGFloat descender = 0;
    CGFloat lineHeight = 0;
};

// Measures text for labels and string drawing. One implementation is current for
// the whole process: Pango by default, or a fixed-advance font that tests install
// to get exact widths.
//
// Every measurement is in points and does not depend on the scale that text is
// later drawn at. Each measurement keeps the line widths and font metrics it
// answered most recently and answers the same question again from them, so text
// laid out once (a title measured on every layout pass) is not laid out again
// until its text, font, width limit or line break mode change. For the main thread.
class UITextMeasurement {
public:
    UITextMeasurement();
    virtual ~UITextMeasurement();
    UITextMeasurement(const UITextMeasurement&) = delete;
    UITextMeasurement& operator=(const UITextMeasurement&) = delete;

    // The width of each line `text` lays out into, in order. `maximumWidth` is the
    // width lines break at for the wrapping modes and are cut to for the others;
    // nullopt means no limit. Paragraphs ('\n') always start a new line.
    std::vector<CGFloat> lineWidths(std::string_view text, const UIFont& font,
                                    std::optional<CGFloat> maximumWidth, NSLineBreakMode lineBreakMode) const;
    UIFontMetrics metrics(const UIFont& font) const;

    // The size of `text` in `font` within `constraint`, at most `maximumLines`
    // lines (0: no limit). Extents of CGFLOAT_MAX, too large to lay out, or not
    // finite mean no limit; a negative extent counts as 0. A nil font or empty
    // text measures as zero.
    CGSize sizeOfText(std::string_view text, const UIFont* font, CGSize constraint,
                      NSLineBreakMode lineBreakMode, NSInteger maximumLines = 0) const;

    // The limit an extent stands for: nullopt for "no limit".
    static std::optional<CGFloat> limitForExtent(CGFloat extent);

    // The current measurement. Setting nil restores the Pango measurement.
    static const UITextMeasurement& current();
    static void setCurrent(std::shared_ptr<const UITextMeasurement> measurement);

    // The Pango settings measuring and drawing share. Glyph positions are not
    // rounded, metrics are not hinted and sizes are absolute (points = user-space
    // units), so a layout's width is the same at every output scale.
    static void configureContext(PangoContext* context);
    static UIPangoFontDescriptionPtr fontDescription(const UIFont& font);
    // Sets the layout's font, text, width limit (nullopt: none), wrapping or
    // ellipsizing for `lineBreakMode`, and line count limit (0: none).
    static void configureLayout(PangoLayout* layout, const UIFont& font, std::string_view text,
                                std::optional<CGFloat> maximumWidth, NSLineBreakMode lineBreakMode,
                                NSInteger maximumLines = 0);
    // A layout for drawing into `cairo` with the shared settings applied.
    static UIGObjectPtr<PangoLayout> createLayout(cairo_t* cairo);
    // A layout in the one context the Pango measurement measures in, for the main
    // thread. It draws into any Cairo context, at any scale, as wide as it measures.
    static UIGObjectPtr<PangoLayout> createLayout();
    // The logical width of each of the layout's lines, in points.
    static std::vector<CGFloat> lineWidthsOfLayout(PangoLayout* layout);

protected:
    // What lineWidths() and metrics() answer when they have not answered it before.
    virtual std::vector<CGFloat> layOutLineWidths(std::string_view text, const UIFont& font,
                                                  std::optional<CGFloat> maximumWidth,
                                                  NSLineBreakMode lineBreakMode) const = 0;
    virtual UIFontMetrics measureMetrics(const UIFont& font) const = 0;

private:
    struct Answers;
    std::unique_ptr<Answers> _answers;
};

// The implementations, so that including this header offers them too. They include
// this header for their base class; it is complete by the time they are read.
#include "UIKit/UIFixedAdvanceTextMeasurement.h"
#include "UIKit/UIPangoTextMeasurement.h"
