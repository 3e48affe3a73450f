#include "UIKit/UIImageView.h"

#include <algorithm>

Ptr<UIImageView> UIImageView::init() {
    return initWithFrame(CGRectZero);
}

Ptr<UIImageView> UIImageView::initWithFrame(CGRect frame) {
    if (!UIView::initWithFrame(frame)) {
        return nullptr;
    }
    _userInteractionEnabled = false;
    return self<UIImageView>();
}

Ptr<UIImageView> UIImageView::initWithImage(const Ptr<UIImage>& image) {
    const CGSize size = image ? image->size() : CGSizeZero;
    if (!initWithFrame(CGRectMake(0, 0, size.width, size.height))) {
        return nullptr;
    }
    _image = image;
    return self<UIImageView>();
}

void UIImageView::setImage(const Ptr<UIImage>& image) {
    if (image == _image) {
        return;
    }
    _image = image;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

CGRect UIImageView::imageRect() const {
    if (!_image) {
        return CGRectZero;
    }
    return UIImageViewImageRect(bounds(), _image->size(), contentMode());
}

CGSize UIImageView::sizeThatFits(CGSize size) const {
    return _image ? _image->size() : bounds().size;
}

CGSize UIImageView::intrinsicContentSize() const {
    return _image ? _image->size() : CGSizeMake(UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric);
}

CGRect UIImageViewImageRect(CGRect bounds, CGSize imageSize, UIViewContentMode contentMode) {
    bounds = CGRectStandardize(bounds);
    const CGFloat minX = CGRectGetMinX(bounds);
    const CGFloat minY = CGRectGetMinY(bounds);
    const CGFloat width = bounds.size.width;
    const CGFloat height = bounds.size.height;
    auto placed = [&](CGSize size, CGFloat horizontal, CGFloat vertical) {
        // horizontal / vertical: 0 leading edge, 0.5 centred, 1 trailing edge.
        return CGRectMake(minX + (width - size.width) * horizontal, minY + (height - size.height) * vertical,
                          size.width, size.height);
    };
    switch (contentMode) {
    case UIViewContentModeScaleAspectFit:
    case UIViewContentModeScaleAspectFill: {
        if (imageSize.width <= 0 || imageSize.height <= 0) {
            return placed(CGSizeZero, 0.5, 0.5);
        }
        const CGFloat horizontalScale = width / imageSize.width;
        const CGFloat verticalScale = height / imageSize.height;
        const CGFloat scale = contentMode == UIViewContentModeScaleAspectFit
                                  ? std::min(horizontalScale, verticalScale)
                                  : std::max(horizontalScale, verticalScale);
        return placed(CGSizeMake(imageSize.width * scale, imageSize.height * scale), 0.5, 0.5);
    }
    case UIViewContentModeCenter:
        return placed(imageSize, 0.5, 0.5);
    case UIViewContentModeTop:
        return placed(imageSize, 0.5, 0);
    case UIViewContentModeBottom:
        return placed(imageSize, 0.5, 1);
    case UIViewContentModeLeft:
        return placed(imageSize, 0, 0.5);
    case UIViewContentModeRight:
        return placed(imageSize, 1, 0.5);
    case UIViewContentModeTopLeft:
        return placed(imageSize, 0, 0);
    case UIViewContentModeTopRight:
        return placed(imageSize, 1, 0);
    case UIViewContentModeBottomLeft:
        return placed(imageSize, 0, 1);
    case UIViewContentModeBottomRight:
        return placed(imageSize, 1, 1);
    default:
        return bounds;
    }
}
