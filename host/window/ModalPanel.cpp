#include "window/ModalPanel.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "Foundation/NSUTF8.h"
#include "UIKit/UIGraphicsHandles.h"

namespace host {
namespace {

// The card's look, in points.
constexpr CGFloat kWindowInset = 8;
constexpr CGFloat kLargestCardWidth = 336;
constexpr CGFloat kPadding = 12;
constexpr CGFloat kCornerRadius = 12;
constexpr CGFloat kTitleToMessage = 4;
constexpr CGFloat kTextToButtons = 10;
constexpr CGFloat kButtonHeight = 28;
constexpr CGFloat kButtonGap = 8;
constexpr CGFloat kButtonCornerRadius = 7;
constexpr CGFloat kTitleFontSize = 14;
constexpr CGFloat kMessageFontSize = 12;
constexpr CGFloat kButtonFontSize = 12;
constexpr const char* kFontFamily = "DejaVu Sans";

struct Colour {
    double red, green, blue, alpha = 1;
};
constexpr Colour kDim{0, 0, 0, 0.55};
constexpr Colour kCardFill{0x2C / 255.0, 0x2C / 255.0, 0x31 / 255.0};
constexpr Colour kCardEdge{1, 1, 1, 0.10};
constexpr Colour kTitleColour{1, 1, 1};
constexpr Colour kMessageColour{0xD2 / 255.0, 0xD2 / 255.0, 0xD8 / 255.0};
constexpr Colour kButtonFill{0x3C / 255.0, 0x3C / 255.0, 0x43 / 255.0};
constexpr Colour kButtonHighlight{0x5A / 255.0, 0x5A / 255.0, 0x63 / 255.0};
constexpr Colour kButtonText{0x5A / 255.0, 0xAE / 255.0, 1};

using PangoContextHandle = UIGObjectPtr<PangoContext>;
using PangoLayoutHandle = UIGObjectPtr<PangoLayout>;

void setColour(cairo_t* context, const Colour& colour) {
    cairo_set_source_rgba(context, colour.red, colour.green, colour.blue, colour.alpha);
}

void roundedRectangle(cairo_t* context, CGRect rect, CGFloat radius) {
    const CGFloat r = std::min({radius, rect.size.width / 2, rect.size.height / 2});
    const CGFloat x = rect.origin.x;
    const CGFloat y = rect.origin.y;
    const CGFloat w = rect.size.width;
    const CGFloat h = rect.size.height;
    cairo_new_sub_path(context);
    cairo_arc(context, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(context, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(context, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(context, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(context);
}

// Measuring and drawing use the same font options, so that a measured line
// draws at the measured size.
void applyFontOptions(PangoContext* context) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
}

// A layout of `text` in `width` points: centred, wrapped at words, ellipsized at
// the end after `lines` lines.
PangoLayoutHandle makeLayout(PangoContext* context, const std::string& text, CGFloat fontSize, bool bold,
                             CGFloat width, int lines) {
    PangoLayoutHandle layout(pango_layout_new(context));
    UIPangoFontDescriptionPtr font(pango_font_description_new());
    pango_font_description_set_family(font.get(), kFontFamily);
    pango_font_description_set_weight(font.get(), bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(font.get(), fontSize * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font.get());
    pango_layout_set_width(layout.get(), static_cast<int>(std::max<CGFloat>(1, width) * PANGO_SCALE));
    pango_layout_set_alignment(layout.get(), PANGO_ALIGN_CENTER);
    pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    // A negative height counts lines.
    pango_layout_set_height(layout.get(), -lines);
    // Text from outside may be any bytes: Pango draws invalid UTF-8 as boxes but
    // warns; replace what is not valid first.
    const std::string valid = NSRepairUTF8(text);
    pango_layout_set_text(layout.get(), valid.c_str(), static_cast<int>(valid.size()));
    return layout;
}

CGFloat layoutHeight(PangoLayout* layout) {
    int width = 0;
    int height = 0;
    pango_layout_get_size(layout, &width, &height);
    return static_cast<CGFloat>(height) / PANGO_SCALE;
}

PangoContextHandle measuringContext() {
    PangoContextHandle context(pango_font_map_create_context(pango_cairo_font_map_get_default()));
    applyFontOptions(context.get());
    return context;
}

bool contains(CGRect rect, CGPoint point) {
    return point.x >= rect.origin.x && point.y >= rect.origin.y &&
           point.x < rect.origin.x + rect.size.width && point.y < rect.origin.y + rect.size.height;
}

void drawText(cairo_t* context, PangoContext* pango, const std::string& text, CGFloat fontSize, bool bold,
              CGRect rect, int lines, const Colour& colour) {
    const PangoLayoutHandle layout = makeLayout(pango, text, fontSize, bold, rect.size.width, lines);
    // Centred vertically in its rectangle.
    const CGFloat top = rect.origin.y + (rect.size.height - layoutHeight(layout.get())) / 2;
    setColour(context, colour);
    cairo_move_to(context, rect.origin.x, top);
    pango_cairo_show_layout(context, layout.get());
}

} // namespace

ModalPanel::ModalPanel(PanelContent content, CGSize windowSize)
    : _content(std::move(content)), _windowSize(windowSize) {
    const CGFloat cardWidth =
        std::max<CGFloat>(0, std::min(kLargestCardWidth, windowSize.width - 2 * kWindowInset));
    const CGFloat textWidth = std::max<CGFloat>(1, cardWidth - 2 * kPadding);

    const PangoContextHandle pango = measuringContext();
    CGFloat titleHeight = 0;
    if (!_content.title.empty()) {
        titleHeight =
            layoutHeight(makeLayout(pango.get(), _content.title, kTitleFontSize, true, textWidth, 1).get());
    }
    CGFloat messageHeight = 0;
    if (!_content.message.empty()) {
        messageHeight = layoutHeight(
            makeLayout(pango.get(), _content.message, kMessageFontSize, false, textWidth, kMessageLines)
                .get());
    }
    const CGFloat textHeight =
        titleHeight + (titleHeight > 0 && messageHeight > 0 ? kTitleToMessage : 0) + messageHeight;
    const CGFloat buttonsHeight = _content.buttons.empty() ? 0 : kButtonHeight;
    const CGFloat cardHeight = kPadding + textHeight +
                               (textHeight > 0 && buttonsHeight > 0 ? kTextToButtons : 0) + buttonsHeight +
                               kPadding;

    const CGFloat cardX = std::round((windowSize.width - cardWidth) / 2);
    // A card taller than the window keeps its top (title) in view.
    const CGFloat cardY = std::max<CGFloat>(0, std::round((windowSize.height - cardHeight) / 2));
    _card = CGRectMake(cardX, cardY, cardWidth, cardHeight);

    CGFloat y = cardY + kPadding;
    _titleRect = CGRectMake(cardX + kPadding, y, textWidth, titleHeight);
    y += titleHeight + (titleHeight > 0 && messageHeight > 0 ? kTitleToMessage : 0);
    _messageRect = CGRectMake(cardX + kPadding, y, textWidth, messageHeight);
    y += messageHeight + (textHeight > 0 ? kTextToButtons : 0);

    const auto count = static_cast<CGFloat>(_content.buttons.size());
    if (count > 0) {
        const CGFloat width = std::max<CGFloat>(0, (textWidth - kButtonGap * (count - 1)) / count);
        for (std::size_t index = 0; index < _content.buttons.size(); ++index) {
            _buttons.push_back(
                CGRectMake(cardX + kPadding + static_cast<CGFloat>(index) * (width + kButtonGap), y, width,
                           kButtonHeight));
        }
    }
}

CGRect ModalPanel::buttonRect(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= _buttons.size()) {
        return CGRectZero;
    }
    return _buttons[static_cast<std::size_t>(index)];
}

int ModalPanel::buttonAt(CGPoint windowPoint) const {
    for (std::size_t index = 0; index < _buttons.size(); ++index) {
        if (contains(_buttons[index], windowPoint)) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

void ModalPanel::setHighlightedButton(int index) {
    _highlighted = index >= 0 && static_cast<std::size_t>(index) < _buttons.size() ? index : -1;
}

void ModalPanel::draw(cairo_t* context) const {
    cairo_save(context);
    setColour(context, kDim);
    cairo_rectangle(context, 0, 0, _windowSize.width, _windowSize.height);
    cairo_fill(context);
    cairo_restore(context);
    drawCard(context);
}

void ModalPanel::drawCard(cairo_t* context) const {
    cairo_save(context);
    roundedRectangle(context, _card, kCornerRadius);
    setColour(context, kCardFill);
    cairo_fill_preserve(context);
    setColour(context, kCardEdge);
    cairo_set_line_width(context, 1);
    cairo_stroke(context);

    PangoContextHandle pango(pango_cairo_create_context(context));
    applyFontOptions(pango.get());
    if (_titleRect.size.height > 0) {
        drawText(context, pango.get(), _content.title, kTitleFontSize, true, _titleRect, 1, kTitleColour);
    }
    if (_messageRect.size.height > 0) {
        drawText(context, pango.get(), _content.message, kMessageFontSize, false, _messageRect, kMessageLines,
                 kMessageColour);
    }
    for (std::size_t index = 0; index < _buttons.size(); ++index) {
        const CGRect rect = _buttons[index];
        roundedRectangle(context, rect, kButtonCornerRadius);
        setColour(context, static_cast<int>(index) == _highlighted ? kButtonHighlight : kButtonFill);
        cairo_fill(context);
        const bool isCancel = static_cast<int>(index) == _content.cancelButton;
        drawText(context, pango.get(), _content.buttons[index], kButtonFontSize, false,
                 CGRectMake(rect.origin.x + 4, rect.origin.y, std::max<CGFloat>(1, rect.size.width - 8),
                            rect.size.height),
                 1, isCancel ? kTitleColour : kButtonText);
    }
    cairo_restore(context);
}

} // namespace host
