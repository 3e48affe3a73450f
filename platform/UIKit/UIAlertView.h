#pragma once

#include <memory>
#include <vector>

#include "Foundation/NSString.h"
#include "UIKit/UIView.h"

class UIAlertView;

// What an alert's delegate hears. Every operation has an empty default.
class UIAlertViewDelegate {
public:
    virtual ~UIAlertViewDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(const Ptr<UIAlertView>& alertView, NSInteger buttonIndex) {}
    virtual void alertViewDidDismissWithButtonIndex(const Ptr<UIAlertView>& alertView,
                                                    NSInteger buttonIndex) {}
};

// The host's side of alerts: it shows an alert (drawn over the widget, printed
// when headless) and takes it away when asked.
class UIAlertViewPresenter {
public:
    virtual ~UIAlertViewPresenter() = default;
    virtual void showAlertView(const Ptr<UIAlertView>& alertView) = 0;
    virtual void dismissAlertView(const Ptr<UIAlertView>& alertView, BOOL animated) = 0;
};

// A modal alert: title, message and buttons (the cancel button first, then the
// other buttons in order). `show` hands it to the host's presenter, which holds it
// while it is visible; the host reports a button press with
// dismissWithClickedButtonIndex.
class UIAlertView : public UIView {
public:
    // `delegate` is held weakly; it is an object that also derives from
    // UIAlertViewDelegate (anything else counts as no delegate).
    Ptr<UIAlertView> initWithTitle(const Ptr<NSString>& title, const Ptr<NSString>& message,
                                   const Ptr<NSObject>& delegate, const Ptr<NSString>& cancelButtonTitle,
                                   const std::vector<Ptr<NSString>>& otherButtonTitles = {});

    const Ptr<NSString>& title() const { return _title; }
    void setTitle(const Ptr<NSString>& title) { _title = title; }
    const Ptr<NSString>& message() const { return _message; }
    Ptr<NSObject> delegate() const { return _delegate.lock(); }
    void setDelegate(const Ptr<NSObject>& delegate) { _delegate = delegate; }

    // Buttons, by index: the cancel button (when there is one) is index 0.
    NSInteger addButtonWithTitle(const Ptr<NSString>& title);
    NSInteger numberOfButtons() const { return static_cast<NSInteger>(_buttonTitles.size()); }
    // The title at `index`, nil out of range.
    Ptr<NSString> buttonTitleAtIndex(NSInteger index) const;
    // -1 when there is none.
    NSInteger cancelButtonIndex() const { return _cancelButtonIndex; }
    NSInteger firstOtherButtonIndex() const;

    // Hands the alert to the host's presenter. Nothing happens while it is visible;
    // with no presenter installed the alert is logged and not shown.
    void show();
    BOOL isVisible() const { return _visible; }
    // The button at `index` was pressed: the delegate hears of the click, the
    // presenter takes the alert away, then the delegate hears of the dismissal.
    // Nothing happens when the alert is not visible.
    void dismissWithClickedButtonIndex(NSInteger buttonIndex, BOOL animated);

    // The presenter the host installs for the process; nil uninstalls it.
    static void setPresenter(std::shared_ptr<UIAlertViewPresenter> presenter);
    static std::shared_ptr<UIAlertViewPresenter> presenter();

private:
    UIAlertViewDelegate* delegateInterface(Ptr<NSObject>& holder) const;

    Ptr<NSString> _title;
    Ptr<NSString> _message;
    WeakPtr<NSObject> _delegate;
    std::vector<Ptr<NSString>> _buttonTitles;
    NSInteger _cancelButtonIndex = -1;
    bool _visible = false;
};
