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
constexpr Uint8 kBackdropByte[3] = {0x1C, 0x1C, 0x21};

} // namespace

bool WindowFrontEnd::frameWanted() const {
    if (!_presentation.isVisible()) {
        return false;
    }
    return _wholeFrameNeeded || _exposed || _captionNeedsDisplay || _panels.needsDisplay() ||
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
    // A panel or notice is drawn over the composed window; without one the widget
    // is composited straight into the window's pixels.
    const bool direct = _windowPixels && !_panels.panel() && !_panels.notice();
    std::vector<SDL_Rect> areas = direct ? drawIntoWindow() : drawByComposing();
    drawCaption(areas, direct);
    present(areas, !direct);
    _wholeFrameNeeded = false;
    _exposed = false;
    _drewDirectly = direct;
    // A pass that found nothing changed on screen (a hidden label's text, a value
    // set to what it was) presents nothing and is not counted as a frame.
    _pacer.frameDrawn(now, !areas.empty());
}

std::vector<SDL_Rect> WindowFrontEnd::drawIntoWindow() {
    const auto root = _session->widgetView();
    const bool whole = _wholeFrameNeeded || !_drewDirectly;
    if (whole) {
        SDL_FillRect(
            _windowSurface, nullptr,
            SDL_MapRGB(_windowSurface->format, kBackdropByte[0], kBackdropByte[1], kBackdropByte[2]));
        // A new target, which the renderer draws whole.
        makeWindowPixels();
        if (!_windowPixels) {
            return {};
        }
    }
    std::vector<render::PixelRect> changed;
    if (whole || _renderer.needsFrame(*root)) {
        const UICairoContextPtr context = UICairoContextCreate(_windowPixels.get());
        changed = _renderer.drawFrame(context.get(), *root, _layout->scale());
        cairo_surface_flush(_windowPixels.get());
    }
    if (whole || _exposed) {
        return {{0, 0, _layout->windowWidth(), _layout->windowHeight()}};
    }
    std::vector<SDL_Rect> areas;
    areas.reserve(changed.size());
    for (const render::PixelRect& rect : changed) {
        areas.push_back({_layout->widgetX() + rect.x, _layout->widgetY() + rect.y, rect.width, rect.height});
    }
    return areas;
}

std::vector<SDL_Rect> WindowFrontEnd::drawByComposing() {
    if (!_widgetPixels) {
        _widgetPixels = UICairoSurface(cairo_image_surface_create(
            CAIRO_FORMAT_ARGB32, _layout->widgetPixelWidth(), _layout->widgetPixelHeight()));
        _framePixels = UICairoSurface(
            cairo_image_surface_create(CAIRO_FORMAT_ARGB32, _layout->windowWidth(), _layout->windowHeight()));
        if (cairo_surface_status(_widgetPixels.get()) != CAIRO_STATUS_SUCCESS ||
            cairo_surface_status(_framePixels.get()) != CAIRO_STATUS_SUCCESS) {
            throw HostFailure("cannot allocate the window's pixels");
        }
    }
    const auto root = _session->widgetView();
    std::vector<render::PixelRect> changed;
    if (_wholeFrameNeeded || _renderer.needsFrame(*root)) {
        const UICairoContextPtr context = UICairoContextCreate(_widgetPixels.get());
        changed = _renderer.drawFrame(context.get(), *root, _layout->scale());
        cairo_surface_flush(_widgetPixels.get());
    }
    // With a panel up the whole window is dimmed, so the whole window changes; what
    // was drawn straight into the window is not in the composed pixels.
    if (_wholeFrameNeeded || _exposed || _panels.isShown() || _drewDirectly) {
        changed = {
            {-_layout->widgetX(), -_layout->widgetY(), _layout->windowWidth(), _layout->windowHeight()}};
    }
    // Only the widget's changed rectangles are composed and handed to the window.
    std::vector<SDL_Rect> areas;
    for (const render::PixelRect& rect : changed) {
        areas.push_back({_layout->widgetX() + rect.x, _layout->widgetY() + rect.y, rect.width, rect.height});
        compose(areas.back());
    }
    return areas;
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
    composeCaption(cr);
    if (const ModalPanel* panel = _panels.panel()) {
        cairo_scale(cr, _layout->scale(), _layout->scale());
        panel->draw(cr);
    } else if (const ModalPanel* notice = _panels.notice()) {
        cairo_scale(cr, _layout->scale(), _layout->scale());
        notice->drawCard(cr);
    }
    cairo_surface_flush(_framePixels.get());
}

void WindowFrontEnd::present(const std::vector<SDL_Rect>& areas, bool copyComposed) {
    if (!_windowSurface || areas.empty()) {
        return;
    }
    const SDL_Rect surfaceBounds{0, 0, std::min(_windowSurface->w, _layout->windowWidth()),
                                 std::min(_windowSurface->h, _layout->windowHeight())};
    if (copyComposed && SDL_MUSTLOCK(_windowSurface) && SDL_LockSurface(_windowSurface) != 0) {
        return;
    }
    const int sourceStride = copyComposed ? cairo_image_surface_get_stride(_framePixels.get()) : 0;
    std::vector<SDL_Rect> shown;
    shown.reserve(areas.size());
    for (const SDL_Rect& area : areas) {
        SDL_Rect clipped{};
        if (!SDL_IntersectRect(&area, &surfaceBounds, &clipped)) {
            continue;
        }
        shown.push_back(clipped);
        if (!copyComposed) {
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
    }
    if (copyComposed && SDL_MUSTLOCK(_windowSurface)) {
        SDL_UnlockSurface(_windowSurface);
    }
    if (!shown.empty()) {
        SDL_UpdateWindowSurfaceRects(_window.get(), shown.data(), static_cast<int>(shown.size()));
    }
}

void WindowFrontEnd::makeWindowPixels() {
    _windowPixels = {};
    const Uint32 format = _windowSurface->format->format;
    // Cairo draws into the window's own pixels only in its own layout: 32-bit
    // (A)RGB, directly addressable.
    if ((format != SDL_PIXELFORMAT_ARGB8888 && format != SDL_PIXELFORMAT_RGB888) ||
        SDL_MUSTLOCK(_windowSurface) || _layout->widgetX() < 0 || _layout->widgetY() < 0) {
        return;
    }
    const int width = std::min(_layout->widgetPixelWidth(), _windowSurface->w - _layout->widgetX());
    const int height = std::min(_layout->widgetPixelHeight(), _windowSurface->h - _layout->widgetY());
    const cairo_format_t cairoFormat =
        format == SDL_PIXELFORMAT_RGB888 ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32;
    if (width <= 0 || height <= 0 ||
        cairo_format_stride_for_width(cairoFormat, width) > _windowSurface->pitch ||
        _windowSurface->pitch % 4 != 0) {
        return;
    }
    auto* origin = static_cast<unsigned char*>(_windowSurface->pixels) +
                   _layout->widgetY() * _windowSurface->pitch + _layout->widgetX() * 4;
    UICairoSurface surface(
        cairo_image_surface_create_for_data(origin, cairoFormat, width, height, _windowSurface->pitch));
    if (cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS) {
        _windowPixels = std::move(surface);
    }
}

void WindowFrontEnd::acquireWindowSurface() {
    _windowPixels = {};
    _windowSurface = SDL_GetWindowSurface(_window.get());
    if (!_windowSurface) {
        throw HostFailure(std::string("SDL gives the window no surface to draw into: ") + SDL_GetError());
    }
    _renderer.setBackdrop(render::Renderer::Backdrop{kBackdropRed, kBackdropGreen, kBackdropBlue});
    makeWindowPixels();
}

} // namespace host
