#pragma once

#include <optional>
#include <string>
#include <utility>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSRunLoop.h"
#include "window/AlertPanel.h"
#include "window/ModalPanel.h"
#include "window/SharePanel.h"

class UIAlertView;
class UIViewController;

namespace host {

class HostPresenter;

// The panel the window shows over the widget for what the presenter shows (an
// alert covers a share sheet, which covers any other controller), the button
// the pointer holds down on it, and the short notice that says how a share
// went. It knows no window system: points are the window's, in points.
class ModalPanelState {
public:
    // How long a notice stays, in seconds of the main run loop's clock.
    static constexpr NSTimeInterval kNoticeSeconds = 2;

    ModalPanelState() = default;
    // Takes back the notice's scheduled removal.
    ~ModalPanelState();
    ModalPanelState(const ModalPanelState&) = delete;
    ModalPanelState& operator=(const ModalPanelState&) = delete;

    // Whether the presenter shows something other than what the panel stands for.
    bool isOutOfDate(const HostPresenter& presenter) const;
    // Makes the panel stand for what `presenter` shows now, laid out in
    // `windowSize`; a press on the old panel is forgotten. Answers whether the
    // panel changed.
    bool sync(const HostPresenter& presenter, CGSize windowSize);
    // Lets go of the panel, of what it stands for and of the notice.
    void clear();

    // The panel drawn on top of the widget; null when none is shown.
    const ModalPanel* panel() const { return _panel ? &*_panel : nullptr; }
    bool isShown() const { return _panel.has_value(); }
    // The buttons Esc and Return choose; -1 for none.
    int cancelButton() const { return _panel ? _panel->content().cancelButton : -1; }
    int defaultButton() const { return _panel ? _panel->content().defaultButton : -1; }

    // The pointer goes down at `windowPoint`: the button under it is held and
    // highlighted (none when it misses them all).
    void press(CGPoint windowPoint);
    // The pointer moves while held: the held button is highlighted only while the
    // pointer is over it.
    void move(CGPoint windowPoint);
    // The pointer is let go: answers the held button when it is let go on it (a
    // button acts as a finger lifts), -1 otherwise. Nothing is held afterwards.
    int release(CGPoint windowPoint);
    // The pointer went elsewhere: nothing is held.
    void cancelPress();
    bool isPressing() const { return _press >= 0; }

    // Whether the panel looks different since the last call (shown, hidden, a
    // highlight changed, a notice came or went); the caller then draws the window
    // again. needsDisplay asks without taking.
    bool takeNeedsDisplay() { return std::exchange(_needsDisplay, false); }
    bool needsDisplay() const { return _needsDisplay; }

    // Shows `text` in a card over the widget, replacing any notice shown, for
    // kNoticeSeconds on the main run loop; empty text shows none. A notice takes
    // no input and is drawn while no panel is.
    void showNotice(const std::string& text);
    // The notice shown now; null when none.
    const ModalPanel* notice() const { return _notice ? &*_notice : nullptr; }

    // Chooses button `index`: answers the alert, carries out the share sheet's
    // choice with `services`, or closes another controller. Answers the share
    // sheet's outcome (an empty one for the others) and shows its notice,
    // nothing when `index` is no button of the panel.
    std::optional<ShareOutcome> choose(int index, HostPresenter& presenter, const ShareServices& services);

private:
    void setHighlight(int index);
    void hideNotice();

    std::optional<ModalPanel> _panel;
    std::optional<ModalPanel> _notice;
    std::optional<NSRunLoop::TaskId> _noticeRemoval;
    // The window's size at the last sync, in points.
    CGSize _windowSize{};
    // What the panel stands for.
    Ptr<UIAlertView> _alert;
    Ptr<UIViewController> _controller;
    AlertPanel _alertPanel;
    SharePanel _sharePanel;
    // The button the pointer went down on; -1 for none.
    int _press = -1;
    bool _needsDisplay = false;
};

} // namespace host
