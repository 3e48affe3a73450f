#include "support/SampleTree.h"

#include <cmath>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNumber.h"
#include "QuartzCore/CAGradientLayer.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIFont.h"

namespace sample {

Ptr<UIImage> makeImage(double width, double height, double scale,
                       const std::function<void(cairo_t*)>& paint) {
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width * scale),
                                                      static_cast<int>(height * scale)));
    cairo_t* context = cairo_create(surface.get());
    cairo_scale(context, scale, scale);
    paint(context);
    cairo_destroy(context);
    cairo_surface_flush(surface.get());
    return UIImage::imageWithSurface(surface, scale);
}

Ptr<UIImage> artworkImage(double side, double scale) {
    return makeImage(side, side, scale, [side](cairo_t* context) {
        const double half = side / 2;
        const double colors[4][3] = {{0.85, 0.2, 0.2}, {0.2, 0.7, 0.3}, {0.2, 0.35, 0.85}, {0.95, 0.8, 0.2}};
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            cairo_rectangle(context, (quadrant % 2) * half, (quadrant / 2) * half, half, half);
            cairo_set_source_rgb(context, colors[quadrant][0], colors[quadrant][1], colors[quadrant][2]);
            cairo_fill(context);
        }
        cairo_arc(context, half, half, side * 0.3, 0, 2 * M_PI);
        cairo_set_line_width(context, side * 0.08);
        cairo_set_source_rgb(context, 1, 1, 1);
        cairo_stroke(context);
    });
}

Ptr<UIImage> wideImage(double scale) {
    return makeImage(4, 3, scale, [](cairo_t* context) {
        cairo_rectangle(context, 0, 0, 2, 3);
        cairo_set_source_rgb(context, 0.9, 0.4, 0.1);
        cairo_fill(context);
        cairo_rectangle(context, 2, 0, 2, 3);
        cairo_set_source_rgb(context, 0.1, 0.4, 0.9);
        cairo_fill(context);
    });
}

Ptr<UIImage> trackImage(double scale) {
    return makeImage(9, 6, scale, [](cairo_t* context) {
        const double parts[3][5] = {{0, 4, 1, 0, 0}, {4, 1, 0, 1, 0}, {5, 4, 0, 0, 1}};
        for (const auto& part : parts) {
            cairo_rectangle(context, part[0], 0, part[1], 6);
            cairo_set_source_rgb(context, part[2], part[3], part[4]);
            cairo_fill(context);
        }
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
        if (forward) {
            cairo_move_to(context, 5, 3);
            cairo_line_to(context, 17, 10);
            cairo_line_to(context, 5, 17);
        } else {
            cairo_move_to(context, 15, 3);
            cairo_line_to(context, 3, 10);
            cairo_line_to(context, 15, 17);
        }
        cairo_close_path(context);
        cairo_set_source_rgb(context, 1, 1, 1);
        cairo_fill(context);
    });
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
    auto fade = CAGradientLayer::layer();
    fade->setBounds(CGRectMake(0, 0, strip.size.width, strip.size.height));
    fade->setPosition(CGPointMake(strip.size.width / 2, strip.size.height / 2));
    fade->setStartPoint(CGPointMake(0, CGRectGetMidY(strip)));
    fade->setEndPoint(CGPointMake(1, CGRectGetMidY(strip)));
    fade->setColors(
        NSArray::arrayWithObjects({UIColor::clearColor()->CGColor(), UIColor::blackColor()->CGColor(),
                                   UIColor::blackColor()->CGColor(), UIColor::clearColor()->CGColor()}));
    const double ratio = 12 / strip.size.width;
    fade->setLocations(
        NSArray::arrayWithObjects({NSNumber::numberWithDouble(0), NSNumber::numberWithDouble(ratio),
                                   NSNumber::numberWithDouble(1 - ratio), NSNumber::numberWithDouble(1)}));
    tree.titleClip->layer()->setMask(fade);
    tree.root->addSubview(tree.titleClip);

    tree.title = alloc<UILabel>()->initWithFrame(CGRectMake(12, 0, 100, strip.size.height));
    tree.title->setFont(UIFont::systemFontOfSize(16));
    tree.title->setTextColor(UIColor::whiteColor());
    tree.title->setText(NSStr("A Rather Long Song Title - The Artist With A Long Name"));
    const CGFloat titleWidth = tree.title->sizeThatFits(CGSizeZero).width;
    tree.title->setFrame(CGRectMake(12, 0, titleWidth, strip.size.height));
    tree.titleClip->addSubview(tree.title);
    if (scrolling) {
        const CGRect home = tree.title->frame();
        const auto title = tree.title;
        UIView::animateWithDuration(
            8, 0, UIViewAnimationOptionCurveLinear,
            [title, home, strip] {
                title->setFrame(CGRectOffset(home, -(home.size.width - strip.size.width + 24), 0));
            },
            nullptr);
    }

    const double centres[3] = {150, 207.5, 265};
    for (int index = 0; index < 3; ++index) {
        auto button = UIButton::buttonWithType(UIButtonTypeCustom);
        button->setFrame(CGRectMake(centres[index] - 20, 38, 40, 32));
        Ptr<UIImage> glyph = buttonGlyph(index == 2, scale);
        if (index == 1) {
            glyph = makeImage(20, 20, scale, [](cairo_t* context) {
                cairo_rectangle(context, 5, 3, 3.5, 14);
                cairo_rectangle(context, 11.5, 3, 3.5, 14);
                cairo_set_source_rgb(context, 1, 1, 1);
                cairo_fill(context);
            });
        }
        button->setImage(glyph, UIControlStateNormal);
        tree.root->addSubview(button);
        tree.buttons[index] = button;
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
