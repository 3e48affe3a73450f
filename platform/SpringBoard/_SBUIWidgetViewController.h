#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UIViewController.h"

// The host's base class for a Notification Center widget's controller. The host
// creates the controller with `init`, asks for its view (loadView, then
// viewDidLoad) and its preferredViewSize, and calls hostDidPresent and
// hostDidDismiss in pairs each time the Notification Center is shown and hidden.
class _SBUIWidgetViewController : public UIViewController {
public:
    Ptr<_SBUIWidgetViewController> init();

    // The widget's size in the host, in points. The default is the main screen's
    // width and no height: a widget says how tall it is.
    virtual CGSize preferredViewSize();
    // Installs a plain root view at (0, 0) with the preferred size.
    void loadView() override;
    void viewDidLoad() override;
    // The Notification Center with the widget is now shown.
    virtual void hostDidPresent();
    // The Notification Center with the widget is now hidden.
    virtual void hostDidDismiss();

    // YES between hostDidPresent and hostDidDismiss.
    BOOL isPresentedByHost() const { return _presentedByHost; }

private:
    bool _presentedByHost = false;
};
