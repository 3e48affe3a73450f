#pragma once

#include <functional>

#include <cairo.h>

#include "UIKit/UIButton.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "UIKit/UIView.h"

// Images and view trees drawn from code, for the image tests and the benchmark:
// no file and no product code is needed to build them.
namespace sample {

// An image of `width` x `height` points at `scale`, painted by `paint` in points.
Ptr<UIImage> makeImage(double width, double height, double scale, const std::function<void(cairo_t*)>& paint);

// A square artwork: four coloured quadrants with a white ring, so that clipping,
// scaling and placement all show.
Ptr<UIImage> artworkImage(double side, double scale);
// A 4 x 3 point image (wider than high) in two colours, left and right halves.
Ptr<UIImage> wideImage(double scale);
// A 9 x 6 point track: a 4-point red left cap, a 1-point green strip, a 4-point
// blue right cap, stretchable with a left cap of 4 (not yet stretchable).
Ptr<UIImage> trackImage(double scale);
// A slider track in `red`, `green`, `blue`: 9 x 4 points, rounded ends, stretchable (cap 4).
Ptr<UIImage> sliderTrackImage(double red, double green, double blue, double scale);
// A round 14-point slider thumb.
Ptr<UIImage> sliderThumbImage(double scale);
// A 20 x 20 point button glyph: a white triangle pointing right (`forward`) or left.
Ptr<UIImage> buttonGlyph(bool forward, double scale);

// The parts of a widget-like panel, for looking at and timing.
struct WidgetTree {
    Ptr<UIView> root;
    Ptr<UIImageView> artwork;
    Ptr<UIView> titleClip;
    Ptr<UILabel> title;
    Ptr<UIButton> buttons[3];
    Ptr<UISlider> slider;
};

// A 320 x 105 point panel: rounded artwork on the left, a title line faded at both
// edges by a gradient mask, three buttons and a slider with images. The title
// starts scrolling left (one 8-second linear leg) when `scrolling` is set.
WidgetTree makeWidgetTree(bool scrolling);

} // namespace sample
