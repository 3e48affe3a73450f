#include "UIKit/UIGestureRecognizer.h"

#include <algorithm>

#include "UIKit/UIEvent.h"
#include "UIKit/UITouch.h"
#include "UIKit/UIView.h"

namespace {

template <class T> void appendUnique(std::vector<Ptr<T>>& list, const Ptr<T>& item) {
    if (item && std::find(list.begin(), list.end(), item) == list.end()) {
        list.push_back(item);
    }
}

template <class T> std::vector<Ptr<T>> lockAll(const std::vector<WeakPtr<T>>& weakList) {
    std::vector<Ptr<T>> list;
    for (const auto& weak : weakList) {
        appendUnique(list, weak.lock());
    }
    return list;
}

} // namespace

Ptr<UIGestureRecognizer> UIGestureRecognizer::init() {
    if (!NSObject::init()) {
        return nullptr;
    }
    return self<UIGestureRecognizer>();
}

UIGestureRecognizer::~UIGestureRecognizer() = default;

void UIGestureRecognizer::addAction(UIAction action) {
    std::erase_if(_actions, [](const UIAction& pair) { return pair.isTargetGone(); });
    const bool present = std::any_of(_actions.begin(), _actions.end(),
                                     [&](const UIAction& pair) { return pair.sameAs(action); });
    if (!present) {
        _actions.push_back(std::move(action));
    }
}

void UIGestureRecognizer::removeTarget(const NSObject* target) {
    if (!target) {
        _actions.clear();
        return;
    }
    std::erase_if(_actions, [&](const UIAction& pair) { return pair.hasTarget(target); });
}

void UIGestureRecognizer::setEnabled(BOOL enabled) {
    if (_enabled == enabled) {
        return;
    }
    _enabled = enabled;
    if (enabled) {
        return;
    }
    auto keepAlive = self<UIGestureRecognizer>();
    if (_state == UIGestureRecognizerStateBegan || _state == UIGestureRecognizerStateChanged) {
        setState(UIGestureRecognizerStateCancelled);
    } else if (_state == UIGestureRecognizerStatePossible && (_inSequence || _pendingState)) {
        fail();
    }
    // A disabled recognizer lets go of its touches, so it is ready again at once.
    _touches.clear();
    if (_state != UIGestureRecognizerStatePossible || _inSequence) {
        reset();
    }
}

void UIGestureRecognizer::detachFromView() {
    auto keepAlive = self<UIGestureRecognizer>();
    _view.reset();
    if (_state == UIGestureRecognizerStateBegan || _state == UIGestureRecognizerStateChanged) {
        setState(UIGestureRecognizerStateCancelled);
    } else if (_state == UIGestureRecognizerStatePossible && (_inSequence || _pendingState)) {
        fail();
    }
    _touches.clear();
    if (_state != UIGestureRecognizerStatePossible || _inSequence) {
        reset();
    }
}

void UIGestureRecognizer::requireGestureRecognizerToFail(const Ptr<UIGestureRecognizer>& other) {
    if (!other || other.get() == this) {
        return;
    }
    const auto requirements = lockAll(_failureRequirements);
    if (std::find(requirements.begin(), requirements.end(), other) != requirements.end()) {
        return;
    }
    _failureRequirements.push_back(other);
    other->_dependents.push_back(weakSelf<UIGestureRecognizer>());
}

CGPoint UIGestureRecognizer::locationInView(const Ptr<UIView>& view) const {
    CGPoint centroid = _lastCentroidInWindow;
    if (!_touches.empty()) {
        centroid = CGPointZero;
        for (const auto& touch : _touches) {
            centroid.x += touch->_locationInWindow.x;
            centroid.y += touch->_locationInWindow.y;
        }
        centroid.x /= static_cast<CGFloat>(_touches.size());
        centroid.y /= static_cast<CGFloat>(_touches.size());
    }
    return view ? view->convertPointFromView(centroid, nullptr) : centroid;
}

