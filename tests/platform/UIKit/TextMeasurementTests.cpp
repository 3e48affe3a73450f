#include <cfloat>
#include <cmath>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include "UIKit/NSStringDrawing.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIGraphicsHandles.h"
#include "UIKit/UILabel.h"
#include "UIKit/UITextLayout.h"
#include "UIKit/UITextMeasurement.h"

namespace {

// The width of `text` laid out through the layout that drawing uses, at `scale`.
double drawingWidth(const char* text, const UIFont& font, double scale) {
    const UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8));
    const UICairoContextPtr cairo = UICairoContextCreate(surface.get());
    cairo_scale(cairo.get(), scale, scale);
    const auto layout = UITextMeasurement::createLayout(cairo.get());
    UITextMeasurement::configureLayout(layout.get(), font, text, std::nullopt, NSLineBreakByClipping);
    PangoRectangle logical{};
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    return static_cast<double>(logical.width) / PANGO_SCALE;
}

// Counts the texts it lays out; each line is half a point per byte per point of size.
class CountingMeasurement final : public UITextMeasurement {
public:
    mutable int layouts = 0;

protected:
    std::vector<CGFloat> layOutLineWidths(std::string_view text, const UIFont& font, std::optional<CGFloat>,
                                          NSLineBreakMode) const override {
        ++layouts;
        return {static_cast<double>(text.size()) * font.pointSize() / 2};
    }
    UIFontMetrics measureMetrics(const UIFont& font) const override {
        return {font.pointSize(), 0, font.pointSize()};
    }
};

// Measures with Pango and DejaVu Sans 16.
class TextMeasurementTest : public ::testing::Test {
protected:
    void SetUp() override { UITextMeasurement::setCurrent(nullptr); }
    const Ptr<UIFont> font = UIFont::systemFontOfSize(16);
};

TEST_F(TextMeasurementTest, AKnownStringMeasuresItsUnroundedWidthAndDrawsItAtEveryScale) {
    const CGSize size = sizeWithFont(NSStr("Song Title - Artist"), font);
    // Without glyph-position rounding: 138.4 points, not the rounded 136.
    EXPECT_NEAR(size.width, 138.4, 0.05);
    EXPECT_DOUBLE_EQ(size.height, font->lineHeight());
    for (const double scale : {1.0, 1.5, 2.0, 3.0}) {
        EXPECT_NEAR(drawingWidth("Song Title - Artist", *font, scale), size.width, 1e-3) << "scale " << scale;
    }
}

TEST_F(TextMeasurementTest, ConstraintsWrapOrCutAsTheModeSaysAndHugeOnesMeasureTheNaturalLine) {
    const auto text = NSStr("one two three four five six seven eight nine ten eleven twelve");
    const CGSize natural = sizeWithFont(text, font);
    ASSERT_GT(natural.width, 300);
    const double line = font->lineHeight();
    for (const double extent : {CGFLOAT_MAX, static_cast<double>(FLT_MAX), HUGE_VAL, 1.0e7}) {
        for (const auto mode :
             {NSLineBreakByWordWrapping, NSLineBreakByClipping, NSLineBreakByTruncatingTail}) {
            EXPECT_EQ(sizeWithFont(text, font, {extent, extent}, mode), natural)
                << extent << " mode " << mode;
        }
    }
    // Constraint, mode, and the most width and the height measured.
    const std::vector<std::tuple<CGSize, NSLineBreakMode, CGFloat, CGFloat>> cases = {
        {{100, 3}, NSLineBreakByWordWrapping, 100, line}, // lower than a line: still one
        {{100, 2.5 * line}, NSLineBreakByWordWrapping, 100, 2 * line},
        {{100, CGFLOAT_MAX}, NSLineBreakByTruncatingTail, 100, line},
        {{-5, 100}, NSLineBreakByClipping, 0, line},
    };
    for (const auto& [constraint, mode, width, height] : cases) {
        const CGSize size = sizeWithFont(text, font, constraint, mode);
        EXPECT_LE(size.width, width) << constraint.width << " x " << constraint.height;
        EXPECT_DOUBLE_EQ(size.height, height) << constraint.width << " x " << constraint.height;
    }
    EXPECT_DOUBLE_EQ(sizeWithFont(text, font, {100, CGFLOAT_MAX}, NSLineBreakByClipping).width, 100);
    EXPECT_DOUBLE_EQ(sizeWithFont(NSStr("a\nb"), font).height, 2 * line); // paragraphs start new lines
}

