#include "support/SampleTree.h"

#include <cmath>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNumber.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"

namespace sample {

namespace {

void fillRect(cairo_t* context, double x, double y, double width, double height, double red, double green,
              double blue) {
    cairo_rectangle(context, x, y, width, height);
    cairo_set_source_rgb(context, red, green, blue);
    cairo_fill(context);
}

} // namespace

Ptr<UIImage> makeImage(double width, double height, double scale,
                       const std::function<void(cairo_t*)>& paint) {
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width * scale),
                                                      static_cast<int>(height * scale)));
    const UICairoContextPtr context = UICairoContextCreate(surface.get());
    cairo_scale(context.get(), scale, scale);
    paint(context.get());
    cairo_surface_flush(surface.get());
    return UIImage::imageWithSurface(surface, scale);
}

Ptr<UIImage> artworkImage(double side, double scale) {
    return makeImage(side, side, scale, [side](cairo_t* context) {
        const double half = side / 2;
        const double colors[4][3] = {{0.85, 0.2, 0.2}, {0.2, 0.7, 0.3}, {0.2, 0.35, 0.85}, {0.95, 0.8, 0.2}};
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            const double* color = colors[quadrant];
            fillRect(context, (quadrant % 2) * half, (quadrant / 2) * half, half, half, color[0], color[1],
                     color[2]);
        }
        cairo_arc(context, half, half, side * 0.3, 0, 2 * M_PI);
        cairo_set_line_width(context, side * 0.08);
        cairo_set_source_rgb(context, 1, 1, 1);
        cairo_stroke(context);
    });
}

Ptr<UIImage> trackImage(double scale) {
    return makeImage(9, 6, scale, [](cairo_t* context) {
        fillRect(context, 0, 0, 4, 6, 1, 0, 0);
        fillRect(context, 4, 0, 1, 6, 0, 1, 0);
        fillRect(context, 5, 0, 4, 6, 0, 0, 1);
    });
}

Ptr<UIImage> sliderTrackImage(double red, double green, double blue, double scale) {
    auto image = makeImage(9, 4, scale, [=](cairo_t* context) {
        cairo_new_sub_path(context);
        cairo_arc(context, 2, 2, 2, M_PI / 2, 3 * M_PI / 2);
        cairo_arc(context, 7, 2, 2, -M_PI / 2, M_PI / 2);
        cairo_close_path(context);
        cairo_set_source_rgb(context, red, green, blue);
        cairo_fill(context);
    });
    return image->stretchableImageWithLeftCapWidth(4, 0);
}

Ptr<UIImage> sliderThumbImage(double scale) {
    return makeImage(14, 14, scale, [](cairo_t* context) {
        cairo_arc(context, 7, 7, 6.5, 0, 2 * M_PI);
        cairo_set_source_rgb(context, 0.97, 0.97, 0.97);
        cairo_fill_preserve(context);
        cairo_set_line_width(context, 1);
        cairo_set_source_rgba(context, 0, 0, 0, 0.3);
        cairo_stroke(context);
    });
}

Ptr<UIImage> buttonGlyph(bool forward, double scale) {
    return makeImage(20, 20, scale, [forward](cairo_t* context) {
        cairo_move_to(context, forward ? 5 : 15, 3);
        cairo_line_to(context, forward ? 17 : 3, 10);
        cairo_line_to(context, forward ? 5 : 15, 17);
        cairo_close_path(context);
        cairo_set_source_rgb(context, 1, 1, 1);
        cairo_fill(context);
    });
}

