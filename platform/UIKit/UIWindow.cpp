#include "UIKit/UIWindow.h"

#include "UIKit/UIScreen.h"
#include "UIKit/UIViewController.h"

Ptr<UIWindow> UIWindow::init() {
    return initWithFrame(CGRectZero);
}

Ptr<UIWindow> UIWindow::initWithFrame(CGRect frame) {
    if (!UIView::initWithFrame(frame)) {
        return nullptr;
    }
    return self<UIWindow>();
}

Ptr<UIWindow> UIWindow::window() const {
    return std::const_pointer_cast<UIWindow>(std::static_pointer_cast<const UIWindow>(shared_from_this()));
}

Ptr<UIScreen> UIWindow::screen() const {
    return _screen ? _screen : UIScreen::mainScreen();
}

void UIWindow::setScreen(const Ptr<UIScreen>& screen) {
    if (screen == _screen) {
        return;
    }
    _screen = screen;
    CAMarkDisplayChanged();
}

CGFloat UIWindow::screenScale() const {
    return screen()->scale();
}

void UIWindow::setRootViewController(const Ptr<UIViewController>& controller) {
    if (controller == _rootViewController) {
        return;
    }
    if (_rootViewController) {
        if (const auto& oldView = _rootViewController->viewIfLoaded();
            oldView && oldView->superview().get() == this) {
            oldView->removeFromSuperview();
        }
    }
    _rootViewController = controller;
    if (controller) {
        const auto view = controller->view();
        if (view) {
            view->setFrame(bounds());
            addSubview(view);
        }
    }
}

void UIWindow::makeKeyAndVisible() {
    setHidden(false);
}
