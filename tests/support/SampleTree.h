#pragma once

#include <functional>

#include <cairo.h>

#include "QuartzCore/CAGradientLayer.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "UIKit/UIView.h"

// Images and view trees drawn from code, for the drawing tests and the benchmark.
namespace sample {

// An image of `width` x `height` points at `scale`, painted by `paint` in points.
Ptr<UIImage> makeImage(double width, double height, double scale, const std::function<void(cairo_t*)>& paint);
// Four coloured quadrants with a white ring: clipping, scaling and placement all show.
Ptr<UIImage> artworkImage(double side, double scale);
// 9 x 6 points: a 4-point red left cap, a 1-point green strip, a 4-point blue right cap.
Ptr<UIImage> trackImage(double scale);
// A slider track (9 x 4 points, round ends, stretchable after 4) and thumb (round, 14 points).
Ptr<UIImage> sliderTrackImage(double red, double green, double blue, double scale);
Ptr<UIImage> sliderThumbImage(double scale);
// A 20-point white triangle pointing right (`forward`) or left.
Ptr<UIImage> buttonGlyph(bool forward, double scale);
// A horizontal mask over `size`: clear at both edges, opaque after `fadeLength` points.
Ptr<CAGradientLayer> fadeMask(CGSize size, double fadeLength);

// A widget-like panel and the parts a benchmark hides or shows.
struct WidgetTree {
    Ptr<UIView> root;
    Ptr<UIImageView> artwork;
    Ptr<UIView> titleClip;
    Ptr<UILabel> title;
    Ptr<UIButton> buttons[3];
    Ptr<UISlider> slider;
};

// A 320 x 105 point panel: rounded artwork, a title faded at both edges by a mask,
// three buttons and a slider with images. With `scrolling` the title starts one
// 8-second linear scroll to the left.
WidgetTree makeWidgetTree(bool scrolling);

} // namespace sample
