#include <SDL.h>
#include <cairo.h>

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
    if (_wholeFrameNeeded || _renderer.needsFrame(*root)) {
        const UICairoContextPtr context = UICairoContextCreate(_widgetPixels.get());
        _renderer.drawFrame(context.get(), *root, _layout->scale());
        cairo_surface_flush(_widgetPixels.get());
    }
    // With a panel up the whole window is dimmed, so the whole window changes.
    const bool wholeWindow = _wholeFrameNeeded || _exposed || _panels.isShown();
    compose(wholeWindow);
    present(wholeWindow ? SDL_Rect{0, 0, _layout->windowWidth(), _layout->windowHeight()}
                        : SDL_Rect{_layout->widgetX(), _layout->widgetY(), _layout->widgetPixelWidth(),
                                   _layout->widgetPixelHeight()});
    _wholeFrameNeeded = false;
    _exposed = false;
    _pacer.frameDrawn(now);
}

void WindowFrontEnd::compose(bool wholeWindow) {
    const UICairoContextPtr context = UICairoContextCreate(_framePixels.get());
    cairo_t* cr = context.get();
    if (wholeWindow) {
        cairo_rectangle(cr, 0, 0, _layout->windowWidth(), _layout->windowHeight());
    } else {
        cairo_rectangle(cr, _layout->widgetX(), _layout->widgetY(), _layout->widgetPixelWidth(),
                        _layout->widgetPixelHeight());
    }
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

void WindowFrontEnd::present(const SDL_Rect& area) {
    if (!_windowSurface) {
        return;
    }
    SDL_Rect clipped{};
    const SDL_Rect surfaceBounds{0, 0, std::min(_windowSurface->w, _layout->windowWidth()),
                                 std::min(_windowSurface->h, _layout->windowHeight())};
    if (!SDL_IntersectRect(&area, &surfaceBounds, &clipped)) {
        return;
    }
    const int sourceStride = cairo_image_surface_get_stride(_framePixels.get());
    const unsigned char* source =
        cairo_image_surface_get_data(_framePixels.get()) + clipped.y * sourceStride + clipped.x * 4;
    if (SDL_MUSTLOCK(_windowSurface) && SDL_LockSurface(_windowSurface) != 0) {
        return;
    }
    auto* target = static_cast<unsigned char*>(_windowSurface->pixels) + clipped.y * _windowSurface->pitch +
                   clipped.x * _windowSurface->format->BytesPerPixel;
    // Cairo's ARGB32 is SDL's packed ARGB8888: a copy when the window's format is
    // the same, a conversion otherwise.
    SDL_ConvertPixels(clipped.w, clipped.h, SDL_PIXELFORMAT_ARGB8888, source, sourceStride,
                      _windowSurface->format->format, target, _windowSurface->pitch);
    if (SDL_MUSTLOCK(_windowSurface)) {
        SDL_UnlockSurface(_windowSurface);
    }
    SDL_UpdateWindowSurfaceRects(_window.get(), &clipped, 1);
}

void WindowFrontEnd::acquireWindowSurface() {
    _windowSurface = SDL_GetWindowSurface(_window.get());
    if (!_windowSurface) {
        throw HostFailure(std::string("SDL gives the window no surface to draw into: ") + SDL_GetError());
    }
}

} // namespace host
