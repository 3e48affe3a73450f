#include "widget/TrillboxView.h"

#include <algorithm>

#include "UIKit/UIImageView.h"

namespace {

// How far the background image stays from the left and right edges, in points.
constexpr CGFloat kBackgroundHorizontalInset = 2;

} // namespace

Ptr<TrillboxView> TrillboxView::initWithFrame(CGRect frame) {
    if (!UIView::initWithFrame(frame)) {
        return nullptr;
    }
    return self<TrillboxView>();
}

TrillboxView::~TrillboxView() {
    if (_backgroundImageView) {
        // removeFromSuperview cannot reach a view that is already going, so the
        // image view is detached from this view and its layer here.
        std::erase(_subviews, _backgroundImageView);
        _backgroundImageView->layer()->removeFromSuperlayer();
        _backgroundImageView.reset();
    }
}

void TrillboxView::setBackgroundImage(const Ptr<UIImage>& image) {
    if (!image) {
        if (_backgroundImageView) {
            _backgroundImageView->removeFromSuperview();
            _backgroundImageView.reset();
        }
        return;
    }
    if (!_backgroundImageView) {
        _backgroundImageView = alloc<UIImageView>()->init();
        addSubview(_backgroundImageView);
    }
    _backgroundImageView->setImage(image);
}

void TrillboxView::layoutSubviews() {
    UIView::layoutSubviews();
    if (!_backgroundImageView) {
        return;
    }
    const CGRect area = bounds();
    // A view narrower than both insets keeps a zero-width image at its centre
    // rather than a null frame.
    const CGFloat inset = std::min(kBackgroundHorizontalInset, std::max<CGFloat>(area.size.width, 0) / 2);
    _backgroundImageView->setFrame(CGRectMake(area.origin.x + inset, area.origin.y,
                                              std::max<CGFloat>(area.size.width - 2 * inset, 0),
                                              area.size.height));
}