Ptr<CAGradientLayer> fadeMask(CGSize size, double fadeLength) {
    auto fade = CAGradientLayer::layer();
    fade->setBounds(CGRectMake(0, 0, size.width, size.height));
    fade->setPosition(CGPointMake(size.width / 2, size.height / 2));
    fade->setStartPoint(CGPointMake(0, 0.5));
    fade->setEndPoint(CGPointMake(1, 0.5));
    const auto clear = UIColor::clearColor()->CGColor();
    const auto black = UIColor::blackColor()->CGColor();
    fade->setColors(NSArray::arrayWithObjects({clear, black, black, clear}));
    const double ratio = fadeLength / size.width;
    fade->setLocations(
        NSArray::arrayWithObjects({NSNumber::numberWithDouble(0), NSNumber::numberWithDouble(ratio),
                                   NSNumber::numberWithDouble(1 - ratio), NSNumber::numberWithDouble(1)}));
    return fade;
}

WidgetTree makeWidgetTree(bool scrolling) {
    const double scale = 2;
    WidgetTree tree;
    tree.root = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 105));
    tree.root->setBackgroundColor(UIColor::colorWithWhite(0.13, 1));

    tree.artwork = alloc<UIImageView>()->initWithFrame(CGRectMake(10, 10, 85, 85));
    tree.artwork->setImage(artworkImage(85, scale));
    tree.artwork->setClipsToBounds(true);
    tree.artwork->layer()->setCornerRadius(10);
    tree.root->addSubview(tree.artwork);

    // The title line: a clipping strip whose edges fade, with the label moving inside.
    const CGRect strip = CGRectMake(105, 10, 205, 24);
    tree.titleClip = alloc<UIView>()->initWithFrame(strip);
    tree.titleClip->setClipsToBounds(true);
    tree.titleClip->layer()->setMask(fadeMask(strip.size, 12));
    tree.root->addSubview(tree.titleClip);

    tree.title = alloc<UILabel>()->initWithFrame(CGRectMake(12, 0, 100, strip.size.height));
    tree.title->setFont(UIFont::systemFontOfSize(16));
    tree.title->setTextColor(UIColor::whiteColor());
    tree.title->setText(NSStr("A Rather Long Song Title - The Artist With A Long Name"));
    const CGFloat titleWidth = tree.title->sizeThatFits(CGSizeZero).width;
    const CGRect home = CGRectMake(12, 0, titleWidth, strip.size.height);
    tree.title->setFrame(home);
    tree.titleClip->addSubview(tree.title);
    if (scrolling) {
        const auto title = tree.title;
        UIView::animateWithDuration(
            8, 0, UIViewAnimationOptionCurveLinear,
            [=] { title->setFrame(CGRectOffset(home, -(home.size.width - strip.size.width + 24), 0)); },
            nullptr);
    }

    const Ptr<UIImage> pause = makeImage(20, 20, scale, [](cairo_t* context) {
        fillRect(context, 5, 3, 3.5, 14, 1, 1, 1);
        fillRect(context, 11.5, 3, 3.5, 14, 1, 1, 1);
    });
    const Ptr<UIImage> glyphs[3] = {buttonGlyph(false, scale), pause, buttonGlyph(true, scale)};
    const double centres[3] = {150, 207.5, 265};
    for (int index = 0; index < 3; ++index) {
        tree.buttons[index] = UIButton::buttonWithType(UIButtonTypeCustom);
        tree.buttons[index]->setFrame(CGRectMake(centres[index] - 20, 38, 40, 32));
        tree.buttons[index]->setImage(glyphs[index], UIControlStateNormal);
        tree.root->addSubview(tree.buttons[index]);
    }

    tree.slider = alloc<UISlider>()->initWithFrame(CGRectMake(105, 74, 205, 23));
    tree.slider->setMinimumTrackImage(sliderTrackImage(0.3, 0.6, 1.0, scale), UIControlStateNormal);
    tree.slider->setMaximumTrackImage(sliderTrackImage(0.45, 0.45, 0.48, scale), UIControlStateNormal);
    tree.slider->setThumbImage(sliderThumbImage(scale), UIControlStateNormal);
    tree.slider->setValue(0.4f);
    tree.root->addSubview(tree.slider);
    return tree;
}

} // namespace sample
