#include <SDL.h>
#include <cairo.h>
#include <vector>

#include "UIKit/UIGraphicsHandles.h"
#include "UIKit/UIWindow.h"
#include "host/HostPresenter.h"
#include "window/WindowFrontEnd.h"

namespace host {
namespace {

// The notification centre's dark backdrop, as the headless pictures have it.
constexpr double kBackdropRed = 0x1C / 255.0;
constexpr double kBackdropGreen = 0x1C / 255.0;
constexpr double kBackdropBlue = 0x21 / 255.0;

} // namespace

bool WindowFrontEnd::frameWanted() const {
    if (!_presentation.isVisible()) {
        return false;
    }
    return _wholeFrameNeeded || _exposed || _panels.needsDisplay() ||
           _panels.isOutOfDate(_session->presenter()) || _renderer.needsFrame(*_session->widgetView());
}

void WindowFrontEnd::syncPanel() {
    _panels.sync(_session->presenter(), _layout->windowSizeInPoints());
    if (_panels.takeNeedsDisplay()) {
        _wholeFrameNeeded = true;
    }
}

void WindowFrontEnd::drawFrame(Nanoseconds now) {
    _session->window()->layoutIfNeeded();
    syncPanel();
    const auto root = _session->widgetView();
    std::vector<render::PixelRect> changed;
    if (_wholeFrameNeeded || _renderer.needsFrame(*root)) {
        const UICairoContextPtr context = UICairoContextCreate(_widgetPixels.get());
        changed = _renderer.drawFrame(context.get(), *root, _layout->scale());
        cairo_surface_flush(_widgetPixels.get());
    }
    // With a panel up the whole window is dimmed, so the whole window changes.
    if (_wholeFrameNeeded || _exposed || _panels.isShown()) {
        changed = {
            {-_layout->widgetX(), -_layout->widgetY(), _layout->windowWidth(), _layout->windowHeight()}};
    }
    // Only the widget's changed rectangles are composed and handed to the window.
    std::vector<SDL_Rect> areas;
    for (const render::PixelRect& rect : changed) {
        areas.push_back({_layout->widgetX() + rect.x, _layout->widgetY() + rect.y, rect.width, rect.height});
        compose(areas.back());
    }
    present(areas);
    _wholeFrameNeeded = false;
    _exposed = false;
    // A pass that found nothing changed on screen (a hidden label's text, a value
    // set to what it was) presents nothing and is not counted as a frame.
    _pacer.frameDrawn(now, !changed.empty());
}

void WindowFrontEnd::compose(const SDL_Rect& area) {
    const UICairoContextPtr context = UICairoContextCreate(_framePixels.get());
    cairo_t* cr = context.get();
    cairo_rectangle(cr, area.x, area.y, area.w, area.h);
    cairo_clip(cr);
    cairo_set_source_rgb(cr, kBackdropRed, kBackdropGreen, kBackdropBlue);
    cairo_paint(cr);
    cairo_set_source_surface(cr, _widgetPixels.get(), _layout->widgetX(), _layout->widgetY());
    cairo_paint(cr);
    if (const ModalPanel* panel = _panels.panel()) {
        cairo_scale(cr, _layout->scale(), _layout->scale());
        panel->draw(cr);
    } else if (const ModalPanel* notice = _panels.notice()) {
        cairo_scale(cr, _layout->scale(), _layout->scale());
        notice->drawCard(cr);
    }
    cairo_surface_flush(_framePixels.get());
}

void WindowFrontEnd::present(const std::vector<SDL_Rect>& areas) {
    if (!_windowSurface || areas.empty()) {
        return;
    }
    const SDL_Rect surfaceBounds{0, 0, std::min(_windowSurface->w, _layout->windowWidth()),
                                 std::min(_windowSurface->h, _layout->windowHeight())};
    if (SDL_MUSTLOCK(_windowSurface) && SDL_LockSurface(_windowSurface) != 0) {
        return;
    }
    const int sourceStride = cairo_image_surface_get_stride(_framePixels.get());
    std::vector<SDL_Rect> shown;
    for (const SDL_Rect& area : areas) {
        SDL_Rect clipped{};
        if (!SDL_IntersectRect(&area, &surfaceBounds, &clipped)) {
            continue;
        }
        const unsigned char* source =
            cairo_image_surface_get_data(_framePixels.get()) + clipped.y * sourceStride + clipped.x * 4;
        auto* target = static_cast<unsigned char*>(_windowSurface->pixels) +
                       clipped.y * _windowSurface->pitch + clipped.x * _windowSurface->format->BytesPerPixel;
        // Cairo's ARGB32 is SDL's packed ARGB8888: a copy when the window's format
        // is the same, a conversion otherwise.
        SDL_ConvertPixels(clipped.w, clipped.h, SDL_PIXELFORMAT_ARGB8888, source, sourceStride,
                          _windowSurface->format->format, target, _windowSurface->pitch);
        shown.push_back(clipped);
    }
    if (SDL_MUSTLOCK(_windowSurface)) {
        SDL_UnlockSurface(_windowSurface);
    }
    if (!shown.empty()) {
        SDL_UpdateWindowSurfaceRects(_window.get(), shown.data(), static_cast<int>(shown.size()));
    }
}

void WindowFrontEnd::acquireWindowSurface() {
    _windowSurface = SDL_GetWindowSurface(_window.get());
    if (!_windowSurface) {
        throw HostFailure(std::string("SDL gives the window no surface to draw into: ") + SDL_GetError());
    }
}

} // namespace host
