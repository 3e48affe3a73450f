#include "UIKit/UIEvent.h"

#include <algorithm>

#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UITouch.h"
#include "UIKit/UIWindow.h"

namespace {

template <class Predicate> Ptr<NSSet> touchesMatching(const Ptr<NSSet>& touches, Predicate predicate) {
    std::vector<Ptr<NSObject>> matching;
    if (touches) {
        for (const auto& object : touches->allObjects()) {
            auto touch = as<UITouch>(object);
            if (touch && predicate(*touch)) {
                matching.push_back(touch);
            }
        }
    }
    return NSSet::setWithObjects(matching);
}

} // namespace

Ptr<UIEvent> UIEvent::init() {
    if (!NSObject::init()) {
        return nullptr;
    }
    return self<UIEvent>();
}

Ptr<NSSet> UIEvent::touchesForView(const Ptr<UIView>& view) const {
    return touchesMatching(allTouches(), [&](const UITouch& touch) { return view && touch.view() == view; });
}

Ptr<NSSet> UIEvent::touchesForWindow(const Ptr<UIWindow>& window) const {
    return touchesMatching(allTouches(),
                           [&](const UITouch& touch) { return window && touch.window() == window; });
}

Ptr<NSSet> UIEvent::touchesForGestureRecognizer(const Ptr<UIGestureRecognizer>& recognizer) const {
    return touchesMatching(allTouches(), [&](const UITouch& touch) {
        const auto recognizers = touch.gestureRecognizers();
        return recognizer &&
               std::find(recognizers.begin(), recognizers.end(), recognizer) != recognizers.end();
    });
}
