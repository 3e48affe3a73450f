#include "WidgetAdapter.h"

#include "HostFailure.h"
#include "SpringBoard/_SBUIWidgetViewController.h"
#include "UIKit/UIView.h"

namespace host {
namespace {

class WidgetViewControllerAdapter final : public WidgetAdapter {
public:
    explicit WidgetViewControllerAdapter(Ptr<_SBUIWidgetViewController> controller)
        : _controller(std::move(controller)) {
        _controller->loadView();
        const CGSize size = _controller->preferredViewSize();
        _controller->viewDidLoad();
        _view = _controller->viewIfLoaded();
        if (!_view) {
            throw HostFailure("the widget controller " + _controller->className() + " built no view");
        }
        // The centre lays the widget out at the size it asked for.
        if (size.width > 0 && size.height > 0) {
            _view->setFrame(CGRectMake(0, 0, size.width, size.height));
        }
    }
    ~WidgetViewControllerAdapter() override {
        // A presented widget's timer holds its controller; let it go.
        if (_controller->isPresentedByHost()) {
            _controller->hostDidDismiss();
        }
    }

    Ptr<UIView> view() const override { return _view; }
    void present() override { _controller->hostDidPresent(); }
    void dismiss() override { _controller->hostDidDismiss(); }
    bool takesTouches() const override { return true; }
    void tapAt(CGPoint) override {}

private:
    Ptr<_SBUIWidgetViewController> _controller;
    Ptr<UIView> _view;
};

} // namespace

std::unique_ptr<WidgetAdapter> makeWidgetViewControllerAdapter(Class cls) {
    const std::string name = NSStringFromClass(cls);
    if (!cls->createInstance) {
        throw HostFailure("the class " + name + " cannot be created with init");
    }
    const Ptr<NSObject> instance = cls->createInstance();
    if (!instance) {
        throw HostFailure("the widget controller " + name + " failed to initialise");
    }
    auto controller = as<_SBUIWidgetViewController>(instance);
    if (!controller) {
        throw HostFailure("the class " + name + " is not a widget view controller");
    }
    return std::make_unique<WidgetViewControllerAdapter>(std::move(controller));
}

} // namespace host

namespace host {

std::unique_ptr<WidgetAdapter> makeLegacyControllerAdapter(Class cls, CGFloat) {
    throw HostFailure("this build has no interface for the older host's controller " +
                      NSStringFromClass(cls));
}

} // namespace host
