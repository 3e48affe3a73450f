#include "UIKit/UIViewController.h"

#include "UIKit/UIScreen.h"
#include "UIKit/UIView.h"

namespace {

std::shared_ptr<UIViewControllerPresenter>& installedViewControllerPresenter() {
    static std::shared_ptr<UIViewControllerPresenter> presenter;
    return presenter;
}

} // namespace

Ptr<UIViewController> UIViewController::init() {
    NSObject::init();
    return self<UIViewController>();
}

// The view may outlive the controller: it must not point back at a controller
// that is gone. Its weak reference already answers nil, so nothing is to be done.
UIViewController::~UIViewController() = default;

Ptr<UIView> UIViewController::view() {
    if (_view) {
        return _view;
    }
    // loadView or viewDidLoad may drop the last outside reference to this controller.
    const auto keep = self<UIViewController>();
    loadView();
    if (_view) {
        viewDidLoad();
    }
    return _view;
}

void UIViewController::setView(const Ptr<UIView>& view) {
    if (view == _view) {
        return;
    }
    if (_view && _view->viewDelegate().get() == this) {
        _view->setViewDelegate({});
    }
    _view = view;
    if (_view) {
        _view->setViewDelegate(weakSelf<UIViewController>());
    }
}

void UIViewController::loadView() {
    setView(alloc<UIView>()->initWithFrame(UIScreen::mainScreen()->bounds()));
}

Ptr<UIResponder> UIViewController::nextResponder() const {
    return _view ? _view->superview() : nullptr;
}

void UIViewController::presentViewController(const Ptr<UIViewController>& controller, BOOL animated,
                                             std::function<void()> completion) {
    const auto presenter = installedViewControllerPresenter();
    if (!controller || !presenter || controller.get() == this || _presentedViewController ||
        controller->presentingViewController()) {
        return;
    }
    const auto me = self<UIViewController>();
    // Linked before the presenter runs, so that it may dismiss at once.
    _presentedViewController = controller;
    controller->_presentingViewController = me;
    presenter->presentViewController(me, controller, animated, std::move(completion));
}

void UIViewController::dismissViewControllerAnimated(BOOL animated, std::function<void()> completion) {
    auto presenting = self<UIViewController>();
    auto presented = _presentedViewController;
    if (!presented) {
        presenting = presentingViewController();
        presented = self<UIViewController>();
        if (!presenting) {
            return;
        }
    }
    presenting->_presentedViewController.reset();
    presented->_presentingViewController.reset();
    if (const auto presenter = installedViewControllerPresenter()) {
        presenter->dismissViewController(presenting, presented, animated, std::move(completion));
    }
}

void UIViewController::setPresenter(std::shared_ptr<UIViewControllerPresenter> presenter) {
    installedViewControllerPresenter() = std::move(presenter);
}

std::shared_ptr<UIViewControllerPresenter> UIViewController::presenter() {
    return installedViewControllerPresenter();
}