void UIGestureRecognizer::_deliverTouches(UITouchPhase phase, const Ptr<NSSet>& touches,
                                          const Ptr<UIEvent>& event) {
    if (!_enabled || !touches) {
        return;
    }
    auto keepAlive = self<UIGestureRecognizer>();
    std::vector<Ptr<NSObject>> relevant;
    for (const auto& object : touches->allObjects()) {
        auto touch = as<UITouch>(object);
        if (!touch) {
            continue;
        }
        const bool held = std::find(_touches.begin(), _touches.end(), touch) != _touches.end();
        if (phase == UITouchPhaseBegan ? !held : held) {
            relevant.push_back(touch);
        }
    }
    if (relevant.empty()) {
        return;
    }
    // A finished gesture waits for its touches to go before it takes new ones,
    // and one that has concluded but waits on another's failure takes none.
    if (phase == UITouchPhaseBegan && (isFinished() || _pendingState)) {
        return;
    }
    const auto relevantSet = NSSet::setWithObjects(relevant);
    _lastEvent = event;

    if (phase == UITouchPhaseBegan) {
        for (const auto& object : relevant) {
            _touches.push_back(std::static_pointer_cast<UITouch>(object));
        }
        _inSequence = true;
        _lastCentroidInWindow = locationInView(nullptr);
        touchesBegan(relevantSet, event);
        return;
    }

    _lastCentroidInWindow = locationInView(nullptr);
    if (!isFinished()) {
        switch (phase) {
        case UITouchPhaseMoved:
            touchesMoved(relevantSet, event);
            break;
        case UITouchPhaseEnded:
            touchesEnded(relevantSet, event);
            break;
        case UITouchPhaseCancelled:
            touchesCancelled(relevantSet, event);
            break;
        default:
            break;
        }
    }
    if (phase == UITouchPhaseEnded || phase == UITouchPhaseCancelled) {
        std::erase_if(_touches,
                      [&](const Ptr<UITouch>& touch) { return relevantSet->containsObject(touch); });
        if (_touches.empty()) {
            _lastEvent.reset();
        }
        resetIfFinished();
    }
}

void UIGestureRecognizer::setState(UIGestureRecognizerState state) {
    auto keepAlive = self<UIGestureRecognizer>();
    const bool inProgress =
        _state == UIGestureRecognizerStateBegan || _state == UIGestureRecognizerStateChanged;
    switch (state) {
    case UIGestureRecognizerStateBegan:
        if (_state == UIGestureRecognizerStatePossible) {
            recognize(state);
        }
        break;
    case UIGestureRecognizerStateChanged:
        if (inProgress) {
            _state = state;
            sendActions();
        }
        break;
    case UIGestureRecognizerStateEnded:
        if (_state == UIGestureRecognizerStatePossible) {
            recognize(state);
        } else if (inProgress) {
            _state = state;
            sendActions();
            resetIfFinished();
        }
        break;
    case UIGestureRecognizerStateCancelled:
        if (inProgress) {
            _state = state;
            sendActions();
            resetIfFinished();
        } else if (_state == UIGestureRecognizerStatePossible) {
            // A gesture that never began cannot be cancelled; it fails.
            fail();
        }
        break;
    case UIGestureRecognizerStateFailed:
        fail();
        break;
    case UIGestureRecognizerStatePossible:
        break;
    }
}

