#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

class UIView;

// The optional operations of BBWeeAppController, in the protocol's order. A host
// asks respondsToOptionalOperation before it relies on one.
enum class BBWeeAppControllerOperation {
    loadPlaceholderView,
    loadFullView,
    loadView,
    unloadView,
    clearShapshotImage,
    launchURL,
    launchURLForTapLocation,
    viewHeight,
    viewWillAppear,
    viewDidAppear,
    viewWillDisappear,
    viewDidDisappear,
    willAnimateRotationToInterfaceOrientation,
    willRotateToInterfaceOrientation,
    didRotateFromInterfaceOrientation,
};

// The older Notification Center host's widget-controller protocol. The host
// creates a conforming object with `init`, asks for its view (and its height,
// when the controller answers viewHeight), may load a placeholder and then the
// full content, tells it about appearance and rotation, and reports a tap only as
// a location in the widget view, opening the URL that the controller answers.
//
// Every optional operation has a default that does nothing or answers nil / 0;
// a controller overrides those it implements and says which through
// respondsToOptionalOperation. URLs are absolute URL strings.
class BBWeeAppController {
public:
    BBWeeAppController() = default;
    BBWeeAppController(const BBWeeAppController&) = delete;
    BBWeeAppController& operator=(const BBWeeAppController&) = delete;
    virtual ~BBWeeAppController();

    // Required: the widget's view, created on first use.
    virtual Ptr<UIView> view() = 0;

    // Whether this controller implements `operation` rather than inheriting the
    // default. A host that finds NO must not count on the operation's effect (it
    // may still call it: the default does nothing).
    virtual BOOL respondsToOptionalOperation(BBWeeAppControllerOperation operation) const;

    // A cheap stand-in shown while the full content is not loaded yet.
    virtual void loadPlaceholderView();
    // The full content, after the placeholder.
    virtual void loadFullView();
    virtual void loadView();
    // Drops the view; the next `view` creates a new one.
    virtual void unloadView();
    virtual void clearShapshotImage();
    // The URL to open for a tap anywhere on the widget; nil opens nothing.
    virtual Ptr<NSString> launchURL();
    // The URL to open for a tap at `location` (the widget view's coordinates);
    // nil opens nothing.
    virtual Ptr<NSString> launchURLForTapLocation(CGPoint location);
    // The widget's height in points; 0 leaves the height to the host.
    virtual float viewHeight();
    virtual void viewWillAppear();
    virtual void viewDidAppear();
    virtual void viewWillDisappear();
    virtual void viewDidDisappear();
    // Rotations, with the platform's interface orientation values (1, 2 portrait;
    // 3, 4 landscape).
    virtual void willAnimateRotationToInterfaceOrientation(NSInteger orientation);
    virtual void willRotateToInterfaceOrientation(NSInteger orientation);
    virtual void didRotateFromInterfaceOrientation(NSInteger orientation);
};
