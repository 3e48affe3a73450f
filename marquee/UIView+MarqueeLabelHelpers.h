#pragma once

#include "UIKit/UIView.h"

class UIViewController;

// Helpers usable on every view: the view controller that shows a view, found by
// walking the responder chain upwards.
namespace MarqueeLabelHelpers {

// The view controller found by traverseResponderChainForFirstViewController, or nil
// (also for a nil view).
Ptr<UIViewController> firstAvailableViewController(const UIView* view);

// Walks from the view's next responder upwards: the first view controller met, or
// nil when the chain leaves the views without meeting one (a view outside any
// controller's hierarchy, or with no superview).
Ptr<UIViewController> traverseResponderChainForFirstViewController(const UIView* view);

} // namespace MarqueeLabelHelpers
