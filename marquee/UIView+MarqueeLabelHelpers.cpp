#include "marquee/UIView+MarqueeLabelHelpers.h"

#include "UIKit/UIViewController.h"

namespace MarqueeLabelHelpers {

Ptr<UIViewController> firstAvailableViewController(const UIView* view) {
    return traverseResponderChainForFirstViewController(view);
}

Ptr<UIViewController> traverseResponderChainForFirstViewController(const UIView* view) {
    if (!view) {
        return nullptr;
    }
    // Iterative rather than recursive so that a deep hierarchy cannot exhaust the stack.
    Ptr<UIResponder> responder = view->nextResponder();
    while (responder) {
        if (auto controller = as<UIViewController>(responder)) {
            return controller;
        }
        auto next = as<UIView>(responder);
        if (!next) {
            return nullptr;
        }
        responder = next->nextResponder();
    }
    return nullptr;
}

} // namespace MarqueeLabelHelpers
