#include <algorithm>

#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIView.h"

void UIView::addGestureRecognizer(const Ptr<UIGestureRecognizer>& recognizer) {
    if (!recognizer) {
        return;
    }
    if (auto current = recognizer->view()) {
        if (current.get() == this) {
            return;
        }
        // A recognizer belongs to one view at a time: adding it here moves it.
        current->removeGestureRecognizer(recognizer);
    }
    _gestureRecognizers.push_back(recognizer);
    recognizer->setView(weakSelf<UIView>());
}

void UIView::removeGestureRecognizer(const Ptr<UIGestureRecognizer>& recognizer) {
    const auto found = std::find(_gestureRecognizers.begin(), _gestureRecognizers.end(), recognizer);
    if (!recognizer || found == _gestureRecognizers.end()) {
        return;
    }
    auto keepAlive = recognizer;
    _gestureRecognizers.erase(found);
    recognizer->detachFromView();
}
