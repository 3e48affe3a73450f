#include "UIKit/UIActivityViewController.h"

#include <utility>

Ptr<UIActivityViewController>
UIActivityViewController::initWithActivityItems(const Ptr<NSArray>& activityItems,
                                                const Ptr<NSArray>& applicationActivities) {
    if (!UIViewController::init()) {
        return nullptr;
    }
    _activityItems = activityItems ? activityItems : NSArray::array();
    _applicationActivities = applicationActivities ? applicationActivities : NSArray::array();
    return self<UIActivityViewController>();
}

void UIActivityViewController::finishWithActivityType(const Ptr<NSString>& activityType, BOOL completed) {
    auto keepAlive = self<UIActivityViewController>();
    if (presentingViewController()) {
        dismissViewControllerAnimated(true, nullptr);
    }
    // The sheet finishes once: a second report finds no handler.
    if (auto handler = std::exchange(_completionHandler, nullptr)) {
        handler(activityType, completed);
    }
}
