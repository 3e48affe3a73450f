#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include <cairo.h>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"
#include "UIKit/UIGraphicsHandles.h"

struct UIEdgeInsets {
    CGFloat top = 0;
    CGFloat left = 0;
    CGFloat bottom = 0;
    CGFloat right = 0;
    bool operator==(const UIEdgeInsets&) const = default;
};

// An immutable bitmap image. Its size is in points: pixels divided by its scale.
class UIImage : public NSObject {
public:
    // The PNG at `path`; nil when the file is missing, unreadable or not a PNG.
    // A file named "name@2x.png" (or @3x) has that scale. "name.png" loads the
    // variant next to it (itself, "name@2x.png" or "name@3x.png") that the main
    // screen's scale prefers (NSBundle::imageScalesPreferredAt) among those that exist.
    static Ptr<UIImage> imageWithContentsOfFile(const Ptr<NSString>& path);
    // An image over a 32-bit ARGB image surface; nil for a nil or failed surface
    // or a scale that is not positive.
    static Ptr<UIImage> imageWithSurface(UICairoSurface surface, CGFloat scale = 1);

    Ptr<UIImage> initWithContentsOfFile(const Ptr<NSString>& path);

    CGSize size() const;
    CGFloat scale() const { return _scale; }

    // A copy that stretches: the left `leftCapWidth` and top `topCapHeight` points
    // stay fixed, the one point after each cap is stretched, and the rest of the
    // width (height) is the right (bottom) cap. A cap of 0 stretches the whole
    // image along that axis. Caps are clamped to the image.
    Ptr<UIImage> stretchableImageWithLeftCapWidth(NSInteger leftCapWidth, NSInteger topCapHeight) const;
    NSInteger leftCapWidth() const { return _leftCapWidth; }
    NSInteger topCapHeight() const { return _topCapHeight; }
    // The fixed borders in points; all zero for an image that is not stretchable.
    UIEdgeInsets capInsets() const;
    BOOL isStretchable() const { return _stretchable; }

    // The pixels, for drawing.
    cairo_surface_t* cairoSurface() const { return _surface.get(); }
    const UICairoSurface& surface() const { return _surface; }
    // The path the image was loaded from, or nil.
    const Ptr<NSString>& path() const { return _path; }

    // A piece of the pixels (x, y, width, height in pixels) already resampled to
    // `width` x `height` device pixels, as drawing made it; drawing keeps the few
    // it made last, so that the same piece at the same size is resampled once.
    struct ResampledPiece {
        std::array<double, 4> source{};
        int width = 0;
        int height = 0;
        UICairoSurface pixels;
    };
    // At most this many pieces and this many pixels in all (4 MB) are kept.
    static constexpr std::size_t kResampledPiecesKept = 8;
    static constexpr double kResampledPixelsKept = 1024.0 * 1024.0;
    std::vector<ResampledPiece>& resampledPieces() const { return _resampledPieces; }

    std::string description() const override;

private:
    UICairoSurface _surface;
    CGFloat _scale = 1;
    Ptr<NSString> _path;
    bool _stretchable = false;
    NSInteger _leftCapWidth = 0;
    NSInteger _topCapHeight = 0;
    mutable std::vector<ResampledPiece> _resampledPieces;
};