void UIGestureRecognizer::recognize(UIGestureRecognizerState state) {
    bool waiting = false;
    for (const auto& required : lockAll(_failureRequirements)) {
        if (std::find(_failedRequirements.begin(), _failedRequirements.end(), required.get()) !=
            _failedRequirements.end()) {
            continue;
        }
        switch (required->_state) {
        case UIGestureRecognizerStateFailed:
            break;
        case UIGestureRecognizerStatePossible:
            // Only a recognizer that is in the middle of a gesture can still
            // recognize; an idle or disabled one counts as failed.
            if (required->_enabled && (required->_inSequence || required->_pendingState)) {
                waiting = true;
            }
            break;
        default:
            // It recognized its gesture first.
            fail();
            return;
        }
    }
    if (waiting) {
        _pendingState = state;
        return;
    }
    _pendingState.reset();
    _state = state;
    failCompetitors();
    if (_state != state) {
        return; // a competitor's failure handling reached back and ended this gesture
    }
    if (_cancelsTouchesInView) {
        cancelTouchesInViews();
    }
    sendActions();
    if (state == UIGestureRecognizerStateEnded) {
        resetIfFinished();
    }
}

void UIGestureRecognizer::fail() {
    if (_state != UIGestureRecognizerStatePossible) {
        return;
    }
    auto keepAlive = self<UIGestureRecognizer>();
    _pendingState.reset();
    _state = UIGestureRecognizerStateFailed;
    for (const auto& dependent : lockAll(_dependents)) {
        dependent->requiredRecognizerDidFail(this);
    }
    resetIfFinished();
}

void UIGestureRecognizer::requiredRecognizerDidFail(const UIGestureRecognizer* other) {
    // An idle recognizer keeps no memory of it: the next gesture waits afresh.
    if (_state != UIGestureRecognizerStatePossible || !(_inSequence || _pendingState)) {
        return;
    }
    _failedRequirements.push_back(other);
    if (_pendingState) {
        recognize(*_pendingState);
    }
}

void UIGestureRecognizer::failCompetitors() {
    std::vector<Ptr<UIGestureRecognizer>> competitors;
    for (const auto& touch : _touches) {
        for (const auto& recognizer : touch->gestureRecognizers()) {
            if (recognizer.get() != this) {
                appendUnique(competitors, recognizer);
            }
        }
    }
    for (const auto& dependent : lockAll(_dependents)) {
        appendUnique(competitors, dependent);
    }
    for (const auto& competitor : competitors) {
        competitor->fail();
    }
}

void UIGestureRecognizer::cancelTouchesInViews() {
    std::vector<std::pair<Ptr<UIView>, std::vector<Ptr<NSObject>>>> byView;
    for (const auto& touch : _touches) {
        if (touch->_viewDeliveryCancelled) {
            continue;
        }
        touch->_viewDeliveryCancelled = true;
        if (!touch->_viewSawBegan || !touch->_view) {
            continue;
        }
        auto entry = std::find_if(byView.begin(), byView.end(),
                                  [&](const auto& item) { return item.first == touch->_view; });
        if (entry == byView.end()) {
            byView.emplace_back(touch->_view, std::vector<Ptr<NSObject>>{touch});
        } else {
            entry->second.push_back(touch);
        }
    }
    const auto event = _lastEvent;
    for (const auto& [view, touches] : byView) {
        view->touchesCancelled(NSSet::setWithObjects(touches), event);
    }
}

void UIGestureRecognizer::sendActions() {
    auto keepAlive = self<UIGestureRecognizer>();
    std::erase_if(_actions, [](const UIAction& pair) { return pair.isTargetGone(); });
    // An action may add or remove targets; this round goes to the ones present now.
    const auto actions = _actions;
    for (const auto& action : actions) {
        action.send(keepAlive, nullptr);
    }
}

BOOL UIGestureRecognizer::isFinished() const {
    return _state == UIGestureRecognizerStateEnded || _state == UIGestureRecognizerStateCancelled ||
           _state == UIGestureRecognizerStateFailed;
}

void UIGestureRecognizer::resetIfFinished() {
    if (isFinished() && _touches.empty()) {
        reset();
    }
}

void UIGestureRecognizer::reset() {
    _state = UIGestureRecognizerStatePossible;
    _pendingState.reset();
    _failedRequirements.clear();
    _touches.clear();
    _lastEvent.reset();
    _inSequence = false;
}
