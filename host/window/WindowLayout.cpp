#include "window/WindowLayout.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "render/Snapshot.h"

namespace host {
namespace {

constexpr CGFloat kDefaultScale = 2;
constexpr double kDotsPerInchAtScaleOne = 96;

int pixels(CGFloat points, CGFloat scale) {
    return static_cast<int>(std::ceil(points * scale - 1e-9));
}

} // namespace

WindowLayout::WindowLayout(CGSize widgetSize, CGFloat scale, bool withCaption)
    : _widgetSize(widgetSize), _scale(scale) {
    assert(std::isfinite(scale) && scale > 0);
    const render::PixelSize widget = render::pixelSizeFor(widgetSize, scale);
    _widgetPixelWidth = widget.width;
    _widgetPixelHeight = widget.height;
    const int margin = pixels(kPanelMargin, scale);
    _windowWidth = _widgetPixelWidth + 2 * margin;
    _windowHeight = std::max(_widgetPixelHeight + 2 * margin, pixels(kMinimumPanelHeight, scale));
    _widgetX = (_windowWidth - _widgetPixelWidth) / 2;
    _widgetY = (_windowHeight - _widgetPixelHeight) / 2;
    // Within the margin below the widget, in whole pixels whatever the scale.
    _captionPixelHeight =
        withCaption ? std::min(pixels(kCaptionHeight, scale), _windowHeight - _widgetY - _widgetPixelHeight)
                    : 0;
}

CGRect WindowLayout::captionRect() const {
    return CGRectMake(_widgetX / _scale, (_widgetY + _widgetPixelHeight) / _scale, _widgetPixelWidth / _scale,
                      _captionPixelHeight / _scale);
}

bool WindowLayout::captionContains(double windowX, double windowY) const {
    const double top = _widgetY + _widgetPixelHeight;
    return windowX >= _widgetX && windowX < _widgetX + _widgetPixelWidth && windowY >= top &&
           windowY < top + _captionPixelHeight;
}

CGPoint WindowLayout::widgetPoint(double windowX, double windowY) const {
    return {(windowX - _widgetX) / _scale, (windowY - _widgetY) / _scale};
}

bool WindowLayout::widgetContains(CGPoint point) const {
    return point.x >= 0 && point.y >= 0 && point.x < _widgetSize.width && point.y < _widgetSize.height;
}

CGFloat displayScaleForDpi(double dotsPerInch) {
    if (!std::isfinite(dotsPerInch) || dotsPerInch <= 0) {
        return 1;
    }
    return std::max(1.0, std::round(dotsPerInch / kDotsPerInchAtScaleOne));
}

CGFloat chooseWindowScale(CGFloat requested, bool requestedExplicitly, CGFloat preferredScale,
                          CGSize widgetSize, int usableWidth, int usableHeight) {
    if (requestedExplicitly) {
        return requested;
    }
    CGFloat scale = std::isfinite(preferredScale) && preferredScale > 0 ? preferredScale : kDefaultScale;
    const auto fits = [&](CGFloat candidate) {
        const WindowLayout layout(widgetSize, candidate);
        return (usableWidth <= 0 || layout.windowWidth() <= usableWidth) &&
               (usableHeight <= 0 || layout.windowHeight() <= usableHeight);
    };
    while (scale > 1 && !fits(scale)) {
        scale = std::max<CGFloat>(1, scale - 1);
    }
    return scale;
}

} // namespace host
