#pragma once

#include "CoreGraphics/CGGeometry.h"

namespace host {

// Where things are in the trillbox window: the widget drawn at `scale` pixels per
// point in the middle of a dark panel that stands in for the notification centre,
// with, when asked for, a caption line right under it that names the followed player.
// Window coordinates are pixels from the window's top left, as the pointer
// reports them.
class WindowLayout {
public:
    // The panel's margin around the widget, in points.
    static constexpr CGFloat kPanelMargin = 16;
    // The panel is at least this tall, in points, so that an alert or the share
    // sheet fits over a short widget.
    static constexpr CGFloat kMinimumPanelHeight = 140;
    // The caption line's height, in points: it lies in the panel's margin under
    // the widget, so the window is as large with it as without.
    static constexpr CGFloat kCaptionHeight = 16;
    static_assert(kCaptionHeight <= kPanelMargin);

    // `widgetSize` in points; `scale` must be positive and finite.
    WindowLayout(CGSize widgetSize, CGFloat scale, bool withCaption = false);

    CGFloat scale() const { return _scale; }
    CGSize widgetSize() const { return _widgetSize; }
    // The window's size in pixels.
    int windowWidth() const { return _windowWidth; }
    int windowHeight() const { return _windowHeight; }
    // The window's size in points.
    CGSize windowSizeInPoints() const { return {_windowWidth / _scale, _windowHeight / _scale}; }
    // The widget's rectangle in pixels: its origin is on a whole pixel.
    int widgetX() const { return _widgetX; }
    int widgetY() const { return _widgetY; }
    int widgetPixelWidth() const { return _widgetPixelWidth; }
    int widgetPixelHeight() const { return _widgetPixelHeight; }

    // The caption line lies right under the widget, as wide as it: its height in
    // pixels, 0 without a caption.
    int captionPixelHeight() const { return _captionPixelHeight; }
    // The caption line in the window's points.
    CGRect captionRect() const;
    // Whether a window position (pixels) lies on the caption line.
    bool captionContains(double windowX, double windowY) const;

    // A window position in the widget's points (outside the widget too).
    CGPoint widgetPoint(double windowX, double windowY) const;
    // A window position in the window's points.
    CGPoint windowPoint(double windowX, double windowY) const { return {windowX / _scale, windowY / _scale}; }
    // Whether a point of the widget lies on it.
    bool widgetContains(CGPoint widgetPoint) const;

private:
    CGSize _widgetSize;
    CGFloat _scale;
    int _windowWidth = 0;
    int _windowHeight = 0;
    int _widgetX = 0;
    int _widgetY = 0;
    int _widgetPixelWidth = 0;
    int _widgetPixelHeight = 0;
    int _captionPixelHeight = 0;
};

// The display's scale for its dots per inch: whole steps of 96 dpi, at least 1;
// 1 when the display does not say.
CGFloat displayScaleForDpi(double dotsPerInch);

// The scale the window draws at. A scale given on the command line is kept as
// it is. Otherwise it is `preferredScale` (2 when that is not a positive number),
// lowered in whole steps (not below 1) while the window would not fit the
// display's usable area of `usableWidth` x `usableHeight` pixels (0: unknown).
CGFloat chooseWindowScale(CGFloat requested, bool requestedExplicitly, CGFloat preferredScale,
                          CGSize widgetSize, int usableWidth, int usableHeight);

} // namespace host
