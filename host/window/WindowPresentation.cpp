#include "window/WindowPresentation.h"

namespace host {
namespace {

void call(const std::function<void()>& action) {
    if (action) {
        action();
    }
}

} // namespace

void WindowPresentation::update(bool shown, bool minimised) {
    const bool wasVisible = isVisible();
    _shown = shown;
    _minimised = minimised;
    const bool visible = isVisible();
    if (visible == wasVisible) {
        return;
    }
    if (visible) {
        call(_actions.enterForeground);
        call(_actions.present);
    } else {
        call(_actions.cancelTouch);
        call(_actions.dismiss);
        call(_actions.enterBackground);
    }
}

} // namespace host
