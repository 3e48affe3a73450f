#include "window/WidgetButtons.h"

#include <span>

#include "UIKit/UIButton.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIView.h"
#include "host/ViewDump.h"

namespace host {
namespace {

using ImageNames = std::span<const char* const>;

ImageNames imageNames(WidgetButton which) {
    static constexpr const char* kPlayPause[] = {"play", "pause"};
    static constexpr const char* kPrevious[] = {"backward"};
    static constexpr const char* kNext[] = {"forward"};
    switch (which) {
    case WidgetButton::playPause:
        return kPlayPause;
    case WidgetButton::previousTrack:
        return kPrevious;
    case WidgetButton::nextTrack:
        return kNext;
    }
    return {};
}

bool showsOneOf(const UIButton& button, ImageNames names, const std::string& bundlePath) {
    const auto name = as<NSString>(imageNameForDump(button.imageForState(UIControlStateNormal), bundlePath));
    if (!name) {
        return false;
    }
    const std::string text = name->UTF8String();
    for (const char* candidate : names) {
        if (text == candidate) {
            return true;
        }
    }
    return false;
}

Ptr<UIButton> search(const UIView& view, ImageNames names, const std::string& bundlePath) {
    for (const auto& subview : view.subviews()) {
        if (auto button = as<UIButton>(subview); button && showsOneOf(*button, names, bundlePath)) {
            return button;
        }
        if (auto found = search(*subview, names, bundlePath)) {
            return found;
        }
    }
    return nullptr;
}

bool takesTouches(const UIView& view) {
    for (Ptr<UIView> ancestor = view.superview(); ancestor; ancestor = ancestor->superview()) {
        if (ancestor->isHidden() || !ancestor->isUserInteractionEnabled()) {
            return false;
        }
    }
    return !view.isHidden() && view.isUserInteractionEnabled();
}

} // namespace

Ptr<UIButton> findWidgetButton(const UIView& root, WidgetButton which, const std::string& bundlePath) {
    return search(root, imageNames(which), bundlePath);
}

bool pressWidgetButton(const UIView& root, WidgetButton which, const std::string& bundlePath) {
    const auto button = findWidgetButton(root, which, bundlePath);
    if (!button || !button->isEnabled() || !takesTouches(*button)) {
        return false;
    }
    button->sendActionsForControlEvents(UIControlEventTouchUpInside);
    return true;
}

} // namespace host
