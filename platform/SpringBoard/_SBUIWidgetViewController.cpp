#include "SpringBoard/_SBUIWidgetViewController.h"

#include "UIKit/UIScreen.h"
#include "UIKit/UIView.h"

Ptr<_SBUIWidgetViewController> _SBUIWidgetViewController::init() {
    if (!UIViewController::init()) {
        return nullptr;
    }
    return self<_SBUIWidgetViewController>();
}

CGSize _SBUIWidgetViewController::preferredViewSize() {
    return CGSizeMake(UIScreen::mainScreen()->bounds().size.width, 0);
}

void _SBUIWidgetViewController::loadView() {
    const CGSize size = preferredViewSize();
    setView(alloc<UIView>()->initWithFrame(CGRectMake(0, 0, size.width, size.height)));
}

void _SBUIWidgetViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
}

void _SBUIWidgetViewController::hostDidPresent() {
    _presentedByHost = true;
}

void _SBUIWidgetViewController::hostDidDismiss() {
    _presentedByHost = false;
}
