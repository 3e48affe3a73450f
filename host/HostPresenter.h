#pragma once

#include <memory>
#include <string>
#include <vector>

#include "UIKit/UIActivityViewController.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIViewController.h"

namespace host {

// Shows what the widget presents over itself, alerts and the share sheet, and
// keeps a record of each for the front-end. The front-end answers them
// (answerAlert, finishShareSheet); a headless host has them closed at the next
// run-loop pass, as a user pressing the cancel button would.
class HostPresenter : public UIAlertViewPresenter,
                      public UIViewControllerPresenter,
                      public std::enable_shared_from_this<HostPresenter> {
public:
    explicit HostPresenter(bool closesAutomatically) : _closesAutomatically(closesAutomatically) {}

    // Installs this presenter for alerts and presented controllers; uninstall()
    // removes it again when it is still the one installed.
    void install();
    void uninstall();

    void showAlertView(const Ptr<UIAlertView>& alertView) override;
    void dismissAlertView(const Ptr<UIAlertView>& alertView, BOOL animated) override;
    void presentViewController(const Ptr<UIViewController>& presenting,
                               const Ptr<UIViewController>& presented, BOOL animated,
                               std::function<void()> completion) override;
    void dismissViewController(const Ptr<UIViewController>& presenting,
                               const Ptr<UIViewController>& presented, BOOL animated,
                               std::function<void()> completion) override;

    // What is on screen now (nil when nothing is).
    const Ptr<UIAlertView>& visibleAlert() const { return _alert; }
    const Ptr<UIViewController>& visibleController() const { return _controller; }
    // Presses the alert's button `index`; nothing when no alert is shown.
    void answerAlert(NSInteger index);
    // Closes the share sheet (or other presented controller) without a choice.
    void closePresentedController();

    // Everything shown since the last call, oldest first, each as one JSON
    // object: alerts {"type": "alert", "title", "message", "cancel", "buttons"},
    // share sheets {"type": "share", "items": [{"text": ...} or {"image": name or
    // path}]}, other controllers {"type": "controller", "class"}.
    std::vector<std::string> takeShown();

    // Where bundle images live, so that shared images are named by resource.
    void setBundlePath(std::string path) { _bundlePath = std::move(path); }

private:
    bool _closesAutomatically;
    std::string _bundlePath;
    Ptr<UIAlertView> _alert;
    Ptr<UIViewController> _controller;
    std::vector<std::string> _shown;
};

} // namespace host
