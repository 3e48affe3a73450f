#include <algorithm>
#include <utility>
#include <vector>

#include "UIKit/UIEvent.h"
#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UITouch.h"
#include "UIKit/UIWindow.h"

namespace {

// Items with the touches that belong to each, in the order items first appear.
template <class Item> using Grouped = std::vector<std::pair<Ptr<Item>, std::vector<Ptr<NSObject>>>>;

template <class Item>
void addToGroup(Grouped<Item>& groups, const Ptr<Item>& item, const Ptr<UITouch>& touch) {
    auto entry =
        std::find_if(groups.begin(), groups.end(), [&](const auto& group) { return group.first == item; });
    if (entry == groups.end()) {
        groups.emplace_back(item, std::vector<Ptr<NSObject>>{touch});
    } else {
        entry->second.push_back(touch);
    }
}

// The enabled recognizers of `view` and its ancestors, nearest first.
std::vector<WeakPtr<UIGestureRecognizer>> recognizersFor(const Ptr<UIView>& view) {
    std::vector<WeakPtr<UIGestureRecognizer>> found;
    for (auto current = view; current; current = current->superview()) {
        for (const auto& recognizer : current->gestureRecognizers()) {
            if (recognizer->isEnabled()) {
                found.push_back(recognizer);
            }
        }
    }
    return found;
}

void deliverToView(const Ptr<UIView>& view, UITouchPhase phase, const Ptr<NSSet>& touches,
                   const Ptr<UIEvent>& event) {
    switch (phase) {
    case UITouchPhaseBegan:
        view->touchesBegan(touches, event);
        break;
    case UITouchPhaseMoved:
        view->touchesMoved(touches, event);
        break;
    case UITouchPhaseEnded:
        view->touchesEnded(touches, event);
        break;
    case UITouchPhaseCancelled:
        view->touchesCancelled(touches, event);
        break;
    default:
        break;
    }
}

} // namespace

void UIWindow::sendEvent(const Ptr<UIEvent>& event) {
    const auto all = event ? event->allTouches() : nullptr;
    if (!all) {
        return;
    }
    auto keepAlive = self<UIWindow>();
    std::vector<Ptr<UITouch>> touches;
    for (const auto& object : all->allObjects()) {
        if (auto touch = as<UITouch>(object)) {
            touches.push_back(touch);
        }
    }

    // A touch finds its view once, when it begins; it keeps that view (and the
    // recognizers that see it) until it ends, wherever the finger goes.
    for (const auto& touch : touches) {
        if (touch->phase() != UITouchPhaseBegan) {
            continue;
        }
        touch->_window = keepAlive;
        touch->_view = hitTest(touch->_locationInWindow, event);
        touch->_gestureRecognizers = recognizersFor(touch->_view);
        touch->_viewSawBegan = false;
        touch->_viewDeliveryCancelled = false;
    }

    for (const UITouchPhase phase :
         {UITouchPhaseBegan, UITouchPhaseMoved, UITouchPhaseEnded, UITouchPhaseCancelled}) {
        Grouped<UIGestureRecognizer> byRecognizer;
        std::vector<Ptr<UITouch>> inPhase;
        for (const auto& touch : touches) {
            if (touch->phase() != phase || touch->_window != keepAlive) {
                continue;
            }
            inPhase.push_back(touch);
            for (const auto& recognizer : touch->gestureRecognizers()) {
                addToGroup(byRecognizer, recognizer, touch);
            }
        }
        if (inPhase.empty()) {
            continue;
        }

        // Recognizers see the touches first; one that takes them cancels them
        // for their views before the views get this phase.
        for (const auto& [recognizer, recognizerTouches] : byRecognizer) {
            recognizer->_deliverTouches(phase, NSSet::setWithObjects(recognizerTouches), event);
        }

        Grouped<UIView> byView;
        for (const auto& touch : inPhase) {
            if (!touch->_view || touch->_viewDeliveryCancelled) {
                continue;
            }
            if (phase == UITouchPhaseBegan) {
                touch->_viewSawBegan = true;
            } else if (!touch->_viewSawBegan) {
                continue;
            }
            addToGroup(byView, touch->_view, touch);
        }
        for (const auto& [view, viewTouches] : byView) {
            deliverToView(view, phase, NSSet::setWithObjects(viewTouches), event);
        }
    }
}
