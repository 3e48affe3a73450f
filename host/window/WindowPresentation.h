#pragma once

#include <functional>

namespace host {

// What the window's visibility does to the widget and its host application.
struct PresentationActions {
    // The notification centre with the widget is shown / hidden.
    std::function<void()> present;
    std::function<void()> dismiss;
    // The host application returns from / leaves for the background.
    std::function<void()> enterForeground;
    std::function<void()> enterBackground;
    // A finger in progress is taken away.
    std::function<void()> cancelTouch;
};

// Follows the window on the desktop: the widget is presented while the window is
// shown and not minimised, and dismissed otherwise. Becoming visible brings the
// host application to the foreground, then presents; ceasing to be visible
// cancels a touch in progress, dismisses, then sends the application to the
// background. Window systems report showing and restoring separately, and
// sometimes twice; only a change of visibility acts.
class WindowPresentation {
public:
    explicit WindowPresentation(PresentationActions actions) : _actions(std::move(actions)) {}

    void windowShown() { update(true, _minimised); }
    void windowHidden() { update(false, _minimised); }
    void windowMinimised() { update(_shown, true); }
    void windowRestored() { update(_shown, false); }

    // Shown and not minimised: the widget is presented and frames are drawn.
    bool isVisible() const { return _shown && !_minimised; }

private:
    void update(bool shown, bool minimised);

    PresentationActions _actions;
    bool _shown = false;
    bool _minimised = false;
};

} // namespace host
