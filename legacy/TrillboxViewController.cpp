#include "legacy/TrillboxViewController.h"

#include "Foundation/NSBundle.h"
#include "Foundation/NSRuntime.h"
#include "UIKit/UIImage.h"
#include "UIKit/UITouch.h"
#include "legacy/UIEvent+Trillbox__TouchFix.h"
#include "legacy/UITouch+Trillbox__TouchFix.h"
#include "widget/TrillboxView.h"

namespace {

constexpr float kLegacyViewHeight = 70;

// Makes the legacy controller known by name as soon as its code is loaded; a
// library that is unloaded takes it away again.
class TrillboxLegacyClassRegistrar {
public:
    TrillboxLegacyClassRegistrar() {
        objc_registerClass(objc_describeClass<TrillboxViewController>("TrillboxViewController"));
    }
    ~TrillboxLegacyClassRegistrar() { objc_unregisterClass("TrillboxViewController"); }
    TrillboxLegacyClassRegistrar(const TrillboxLegacyClassRegistrar&) = delete;
    TrillboxLegacyClassRegistrar& operator=(const TrillboxLegacyClassRegistrar&) = delete;
};

const TrillboxLegacyClassRegistrar registrar;

} // namespace

Ptr<TrillboxViewController> TrillboxViewController::init() {
    if (!NSObject::init()) {
        return nullptr;
    }
    setBundle(NSBundle::bundleForClass(object_getClass(this)));
    return self<TrillboxViewController>();
}

Ptr<UIView> TrillboxViewController::view() {
    if (!_view) {
        loadView();
    }
    return _view;
}

void TrillboxViewController::setView(const Ptr<TrillboxView>& view) {
    _view = view;
}

BOOL TrillboxViewController::respondsToOptionalOperation(BBWeeAppControllerOperation operation) const {
    switch (operation) {
    case BBWeeAppControllerOperation::clearShapshotImage:
    case BBWeeAppControllerOperation::launchURL:
    case BBWeeAppControllerOperation::willAnimateRotationToInterfaceOrientation:
    case BBWeeAppControllerOperation::willRotateToInterfaceOrientation:
    case BBWeeAppControllerOperation::didRotateFromInterfaceOrientation:
        return NO;
    default:
        return YES;
    }
}

void TrillboxViewController::loadView() {
    setView(alloc<TrillboxView>()->initWithFrame(CGRectMake(0, 0, 0, viewHeight())));
    if (_view) {
        // The host gives the strip its width by laying out its superview.
        _view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    }
}

void TrillboxViewController::loadPlaceholderView() {
    Ptr<UIImage> background;
    if (_bundle) {
        background =
            UIImage::imageWithContentsOfFile(_bundle->pathForResource(NSStr("Background"), NSStr("png")));
    }
    if (background) {
        // Stretched from its middle, so that any strip width keeps both ends.
        const CGSize size = background->size();
        const auto leftCapWidth = static_cast<NSInteger>(static_cast<NSInteger>(size.width) * 0.5);
        const auto topCapHeight = static_cast<NSInteger>(static_cast<NSInteger>(size.height) * 0.5);
        background = background->stretchableImageWithLeftCapWidth(leftCapWidth, topCapHeight);
    }
    view();
    if (_view) {
        _view->setBackgroundImage(background);
    }
}

void TrillboxViewController::loadFullView() {
    view();
    if (_view) {
        _view->loadFullView();
    }
}

void TrillboxViewController::unloadView() {
    if (_view) {
        _view->removeFromSuperview();
    }
    setView(nullptr);
}

float TrillboxViewController::viewHeight() {
    return kLegacyViewHeight;
}

Ptr<NSString> TrillboxViewController::launchURLForTapLocation(CGPoint location) {
    // The views that get the touch may make the host let go of this controller
    // or unload its view.
    const auto keepAlive = self<TrillboxViewController>();
    const Ptr<TrillboxView> widgetView = _view;
    const CGPoint inWindow = widgetView ? widgetView->convertPointToView(location, nullptr) : CGPointZero;
    const Ptr<UITouch> touch = Trillbox__TouchFix::initWithPoint(alloc<UITouch>(), inWindow, widgetView);
    if (!touch) {
        return nullptr;
    }

    if (const Ptr<UIEvent> began = Trillbox__TouchFix::initWithTouch(alloc<UIEvent>(), touch)) {
        if (const Ptr<UIView> target = touch->view()) {
            target->touchesBegan(began->allTouches(), began);
        }
    }
    touch->setPhase(UITouchPhaseEnded);
    if (const Ptr<UIEvent> ended = Trillbox__TouchFix::initWithTouch(alloc<UIEvent>(), touch)) {
        if (const Ptr<UIView> target = touch->view()) {
            target->touchesEnded(ended->allTouches(), ended);
        }
    }
    return nullptr;
}
