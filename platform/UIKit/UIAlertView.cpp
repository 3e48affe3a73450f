#include "UIKit/UIAlertView.h"

#include "Foundation/NSLog.h"

namespace {

std::shared_ptr<UIAlertViewPresenter>& installedAlertViewPresenter() {
    static std::shared_ptr<UIAlertViewPresenter> presenter;
    return presenter;
}

} // namespace

void UIAlertView::setPresenter(std::shared_ptr<UIAlertViewPresenter> presenter) {
    installedAlertViewPresenter() = std::move(presenter);
}

std::shared_ptr<UIAlertViewPresenter> UIAlertView::presenter() {
    return installedAlertViewPresenter();
}

Ptr<UIAlertView> UIAlertView::initWithTitle(const Ptr<NSString>& title, const Ptr<NSString>& message,
                                            const Ptr<NSObject>& delegate,
                                            const Ptr<NSString>& cancelButtonTitle,
                                            const std::vector<Ptr<NSString>>& otherButtonTitles) {
    if (!UIView::initWithFrame(CGRectZero)) {
        return nullptr;
    }
    _title = title;
    _message = message;
    _delegate = delegate;
    if (cancelButtonTitle) {
        _cancelButtonIndex = addButtonWithTitle(cancelButtonTitle);
    }
    for (const auto& other : otherButtonTitles) {
        addButtonWithTitle(other);
    }
    return self<UIAlertView>();
}

NSInteger UIAlertView::addButtonWithTitle(const Ptr<NSString>& title) {
    if (!title) {
        return -1;
    }
    _buttonTitles.push_back(title);
    return numberOfButtons() - 1;
}

Ptr<NSString> UIAlertView::buttonTitleAtIndex(NSInteger index) const {
    return index >= 0 && index < numberOfButtons() ? _buttonTitles[static_cast<std::size_t>(index)] : nullptr;
}

NSInteger UIAlertView::firstOtherButtonIndex() const {
    const NSInteger first = _cancelButtonIndex == 0 ? 1 : 0;
    return first < numberOfButtons() ? first : -1;
}

void UIAlertView::show() {
    if (_visible) {
        return;
    }
    const auto presenter = installedAlertViewPresenter();
    if (!presenter) {
        NSLog("UIAlertView: no alert presenter installed; alert \"%@\" not shown", _title);
        return;
    }
    _visible = true;
    presenter->showAlertView(self<UIAlertView>());
}

UIAlertViewDelegate* UIAlertView::delegateInterface(Ptr<NSObject>& holder) const {
    holder = _delegate.lock();
    return dynamic_cast<UIAlertViewDelegate*>(holder.get());
}

void UIAlertView::dismissWithClickedButtonIndex(NSInteger buttonIndex, BOOL animated) {
    if (!_visible) {
        return;
    }
    auto keepAlive = self<UIAlertView>();
    _visible = false;
    Ptr<NSObject> holder;
    if (auto* delegate = delegateInterface(holder)) {
        delegate->alertViewClickedButtonAtIndex(keepAlive, buttonIndex);
    }
    if (const auto presenter = installedAlertViewPresenter()) {
        presenter->dismissAlertView(keepAlive, animated);
    }
    if (auto* delegate = delegateInterface(holder)) {
        delegate->alertViewDidDismissWithButtonIndex(keepAlive, buttonIndex);
    }
}
