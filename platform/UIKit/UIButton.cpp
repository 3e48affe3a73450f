#include "UIKit/UIButton.h"

#include "UIKit/UIImage.h"

Ptr<UIButton> UIButton::buttonWithType(UIButtonType type) {
    auto button = alloc<UIButton>()->initWithFrame(CGRectZero);
    if (button) {
        button->_buttonType = type;
    }
    return button;
}

Ptr<UIButton> UIButton::init() {
    return initWithFrame(CGRectZero);
}

Ptr<UIButton> UIButton::initWithFrame(CGRect frame) {
    if (!UIControl::initWithFrame(frame)) {
        return nullptr;
    }
    return self<UIButton>();
}

void UIButton::stateValueDidChange() {
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void UIButton::setImage(const Ptr<UIImage>& image, UIControlState state) {
    if (_images.setValue(image, state)) {
        stateValueDidChange();
    }
}

Ptr<UIImage> UIButton::imageForState(UIControlState state) const {
    return _images.valueForState(state);
}

void UIButton::setBackgroundImage(const Ptr<UIImage>& image, UIControlState state) {
    if (_backgroundImages.setValue(image, state)) {
        stateValueDidChange();
    }
}

Ptr<UIImage> UIButton::backgroundImageForState(UIControlState state) const {
    return _backgroundImages.valueForState(state);
}

void UIButton::setTitle(const Ptr<NSString>& title, UIControlState state) {
    if (_titles.setValue(title, state)) {
        stateValueDidChange();
    }
}

Ptr<NSString> UIButton::titleForState(UIControlState state) const {
    return _titles.valueForState(state);
}

CGSize UIButton::sizeThatFits(CGSize size) const {
    if (auto image = currentImage()) {
        return image->size();
    }
    if (auto background = currentBackgroundImage()) {
        return background->size();
    }
    return CGSizeZero;
}

CGSize UIButton::intrinsicContentSize() const {
    return sizeThatFits(CGSizeZero);
}
