#include "UIKit/UITextMeasurement.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <string>

#include <pango/pangocairo.h>

#include "Foundation/NSUTF8.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIPangoTextMeasurement.h"

namespace {

// Extents above this many points are taken as "no limit": nothing is that wide,
// and Pango keeps widths in 22.10 fixed point, which overflows soon after.
constexpr CGFloat kLargestLayoutExtent = 1.0e6;

std::shared_ptr<const UITextMeasurement>& currentMeasurement() {
    static std::shared_ptr<const UITextMeasurement> measurement;
    return measurement;
}

std::shared_ptr<const UITextMeasurement> pangoMeasurement() {
    static const auto measurement = std::make_shared<const UIPangoTextMeasurement>();
    return measurement;
}

bool isWrapping(NSLineBreakMode mode) {
    return mode == NSLineBreakByWordWrapping || mode == NSLineBreakByCharWrapping;
}

// Enough for every text a widget shows at once, each at the few widths it is asked about.
constexpr std::size_t kKeptLineWidths = 32;
constexpr std::size_t kKeptMetrics = 8;

// The entry to replace: a free place while there is one, else the least recently used.
template <class Entry> Entry* placeForNewAnswer(std::vector<Entry>& entries, std::size_t capacity) {
    if (entries.size() < capacity) {
        return nullptr;
    }
    return &*std::min_element(entries.begin(), entries.end(),
                              [](const Entry& a, const Entry& b) { return a.lastUse < b.lastUse; });
}

PangoContext* sharedPangoContext() {
    static const UIGObjectPtr<PangoContext> context = [] {
        UIGObjectPtr<PangoContext> created(pango_font_map_create_context(pango_cairo_font_map_get_default()));
        UITextMeasurement::configureContext(created.get());
        return created;
    }();
    return context.get();
}

} // namespace

// Kept here rather than in the anonymous namespace: a class with a name outside
// this file may not hold file-local types.
struct UITextMeasurement::Answers {
    // What a font lays text out by: two fonts with the same key measure the same.
    struct MeasuredFontKey {
        std::string family;
        bool bold = false;
        CGFloat pointSize = 0;

        explicit MeasuredFontKey(const UIFont& font)
            : family(font.family()), bold(font.isBold()), pointSize(font.pointSize()) {}
        bool operator==(const MeasuredFontKey&) const = default;
    };

    struct KeptLineWidths {
        std::string text;
        MeasuredFontKey font;
        std::optional<CGFloat> maximumWidth;
        NSLineBreakMode lineBreakMode;
        std::vector<CGFloat> widths;
        std::uint64_t lastUse;
    };

    struct KeptMetrics {
        MeasuredFontKey font;
        UIFontMetrics metrics;
        std::uint64_t lastUse;
    };

    std::vector<KeptLineWidths> lineWidths;
    std::vector<KeptMetrics> metrics;
    std::uint64_t uses = 0;
};

UITextMeasurement::UITextMeasurement() : _answers(std::make_unique<Answers>()) {}

UITextMeasurement::~UITextMeasurement() = default;

std::vector<CGFloat> UITextMeasurement::lineWidths(std::string_view text, const UIFont& font,
                                                   std::optional<CGFloat> maximumWidth,
                                                   NSLineBreakMode lineBreakMode) const {
    Answers& answers = *_answers;
    const Answers::MeasuredFontKey fontKey(font);
    ++answers.uses;
    for (auto& kept : answers.lineWidths) {
        if (kept.text == text && kept.font == fontKey && kept.maximumWidth == maximumWidth &&
            kept.lineBreakMode == lineBreakMode) {
            kept.lastUse = answers.uses;
            return kept.widths;
        }
    }
    auto widths = layOutLineWidths(text, font, maximumWidth, lineBreakMode);
    Answers::KeptLineWidths answer{std::string(text), fontKey, maximumWidth,
                                   lineBreakMode,     widths,  answers.uses};
    if (auto* replaced = placeForNewAnswer(answers.lineWidths, kKeptLineWidths)) {
        *replaced = std::move(answer);
    } else {
        answers.lineWidths.push_back(std::move(answer));
    }
    return widths;
}

UIFontMetrics UITextMeasurement::metrics(const UIFont& font) const {
    Answers& answers = *_answers;
    const Answers::MeasuredFontKey fontKey(font);
    ++answers.uses;
    for (auto& kept : answers.metrics) {
        if (kept.font == fontKey) {
            kept.lastUse = answers.uses;
            return kept.metrics;
        }
    }
    const UIFontMetrics metrics = measureMetrics(font);
    Answers::KeptMetrics answer{fontKey, metrics, answers.uses};
    if (auto* replaced = placeForNewAnswer(answers.metrics, kKeptMetrics)) {
        *replaced = std::move(answer);
    } else {
        answers.metrics.push_back(std::move(answer));
    }
    return metrics;
}

std::optional<CGFloat> UITextMeasurement::limitForExtent(CGFloat extent) {
    if (!std::isfinite(extent) || extent > kLargestLayoutExtent) {
        return std::nullopt;
    }
    return std::max(extent, 0.0);
}

