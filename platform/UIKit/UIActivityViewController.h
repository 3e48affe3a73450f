#pragma once

#include <functional>

#include "Foundation/NSCollections.h"
#include "Foundation/NSString.h"
#include "UIKit/UIViewController.h"

// The share sheet: the items to share (strings, images...) in order, and extra
// application activities. It is presented like any controller
// (presentViewController on the presenting controller); the host's presenter
// shows it and reports the user's choice with finishWithActivityType.
class UIActivityViewController : public UIViewController {
public:
    using CompletionHandler = std::function<void(const Ptr<NSString>& activityType, BOOL completed)>;

    // nil arrays read as empty ones.
    Ptr<UIActivityViewController> initWithActivityItems(const Ptr<NSArray>& activityItems,
                                                        const Ptr<NSArray>& applicationActivities);

    const Ptr<NSArray>& activityItems() const { return _activityItems; }
    const Ptr<NSArray>& applicationActivities() const { return _applicationActivities; }

    // Runs once the sheet is done: with the chosen activity's type and whether it
    // completed, or nil and NO when the user dismissed the sheet.
    void setCompletionHandler(CompletionHandler handler) { _completionHandler = std::move(handler); }

    // The host's report that the sheet is done: the sheet is dismissed, then the
    // completion handler runs.
    void finishWithActivityType(const Ptr<NSString>& activityType, BOOL completed);

private:
    Ptr<NSArray> _activityItems;
    Ptr<NSArray> _applicationActivities;
    CompletionHandler _completionHandler;
};
