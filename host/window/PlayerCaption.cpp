#include "window/PlayerCaption.h"

#include <pango/pangocairo.h>

#include <algorithm>

#include "Foundation/NSUTF8.h"
#include "UIKit/UIGraphicsHandles.h"

namespace host {
namespace {

constexpr CGFloat kCaptionFontSize = 11;
constexpr const char* kCaptionFontFamily = "DejaVu Sans";
// A quiet grey on the dark panel: it names the source, it is not the widget.
constexpr double kCaptionGrey = 0xA0 / 255.0;

} // namespace

std::string playerCaptionText(const std::vector<PlayerListing>& players) {
    const auto followed = std::ranges::find_if(players, &PlayerListing::followed);
    if (followed == players.end()) {
        return {};
    }
    std::string text = followed->identity.empty() ? followed->name : followed->identity;
    if (players.size() > 1) {
        text += " \u00B7 " + std::to_string(followed - players.begin() + 1) + " of " +
                std::to_string(players.size());
    }
    return text;
}

void drawPlayerCaption(cairo_t* context, const std::string& text, CGRect rect) {
    if (text.empty()) {
        return;
    }
    const UIGObjectPtr<PangoLayout> layout(pango_cairo_create_layout(context));
    const UIPangoFontDescriptionPtr font(pango_font_description_new());
    pango_font_description_set_family(font.get(), kCaptionFontFamily);
    pango_font_description_set_absolute_size(font.get(), kCaptionFontSize * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), font.get());
    pango_layout_set_width(layout.get(),
                           static_cast<int>(std::max<CGFloat>(1, rect.size.width) * PANGO_SCALE));
    pango_layout_set_alignment(layout.get(), PANGO_ALIGN_CENTER);
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
    // A player names itself: its bytes may be anything.
    const std::string valid = NSRepairUTF8(text);
    pango_layout_set_text(layout.get(), valid.c_str(), static_cast<int>(valid.size()));
    int width = 0;
    int height = 0;
    pango_layout_get_size(layout.get(), &width, &height);
    cairo_set_source_rgb(context, kCaptionGrey, kCaptionGrey, kCaptionGrey);
    cairo_move_to(context, rect.origin.x,
                  rect.origin.y + (rect.size.height - static_cast<CGFloat>(height) / PANGO_SCALE) / 2);
    pango_cairo_show_layout(context, layout.get());
}

} // namespace host
