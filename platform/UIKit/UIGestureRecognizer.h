#pragma once

#include <optional>
#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSCollections.h"
#include "Foundation/NSObject.h"
#include "UIKit/UITargetAction.h"
#include "UIKit/UITouch.h"

class UIEvent;
class UIView;

enum UIGestureRecognizerState : NSInteger {
    UIGestureRecognizerStatePossible = 0,
    UIGestureRecognizerStateBegan = 1,
    UIGestureRecognizerStateChanged = 2,
    UIGestureRecognizerStateEnded = 3,
    UIGestureRecognizerStateCancelled = 4,
    UIGestureRecognizerStateFailed = 5,
    UIGestureRecognizerStateRecognized = UIGestureRecognizerStateEnded,
};

// Recognizes one gesture from the touches of a view (its own view and the view's
// descendants). The window hands a recognizer the touches before the views get
// them. Subclasses read the touches and move the state:
//
// - A discrete gesture goes possible -> recognized (ended) or failed; a
//   continuous one goes possible -> began -> changed... -> ended or cancelled,
//   or possible -> failed.
// - Targets are told at began, changed, ended (recognized) and cancelled; never
//   at failed. Targets are held weakly; an action takes the recognizer or nothing.
// - Recognizers are exclusive: when one begins or recognizes, every other
//   recognizer still possible that sees any of the same touches fails, and so
//   does every recognizer that required this one to fail.
// - A recognizer that requires others to fail holds its began or recognized
//   state back until each of them has failed, and fails itself when one of them
//   recognizes.
// - With cancelsTouchesInView (the default) the touches' views get
//   touchesCancelled when the gesture begins or is recognized, and nothing more
//   of those touches. Views get every phase without delay: a touch whose end a
//   view already got (a tap recognized only once another recognizer failed) is
//   not cancelled afterwards.
// - Once the gesture has ended, been cancelled or failed, the recognizer ignores
//   touches until all of its touches are gone, then resets to possible.
class UIGestureRecognizer : public NSObject {
public:
    Ptr<UIGestureRecognizer> init();
    template <class T, class Method>
    Ptr<UIGestureRecognizer> initWithTarget(const Ptr<T>& target, Method action) {
        if (!UIGestureRecognizer::init()) {
            return nullptr;
        }
        if (target) {
            addTarget(target, action);
        }
        return self<UIGestureRecognizer>();
    }
    ~UIGestureRecognizer() override;

    // Adds a target-action pair; a pair already present is not added twice.
    // Actions run in the order added.
    template <class T, class Method> void addTarget(const Ptr<T>& target, Method action) {
        addAction(UIAction::make(target, action));
    }
    template <class T, class Method> void removeTarget(const T* target, Method action) {
        std::erase_if(_actions, [&](const UIAction& pair) { return pair.matches(target, action); });
    }
    // Removes every action of `target`; nil removes every action.
    void removeTarget(const NSObject* target);

    UIGestureRecognizerState state() const { return _state; }
    // A disabled recognizer sees no touches; disabling one mid-gesture cancels
    // a gesture that began and fails one still possible.
    BOOL isEnabled() const { return _enabled; }
    void setEnabled(BOOL enabled);
    BOOL cancelsTouchesInView() const { return _cancelsTouchesInView; }
    void setCancelsTouchesInView(BOOL cancels) { _cancelsTouchesInView = cancels; }
    // The view the recognizer is attached to (set by the view's addGestureRecognizer).
    Ptr<UIView> view() const { return _view.lock(); }

    // Makes this recognizer wait for `other` to fail before it begins or
    // recognizes; when `other` recognizes, this one fails.
    void requireGestureRecognizerToFail(const Ptr<UIGestureRecognizer>& other);

    // The touches the recognizer holds now, and their centroid in `view`'s
    // coordinates (nil: the window's). With no touches, the last centroid.
    NSUInteger numberOfTouches() const { return _touches.size(); }
    CGPoint locationInView(const Ptr<UIView>& view) const;

    // Touch input from the window. Subclasses override these to recognize their
    // gesture; the base implementations do nothing.
    virtual void touchesBegan(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {}
    virtual void touchesMoved(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {}
    virtual void touchesEnded(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {}
    virtual void touchesCancelled(const Ptr<NSSet>& touches, const Ptr<UIEvent>& event) {}
    // Back to possible after a gesture; subclasses drop their own tracking state
    // (and cancel their timers) and call this.
    virtual void reset();

    // Delivery entry point used by the window: hands `touches` of one phase to
    // the recognizer, tracking which touches it holds.
    void _deliverTouches(UITouchPhase phase, const Ptr<NSSet>& touches, const Ptr<UIEvent>& event);

protected:
    // Moves the gesture to `state`; see the class comment for what follows.
    void setState(UIGestureRecognizerState state);

private:
    friend class UIView;

    void setView(const WeakPtr<UIView>& view) { _view = view; }
    // Called when the view lets go of the recognizer: any gesture ends at once.
    void detachFromView();
    void addAction(UIAction action);
    void sendActions();
    // Applies a began or recognized state once the failure requirements allow it.
    void recognize(UIGestureRecognizerState state);
    void fail();
    void requiredRecognizerDidFail(const UIGestureRecognizer* other);
    // Fails every other recognizer that still could take this one's touches.
    void failCompetitors();
    void cancelTouchesInViews();
    void resetIfFinished();
    BOOL isFinished() const;

    WeakPtr<UIView> _view;
    std::vector<UIAction> _actions;
    std::vector<Ptr<UITouch>> _touches;
    Ptr<UIEvent> _lastEvent;
    CGPoint _lastCentroidInWindow{};
    std::vector<WeakPtr<UIGestureRecognizer>> _failureRequirements;
    std::vector<WeakPtr<UIGestureRecognizer>> _dependents;
    // Requirements that failed during the current gesture.
    std::vector<const UIGestureRecognizer*> _failedRequirements;
    // The state the gesture reached while a requirement was still possible.
    std::optional<UIGestureRecognizerState> _pendingState;
    UIGestureRecognizerState _state = UIGestureRecognizerStatePossible;
    bool _enabled = true;
    bool _cancelsTouchesInView = true;
    bool _inSequence = false;
};
