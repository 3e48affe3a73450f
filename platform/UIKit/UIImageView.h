#pragma once

#include "UIKit/UIImage.h"
#include "UIKit/UIView.h"

// A view that shows an image, placed by its content mode: 0 scales to fill the
// bounds, 1 scales to fit keeping the aspect ratio, 2 scales to fill keeping the
// aspect ratio (cropped by clipping), the others place the image unscaled.
// User interaction is off by default.
class UIImageView : public UIView {
public:
    Ptr<UIImageView> init();
    Ptr<UIImageView> initWithFrame(CGRect frame);
    // A view framed at (0, 0) with the image's size.
    Ptr<UIImageView> initWithImage(const Ptr<UIImage>& image);

    const Ptr<UIImage>& image() const { return _image; }
    virtual void setImage(const Ptr<UIImage>& image);

    // Where the image is drawn, in bounds coordinates; the zero rectangle without an image.
    CGRect imageRect() const;
    // The image's size; the current size without an image.
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const override;
    // Draws the image at imageRect().
    void drawRect(CGRect rect) override;

private:
    Ptr<UIImage> _image;
};

// Where an image of `imageSize` points lies in `bounds` under `contentMode`.
CGRect UIImageViewImageRect(CGRect bounds, CGSize imageSize, UIViewContentMode contentMode);