CGSize UITextMeasurement::sizeOfText(std::string_view text, const UIFont* font, CGSize constraint,
                                     NSLineBreakMode lineBreakMode, NSInteger maximumLines) const {
    if (!font || text.empty()) {
        return CGSizeZero;
    }
    const auto widthLimit = limitForExtent(constraint.width);
    const auto heightLimit = limitForExtent(constraint.height);
    const auto widths = lineWidths(text, *font, widthLimit, lineBreakMode);
    const CGFloat lineHeight = metrics(*font).lineHeight;

    std::size_t lines = widths.size();
    if (maximumLines > 0) {
        lines = std::min(lines, static_cast<std::size_t>(maximumLines));
    }
    if (heightLimit && lineHeight > 0) {
        // A constraint lower than one line still shows that line.
        const auto fitting = static_cast<std::size_t>(std::floor(*heightLimit / lineHeight + 1e-9));
        lines = std::min(lines, std::max<std::size_t>(fitting, 1));
    }
    CGFloat width = 0;
    for (std::size_t line = 0; line < lines; ++line) {
        width = std::max(width, widths[line]);
    }
    if (widthLimit) {
        width = std::min(width, *widthLimit);
    }
    return CGSizeMake(width, static_cast<CGFloat>(lines) * lineHeight);
}

const UITextMeasurement& UITextMeasurement::current() {
    auto& measurement = currentMeasurement();
    if (!measurement) {
        measurement = pangoMeasurement();
    }
    return *measurement;
}

void UITextMeasurement::setCurrent(std::shared_ptr<const UITextMeasurement> measurement) {
    currentMeasurement() = measurement ? std::move(measurement) : pangoMeasurement();
}

void UITextMeasurement::configureContext(PangoContext* context) {
    assert(context);
    cairo_font_options_t* options = cairo_font_options_create();
    // Unhinted metrics and unrounded positions keep advances linear in the scale,
    // so a width measured in points is the width drawn at any scale.
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE);
}

UIPangoFontDescriptionPtr UITextMeasurement::fontDescription(const UIFont& font) {
    UIPangoFontDescriptionPtr description(pango_font_description_new());
    pango_font_description_set_family(description.get(), font.family().c_str());
    pango_font_description_set_weight(description.get(),
                                      font.isBold() ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    // Absolute: one point is one user-space unit whatever the font map's resolution.
    pango_font_description_set_absolute_size(description.get(), font.pointSize() * PANGO_SCALE);
    return description;
}

void UITextMeasurement::configureLayout(PangoLayout* layout, const UIFont& font, std::string_view text,
                                        std::optional<CGFloat> maximumWidth, NSLineBreakMode lineBreakMode,
                                        NSInteger maximumLines) {
    assert(layout);
    const auto description = fontDescription(font);
    pango_layout_set_font_description(layout, description.get());
    // Text from outside (players, files) may not be UTF-8; Pango must only ever see UTF-8.
    const std::string valid = NSRepairUTF8(text);
    pango_layout_set_text(layout, valid.c_str(), static_cast<int>(valid.size()));
    pango_layout_set_single_paragraph_mode(layout, FALSE);
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_NONE);
    pango_layout_set_height(layout, -1);

    const bool limited =
        maximumWidth.has_value() && maximumWidth == UITextMeasurement::limitForExtent(*maximumWidth);
    if (!limited || lineBreakMode == NSLineBreakByClipping) {
        // A clipped line keeps its full width; whoever draws it clips.
        pango_layout_set_width(layout, -1);
        return;
    }
    pango_layout_set_width(layout, pango_units_from_double(*maximumWidth));
    switch (lineBreakMode) {
    case NSLineBreakByWordWrapping:
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        break;
    case NSLineBreakByCharWrapping:
        pango_layout_set_wrap(layout, PANGO_WRAP_CHAR);
        break;
    case NSLineBreakByTruncatingHead:
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_START);
        break;
    case NSLineBreakByTruncatingMiddle:
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_MIDDLE);
        break;
    default:
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        break;
    }
    if (isWrapping(lineBreakMode) && maximumLines > 0) {
        // A negative height limits each paragraph to that many lines, the last cut short.
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        pango_layout_set_height(layout, -static_cast<int>(std::min<NSInteger>(maximumLines, 10000)));
    }
}

UIGObjectPtr<PangoLayout> UITextMeasurement::createLayout(cairo_t* cairo) {
    assert(cairo);
    UIGObjectPtr<PangoContext> context(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    pango_cairo_update_context(cairo, context.get());
    configureContext(context.get());
    return UIGObjectPtr<PangoLayout>(pango_layout_new(context.get()));
}

UIGObjectPtr<PangoLayout> UITextMeasurement::createLayout() {
    return UIGObjectPtr<PangoLayout>(pango_layout_new(sharedPangoContext()));
}

std::vector<CGFloat> UITextMeasurement::lineWidthsOfLayout(PangoLayout* layout) {
    assert(layout);
    std::vector<CGFloat> widths;
    const int count = pango_layout_get_line_count(layout);
    widths.reserve(static_cast<std::size_t>(count));
    for (int index = 0; index < count; ++index) {
        PangoRectangle logical{};
        pango_layout_line_get_extents(pango_layout_get_line_readonly(layout, index), nullptr, &logical);
        widths.push_back(static_cast<CGFloat>(logical.width) / PANGO_SCALE);
    }
    return widths;
}
