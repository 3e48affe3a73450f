#include <SDL.h>
#include <cairo.h>

#include <algorithm>
#include <utility>

#include "UIKit/UIGraphicsHandles.h"
#include "window/PlayerCaption.h"
#include "window/WindowFrontEnd.h"

namespace host {

void WindowFrontEnd::refreshCaption() {
    std::string caption = playerCaptionText(_session->mediaBackEnd().players());
    if (caption == _caption) {
        return;
    }
    _caption = std::move(caption);
    _captionNeedsDisplay = true;
}

void WindowFrontEnd::composeCaption(cairo_t* context) const {
    if (_caption.empty() || _layout->captionPixelHeight() == 0) {
        return;
    }
    cairo_save(context);
    cairo_scale(context, _layout->scale(), _layout->scale());
    drawPlayerCaption(context, _caption, _layout->captionRect());
    cairo_restore(context);
}

void WindowFrontEnd::drawCaption(std::vector<SDL_Rect>& areas, bool direct) {
    const bool changed = std::exchange(_captionNeedsDisplay, false);
    const SDL_Rect caption{_layout->widgetX(), _layout->widgetY() + _layout->widgetPixelHeight(),
                           _layout->widgetPixelWidth(), _layout->captionPixelHeight()};
    const bool covered = std::ranges::any_of(
        areas, [&](const SDL_Rect& area) { return SDL_HasIntersection(&area, &caption) == SDL_TRUE; });
    // Composing draws the caption with whatever covers it; drawing straight into
    // the window, a whole frame paints the backdrop over it.
    if (caption.h == 0 || (covered && !direct) || (!covered && !changed)) {
        return;
    }
    if (!direct) {
        compose(caption);
    } else if (caption.y + caption.h <= _windowSurface->h && caption.x + caption.w <= _windowSurface->w) {
        // The direct path runs only on a 32-bit surface Cairo can draw into.
        auto* origin = static_cast<unsigned char*>(_windowSurface->pixels) +
                       caption.y * _windowSurface->pitch + caption.x * 4;
        const UICairoSurface surface(cairo_image_surface_create_for_data(
            origin,
            _windowSurface->format->format == SDL_PIXELFORMAT_RGB888 ? CAIRO_FORMAT_RGB24
                                                                     : CAIRO_FORMAT_ARGB32,
            caption.w, caption.h, _windowSurface->pitch));
        // The window's corner, in the panel's margin, is backdrop.
        SDL_FillRect(_windowSurface, &caption, *static_cast<const Uint32*>(_windowSurface->pixels));
        const UICairoContextPtr context = UICairoContextCreate(surface.get());
        cairo_translate(context.get(), -caption.x, -caption.y);
        composeCaption(context.get());
        cairo_surface_flush(surface.get());
    }
    if (!covered) {
        areas.push_back(caption);
    }
}

bool WindowFrontEnd::wheelOverCaption(int x, int y, int notches) {
    if (_caption.empty() || !_layout->captionContains(x, y)) {
        return false;
    }
    // Rolling away goes back through the players, as a list scrolls up.
    if (notches != 0) {
        movePlayer(notches > 0 ? PlayerMove::previous : PlayerMove::next);
    }
    return true;
}

void WindowFrontEnd::movePlayer(PlayerMove move) {
    if (_presentation.isVisible() && _session->mediaBackEnd().movePlayer(move)) {
        _session->settle();
    }
}

} // namespace host
