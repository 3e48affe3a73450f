#include <cfloat>
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "UIKit/NSStringDrawing.h"
#include "UIKit/UIFont.h"
#include "UIKit/UITextMeasurement.h"

namespace {

// Pango's own logical width for `text` in DejaVu Sans at `size` points, laid out
// on an image surface scaled by `scale` without glyph-position rounding.
double pangoWidth(const char* text, double size, double scale) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_t* cairo = cairo_create(surface);
    cairo_scale(cairo, scale, scale);
    PangoLayout* layout = pango_cairo_create_layout(cairo);
    PangoContext* context = pango_layout_get_context(layout);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE);
    pango_layout_context_changed(layout);
    PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans");
    pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_layout_set_text(layout, text, -1);
    PangoRectangle logical{};
    pango_layout_get_extents(layout, nullptr, &logical);
    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
    return static_cast<double>(logical.width) / PANGO_SCALE;
}

// The width of `text` laid out through the layout that drawing uses, at `scale`.
double drawingWidth(const char* text, const UIFont& font, double scale) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_t* cairo = cairo_create(surface);
    cairo_scale(cairo, scale, scale);
    auto layout = UITextMeasurement::createLayout(cairo);
    UITextMeasurement::configureLayout(layout.get(), font, text, std::nullopt, NSLineBreakByClipping);
    PangoRectangle logical{};
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    layout.reset();
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
    return static_cast<double>(logical.width) / PANGO_SCALE;
}

const CGSize kUnbounded = CGSizeMake(CGFLOAT_MAX, CGFLOAT_MAX);

class PangoMeasurementTest : public ::testing::Test {
protected:
    void SetUp() override { UITextMeasurement::setCurrent(nullptr); }
};

TEST_F(PangoMeasurementTest, AKnownStringMeasuresWhatPangoLaysOut) {
    const auto font = UIFont::systemFontOfSize(16);
    const CGSize size = sizeWithFont(NSStr("Song Title - Artist"), font, kUnbounded, NSLineBreakByClipping);
    EXPECT_DOUBLE_EQ(size.width, pangoWidth("Song Title - Artist", 16, 1));
    // Unrounded glyph positions: DejaVu Sans 16 gives 138.4 points, not the rounded 136.
    EXPECT_NEAR(size.width, 138.4, 0.05);
    EXPECT_DOUBLE_EQ(size.height, font->lineHeight());
    EXPECT_GT(font->lineHeight(), 16);
    EXPECT_NEAR(font->ascender() - font->descender(), font->lineHeight(), 1e-9);
}

TEST_F(PangoMeasurementTest, WidthsDoNotDependOnTheOutputScale) {
    const auto font = UIFont::systemFontOfSize(16);
    const double measured = sizeWithFont(NSStr("Song Title - Artist"), font).width;
    for (const double scale : {1.0, 1.5, 2.0, 3.0}) {
        EXPECT_NEAR(drawingWidth("Song Title - Artist", *font, scale), measured, 1e-3) << "scale " << scale;
        EXPECT_NEAR(pangoWidth("Song Title - Artist", 16, scale), measured, 1e-3) << "scale " << scale;
    }
}

TEST_F(PangoMeasurementTest, UnboundedExtentsNeverBecomeAPangoWidth) {
    const auto font = UIFont::systemFontOfSize(16);
    const auto text = NSStr("A long title that would wrap at any sane width");
    const double natural = sizeWithFont(text, font).width;
    ASSERT_GT(natural, 300);
    for (const double extent : {CGFLOAT_MAX, static_cast<double>(FLT_MAX), HUGE_VAL, 1.0e7}) {
        for (const auto mode :
             {NSLineBreakByWordWrapping, NSLineBreakByClipping, NSLineBreakByTruncatingTail}) {
            const CGSize size = sizeWithFont(text, font, CGSizeMake(extent, extent), mode);
            EXPECT_DOUBLE_EQ(size.width, natural) << extent << " mode " << mode;
            EXPECT_DOUBLE_EQ(size.height, font->lineHeight());
        }
    }
}

