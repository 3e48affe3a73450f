#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"
#include "SpringBoard/BBWeeAppController.h"

class NSBundle;
class TrillboxView;
class UIView;

// The widget under the older Notification Center host: a strip 70 points high,
// as wide as the host lays it out, showing the bundle's stretchable "Background"
// image and no controls. The host reports taps as locations; each becomes a
// synthesised touch that begins and ends on the view under the point.
//
// Registered with the runtime as "TrillboxViewController" when its code loads;
// the bundle's Info.plist names it under "TrillboxLegacyPrincipalClass".
class TrillboxViewController : public NSObject, public BBWeeAppController {
public:
    // Takes the bundle that holds the controller's class; nil when the base
    // initialisation fails.
    Ptr<TrillboxViewController> init();

    // The widget's TrillboxView, created by loadView when none is held.
    Ptr<UIView> view() override;
    // Replaces the held view (nil lets it go; the next `view` creates another).
    void setView(const Ptr<TrillboxView>& view);

    // YES for every operation below; NO for clearShapshotImage, launchURL and the
    // rotation operations, which keep the protocol's defaults.
    BOOL respondsToOptionalOperation(BBWeeAppControllerOperation operation) const override;

    // Creates a transparent TrillboxView at (0, 0), 0 wide and viewHeight high,
    // whose width follows its superview's (flexible width), and holds it.
    void loadView() override;
    // Gives the view (loading it first if needed) the bundle's "Background" image,
    // stretchable from its middle; without that image the view shows no background.
    void loadPlaceholderView() override;
    // The full widget is the placeholder: the view is told, and does nothing.
    void loadFullView() override;
    // Takes the view out of its superview and lets it go.
    void unloadView() override;
    // 70 points on every device.
    float viewHeight() override;
    void viewWillAppear() override {}
    void viewDidAppear() override {}
    void viewWillDisappear() override {}
    void viewDidDisappear() override {}
    // Delivers a synthesised tap at `location` (the widget view's coordinates):
    // one touchesBegan and then one touchesEnded, each with an event of its own,
    // to the view under the point in the widget view's window. A point over no
    // view, or a widget view in no window, delivers nothing. A tap never loads the
    // view. Always nil, so the host opens nothing.
    Ptr<NSString> launchURLForTapLocation(CGPoint location) override;

    const Ptr<NSBundle>& bundle() const { return _bundle; }
    void setBundle(const Ptr<NSBundle>& bundle) { _bundle = bundle; }

private:
    Ptr<TrillboxView> _view;
    Ptr<NSBundle> _bundle;
};
