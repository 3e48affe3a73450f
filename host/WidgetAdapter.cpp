#include "host/WidgetAdapter.h"

#include "Foundation/NSLog.h"
#include "SpringBoard/BBWeeAppController.h"
#include "SpringBoard/_SBUIWidgetViewController.h"
#include "UIKit/UIView.h"
#include "host/HostFailure.h"

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
    void tearDown() override {
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

// The older host's strip when the controller leaves the height to the host.
constexpr CGFloat kLegacyDefaultHeight = 70;

class LegacyControllerAdapter final : public WidgetAdapter {
public:
    LegacyControllerAdapter(std::shared_ptr<BBWeeAppController> controller, CGFloat width)
        : _controller(std::move(controller)) {
        _view = _controller->view();
        if (!_view) {
            throw HostFailure("the older host's widget controller made no view");
        }
        const float height =
            responds(BBWeeAppControllerOperation::viewHeight) ? _controller->viewHeight() : 0;
        // The older host lays the view out itself: as wide as the host, as high as asked.
        _view->setFrame(CGRectMake(0, 0, width, height > 0 ? height : kLegacyDefaultHeight));
        if (responds(BBWeeAppControllerOperation::loadPlaceholderView)) {
            _controller->loadPlaceholderView();
        }
        if (responds(BBWeeAppControllerOperation::loadFullView)) {
            _controller->loadFullView();
        }
    }

    // The older host's controller schedules nothing that holds it.
    void tearDown() override {}
    Ptr<UIView> view() const override { return _view; }
    void present() override {
        _controller->viewWillAppear();
        _controller->viewDidAppear();
    }
    void dismiss() override {
        _controller->viewWillDisappear();
        _controller->viewDidDisappear();
    }
    bool takesTouches() const override { return false; }
    void tapAt(CGPoint point) override {
        const Ptr<NSString> url = responds(BBWeeAppControllerOperation::launchURLForTapLocation)
                                      ? _controller->launchURLForTapLocation(point)
                                      : _controller->launchURL();
        // Headless, the host has no browser: it says what it would open.
        if (url) {
            NSLog("tap at {%g, %g}: opening %@", point.x, point.y, url);
        } else {
            NSLog("tap at {%g, %g}: nothing to open", point.x, point.y);
        }
    }

private:
    bool responds(BBWeeAppControllerOperation operation) const {
        return _controller->respondsToOptionalOperation(operation);
    }

    std::shared_ptr<BBWeeAppController> _controller;
    Ptr<UIView> _view;
};

} // namespace

namespace {

// A new instance of `cls` as a `Controller`; throws HostFailure naming the class
// when it cannot be created with init, fails to, or is not a `kind`.
template <class Controller> std::shared_ptr<Controller> createController(Class cls, const char* kind) {
    const std::string name = NSStringFromClass(cls);
    if (!cls->createInstance) {
        throw HostFailure("the class " + name + " cannot be created with init");
    }
    const Ptr<NSObject> instance = cls->createInstance();
    if (!instance) {
        throw HostFailure("the widget controller " + name + " failed to initialise");
    }
    auto controller = as<Controller>(instance);
    if (!controller) {
        throw HostFailure("the class " + name + " is not " + kind);
    }
    return controller;
}

} // namespace

std::unique_ptr<WidgetAdapter> makeWidgetViewControllerAdapter(Class cls) {
    return std::make_unique<WidgetViewControllerAdapter>(
        createController<_SBUIWidgetViewController>(cls, "a widget view controller"));
}

std::unique_ptr<WidgetAdapter> makeLegacyControllerAdapter(Class cls, CGFloat width) {
    return std::make_unique<LegacyControllerAdapter>(
        createController<BBWeeAppController>(cls, "an older host's widget controller"), width);
}

} // namespace host