TEST_F(TextMeasurementTest, KeptLayoutFollowsEachInputAndIsAsWideAsMeasured) {
    // Each row changes one input of the row before, so a kept layout or a kept
    // measurement that missed the change would answer the row before's widths.
    const std::vector<std::tuple<const char*, CGFloat, std::optional<CGFloat>, NSLineBreakMode>> rows = {
        {"Song Title - Artist", 16, 200, NSLineBreakByTruncatingTail},
        {"Song Title - The Artist", 16, 200, NSLineBreakByTruncatingTail}, // text
        {"Song Title - The Artist", 20, 200, NSLineBreakByTruncatingTail}, // font
        {"Song Title - The Artist", 20, 150, NSLineBreakByTruncatingTail}, // width
        {"Song Title - The Artist", 20, 150, NSLineBreakByWordWrapping},   // line break mode
        {"Song Title - Artist", 16, 200, NSLineBreakByTruncatingTail},     // back to the first
    };
    UITextLayout kept;
    std::vector<CGFloat> previous;
    for (const auto& [text, size, width, mode] : rows) {
        const auto rowFont = UIFont::systemFontOfSize(size);
        const auto drawn =
            UITextMeasurement::lineWidthsOfLayout(kept.layoutText(text, *rowFont, width, mode, 0));
        EXPECT_EQ(drawn, UITextMeasurement::current().lineWidths(text, *rowFont, width, mode))
            << text << size;
        EXPECT_NE(drawn, previous) << text << " " << size << " " << width.value_or(0) << " " << mode;
        previous = drawn;
    }
}

TEST_F(TextMeasurementTest, LabelsAndStringsAskingAgainAreAnsweredWithoutLayingOut) {
    const auto counting = std::make_shared<CountingMeasurement>();
    UITextMeasurement::setCurrent(counting);
    auto label = alloc<UILabel>()->initWithFrame(CGRectMake(0, 0, 100, 20));
    label->setText(NSStr("Title"));
    for (int pass = 0; pass < 3; ++pass) {
        // What a scrolling label asks of its inner label on every layout pass.
        EXPECT_EQ(label->sizeThatFits(CGSizeZero).width, 5 * 17 / 2.0);
        EXPECT_EQ(
            sizeWithFont(label->text(), label->font(), {CGFLOAT_MAX, CGFLOAT_MAX}, NSLineBreakByClipping)
                .width,
            5 * 17 / 2.0);
    }
    label->setFont(UIFont::systemFontOfSize(10));
    EXPECT_EQ(label->sizeThatFits(CGSizeZero).width, 5 * 10 / 2.0);
    EXPECT_EQ(counting->layouts, 2);
    UITextMeasurement::setCurrent(nullptr);
}

TEST_F(TextMeasurementTest, NilOrBadInputMeasuresSafely) {
    EXPECT_EQ(sizeWithFont(nullptr, font), CGSizeZero);
    EXPECT_EQ(sizeWithFont(NSStr("text"), nullptr), CGSizeZero);
    EXPECT_EQ(sizeWithFont(NSStr(""), font), CGSizeZero);
    EXPECT_GT(sizeWithFont(NSStr("caf\xC3"), font).width, 0); // invalid UTF-8 is repaired
    EXPECT_GT(sizeWithFont(NSStr("text"), font, {NAN, NAN}, NSLineBreakByWordWrapping).width, 0);
}

} // namespace
