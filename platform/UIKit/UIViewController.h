#pragma once

#include <functional>

#include "UIKit/UIResponder.h"

class UIView;
class UIViewController;

enum UIModalTransitionStyle : NSInteger {
    UIModalTransitionStyleCoverVertical = 0,
    UIModalTransitionStyleFlipHorizontal = 1,
    UIModalTransitionStyleCrossDissolve = 2,
    UIModalTransitionStylePartialCurl = 3,
};

// The host's side of modal presentation: it shows a presented controller (over
// the presenting controller's window, or printed when headless) and takes it away.
// Both run the completion, if any, once the transition is over, from the run loop.
class UIViewControllerPresenter {
public:
    virtual ~UIViewControllerPresenter() = default;
    virtual void presentViewController(const Ptr<UIViewController>& presenting,
                                       const Ptr<UIViewController>& presented, BOOL animated,
                                       std::function<void()> completion) = 0;
    virtual void dismissViewController(const Ptr<UIViewController>& presenting,
                                       const Ptr<UIViewController>& presented, BOOL animated,
                                       std::function<void()> completion) = 0;
};

// Manages one view hierarchy: its root view is loaded on first use.
class UIViewController : public UIResponder {
public:
    Ptr<UIViewController> init();
    ~UIViewController() override;

    // The root view, loaded on first access: loadView, then viewDidLoad. viewDidLoad
    // runs here only when this access did the loading.
    Ptr<UIView> view();
    // The root view if loaded, nil otherwise; never loads.
    const Ptr<UIView>& viewIfLoaded() const { return _view; }
    // Installs `view` as the root view; the view's next responder becomes this
    // controller. A previous root view lets go of the controller.
    void setView(const Ptr<UIView>& view);
    BOOL isViewLoaded() const { return _view != nullptr; }
    // Creates the root view. The default makes a plain view with the main screen's
    // bounds; subclasses make their own and install it with setView.
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(BOOL animated) {}
    virtual void viewDidAppear(BOOL animated) {}
    virtual void viewWillDisappear(BOOL animated) {}
    virtual void viewDidDisappear(BOOL animated) {}

    // The view's superview, or nil.
    Ptr<UIResponder> nextResponder() const override;

    // Hands `controller` to the presenter. Nothing happens (and the completion does
    // not run) for nil, for a controller that is already presented, while this
    // controller presents another one, or when no presenter is installed. The
    // presented controller is held until it is dismissed.
    void presentViewController(const Ptr<UIViewController>& controller, BOOL animated,
                               std::function<void()> completion);
    // Dismisses the controller this one presents or, when it presents none, this
    // controller from its presenter. Nothing happens when neither applies.
    void dismissViewControllerAnimated(BOOL animated, std::function<void()> completion);
    const Ptr<UIViewController>& presentedViewController() const { return _presentedViewController; }
    Ptr<UIViewController> presentingViewController() const { return _presentingViewController.lock(); }

    UIModalTransitionStyle modalTransitionStyle() const { return _modalTransitionStyle; }
    void setModalTransitionStyle(UIModalTransitionStyle style) { _modalTransitionStyle = style; }

    // The presenter the host installs for the process; nil uninstalls it.
    static void setPresenter(std::shared_ptr<UIViewControllerPresenter> presenter);
    static std::shared_ptr<UIViewControllerPresenter> presenter();

private:
    Ptr<UIView> _view;
    Ptr<UIViewController> _presentedViewController;
    WeakPtr<UIViewController> _presentingViewController;
    UIModalTransitionStyle _modalTransitionStyle = UIModalTransitionStyleCoverVertical;
};
