#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UIImage.h"

class UIView;

namespace render {

// The largest image side, in pixels, a snapshot makes.
inline constexpr int kLargestSnapshotSide = 16384;

// The pixel size an image of `size` points at `scale` gets: each side rounded up.
// Zero when the size or scale is not positive and finite, or a side would exceed
// kLargestSnapshotSide.
struct PixelSize {
    int width = 0;
    int height = 0;
    bool isEmpty() const { return width <= 0 || height <= 0; }
};
PixelSize pixelSizeFor(CGSize size, CGFloat scale);

// `view` and its subtree as they show now, in a new ARGB32 image of the view's
// bounds size x `scale` (transparent where nothing is drawn). The view's own
// position is left out; its opacity, clipping and mask apply. An empty surface
// when the size is empty or the scale unusable. The same tree at the same time
// gives the same pixels.
UICairoSurface snapshot(UIView& view, CGFloat scale);
UICairoSurface snapshot(const Ptr<UIView>& view, CGFloat scale);

// The PNG encoding of `surface`; empty for an empty or failed surface. The same
// pixels give the same bytes.
std::vector<unsigned char> encodePNG(const UICairoSurface& surface);
// Writes `surface` as a PNG file at `path`; false when there is nothing to write
// or the file cannot be written.
bool writePNG(const UICairoSurface& surface, const std::string& path);

} // namespace render