TEST_F(PangoMeasurementTest, ConstraintsWrapOrCutAsTheModeSays) {
    const auto font = UIFont::systemFontOfSize(16);
    const auto text = NSStr("one two three four five six");
    const double lineHeight = font->lineHeight();

    const CGSize wrapped = sizeWithFont(text, font, CGSizeMake(100, CGFLOAT_MAX), NSLineBreakByWordWrapping);
    EXPECT_LE(wrapped.width, 100);
    EXPECT_GE(wrapped.height, 3 * lineHeight - 1e-9);

    const CGSize twoLines =
        sizeWithFont(text, font, CGSizeMake(100, 2.5 * lineHeight), NSLineBreakByWordWrapping);
    EXPECT_DOUBLE_EQ(twoLines.height, 2 * lineHeight);
    // A constraint lower than a line still gives one line.
    const CGSize low = sizeWithFont(text, font, CGSizeMake(100, 3), NSLineBreakByWordWrapping);
    EXPECT_DOUBLE_EQ(low.height, lineHeight);

    const CGSize truncated =
        sizeWithFont(text, font, CGSizeMake(100, CGFLOAT_MAX), NSLineBreakByTruncatingTail);
    EXPECT_LE(truncated.width, 100);
    EXPECT_DOUBLE_EQ(truncated.height, lineHeight);
    const CGSize clipped = sizeWithFont(text, font, CGSizeMake(100, CGFLOAT_MAX), NSLineBreakByClipping);
    EXPECT_DOUBLE_EQ(clipped.width, 100);
    EXPECT_DOUBLE_EQ(clipped.height, lineHeight);

    // Paragraphs always start new lines.
    EXPECT_DOUBLE_EQ(sizeWithFont(NSStr("a\nb"), font).height, 2 * lineHeight);
}

TEST_F(PangoMeasurementTest, NilFontOrTextOrBadInputMeasuresSafely) {
    const auto font = UIFont::systemFontOfSize(16);
    EXPECT_EQ(sizeWithFont(nullptr, font), CGSizeZero);
    EXPECT_EQ(sizeWithFont(NSStr("text"), nullptr), CGSizeZero);
    EXPECT_EQ(sizeWithFont(NSStr(""), font), CGSizeZero);
    // Invalid UTF-8 from a player is repaired, not passed to Pango.
    EXPECT_GT(sizeWithFont(NSStr("caf\xC3"), font).width, 0);
    // NaN and negative extents.
    EXPECT_GT(sizeWithFont(NSStr("text"), font, CGSizeMake(NAN, NAN), NSLineBreakByWordWrapping).width, 0);
    EXPECT_EQ(sizeWithFont(NSStr("text"), font, CGSizeMake(-5, 100), NSLineBreakByClipping).width, 0);
}

TEST_F(PangoMeasurementTest, BoldAndLargerFontsMeasureWider) {
    const auto text = NSStr("Trillbox");
    const double regular = sizeWithFont(text, UIFont::systemFontOfSize(16)).width;
    EXPECT_GT(sizeWithFont(text, UIFont::boldSystemFontOfSize(16)).width, regular);
    EXPECT_NEAR(sizeWithFont(text, UIFont::systemFontOfSize(32)).width, 2 * regular, 0.01);
}

class FixedMeasurementTest : public ::testing::Test {
protected:
    void SetUp() override {
        UITextMeasurement::setCurrent(std::make_shared<UIFixedAdvanceTextMeasurement>());
    }
    void TearDown() override { UITextMeasurement::setCurrent(nullptr); }
};

TEST_F(FixedMeasurementTest, TheTestFontGivesExactWidths) {
    const auto font = UIFont::systemFontOfSize(16);
    EXPECT_EQ(sizeWithFont(NSStr(std::string(30, 'x')), font), CGSizeMake(300, 20));
    // Characters, not bytes.
    EXPECT_EQ(sizeWithFont(NSStr("\xC3\xA9t\xC3\xA9"), font).width, 30);
    EXPECT_EQ(sizeWithFont(NSStr("abcd"), UIFont::systemFontOfSize(8)).width, 20);
    EXPECT_EQ(font->lineHeight(), 20);
    EXPECT_EQ(font->ascender(), 16);
    EXPECT_EQ(font->descender(), -4);
}

TEST_F(FixedMeasurementTest, TheTestFontWrapsAtWordsAndCharacters) {
    const auto font = UIFont::systemFontOfSize(16); // 10 points per character
    const auto text = NSStr("aaa bbb ccccccccccccc");
    EXPECT_EQ(sizeWithFont(text, font, CGSizeMake(75, CGFLOAT_MAX), NSLineBreakByWordWrapping),
              CGSizeMake(70, 60)); // "aaa bbb" / "ccccccc" / "cccccc"
    EXPECT_EQ(sizeWithFont(text, font, CGSizeMake(100, CGFLOAT_MAX), NSLineBreakByCharWrapping),
              CGSizeMake(100, 60));
    // "aaa bbb" / "cccccccccc" / "ccc", two of which fit the height.
    EXPECT_EQ(sizeWithFont(text, font, CGSizeMake(100, 45), NSLineBreakByWordWrapping), CGSizeMake(100, 40));
    EXPECT_EQ(sizeWithFont(text, font, CGSizeMake(100, CGFLOAT_MAX), NSLineBreakByTruncatingTail),
              CGSizeMake(100, 20));
    EXPECT_EQ(sizeWithFont(text, font, kUnbounded, NSLineBreakByWordWrapping), CGSizeMake(210, 20));
}

} // namespace
