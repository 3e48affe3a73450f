#include <SDL.h>
#include <cairo.h>

#include "HostPresenter.h"
#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIWindow.h"
#include "render/CairoHandles.h"
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
    return _wholeFrameNeeded || _exposed || panelIsOutOfDate() ||
           _renderer.needsFrame(*_session->widgetView());
}

bool WindowFrontEnd::panelIsOutOfDate() const {
    const HostPresenter& presenter = _session->presenter();
    return presenter.visibleAlert() != _panelAlert || presenter.visibleController() != _panelController;
}

void WindowFrontEnd::syncPanel() {
    if (!panelIsOutOfDate()) {
        return;
    }
    _wholeFrameNeeded = true;
    const HostPresenter& presenter = _session->presenter();
    _panelAlert = presenter.visibleAlert();
    _panelController = presenter.visibleController();
    _panelPress = -1;
    _alertPanel = {};
    _sharePanel = {};
    const CGSize windowSize = _layout->windowSizeInPoints();
    // An alert covers a sheet under it; the sheet comes back when it goes.
    if (_panelAlert) {
        _alertPanel = makeAlertPanel(*_panelAlert);
        _panel.emplace(_alertPanel.content, windowSize);
    } else if (const auto sheet = as<UIActivityViewController>(_panelController)) {
        _sharePanel = makeSharePanel(*sheet);
        _panel.emplace(_sharePanel.content, windowSize);
    } else if (_panelController) {
        _panel.emplace(PanelContent{_panelController->className(), "", {"Close"}, 0, 0}, windowSize);
    } else {
        _panel.reset();
    }
}

void WindowFrontEnd::drawFrame(Nanoseconds now) {
    _session->window()->layoutIfNeeded();
    syncPanel();
    const auto root = _session->widgetView();
    if (_wholeFrameNeeded || _renderer.needsFrame(*root)) {
        const render::CairoContext context = render::makeContext(_widgetPixels.get());
        _renderer.drawFrame(context.get(), *root, _layout->scale());
        cairo_surface_flush(_widgetPixels.get());
    }
    // With a panel up the whole window is dimmed, so the whole window changes.
    const bool wholeWindow = _wholeFrameNeeded || _exposed || _panel.has_value();
    compose(wholeWindow);
    present(wholeWindow ? SDL_Rect{0, 0, _layout->windowWidth(), _layout->windowHeight()}
                        : SDL_Rect{_layout->widgetX(), _layout->widgetY(), _layout->widgetPixelWidth(),
                                   _layout->widgetPixelHeight()});
    _wholeFrameNeeded = false;
    _exposed = false;
    _pacer.frameDrawn(now);
}

void WindowFrontEnd::compose(bool wholeWindow) {
    const render::CairoContext context = render::makeContext(_framePixels.get());
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
    if (_panel) {
        cairo_scale(cr, _layout->scale(), _layout->scale());
        _panel->draw(cr);
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
