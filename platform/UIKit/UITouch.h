#pragma once

#include <cstdint>
#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

class UIGestureRecognizer;
class UIView;
class UIWindow;

enum UITouchPhase : NSInteger {
    UITouchPhaseBegan = 0,
    UITouchPhaseMoved = 1,
    UITouchPhaseStationary = 2,
    UITouchPhaseEnded = 3,
    UITouchPhaseCancelled = 4,
};

// The flag bits of a touch. Bit 0 of the first byte: the touch is the first one
// its view got in this sequence; bit 1: the touch is still a tap (it has not
// moved farther than a tap may).
struct UITouchFlags {
    std::uint8_t firstByte = 0;
    std::uint8_t reserved[3] = {};
};
inline constexpr std::uint8_t UITouchFlagFirstTouchForView = 1 << 0;
inline constexpr std::uint8_t UITouchFlagIsTap = 1 << 1;

// One finger on the screen, from touching down to lifting (or being cancelled).
// The window fills in its view when the touch begins; the touch keeps its
// location in window coordinates.
//
// The fields are open: code that synthesises touches writes them directly.
// Such code starts from NSObject's initialiser (`touch->NSObject::init()`), which
// leaves every field zero, rather than UITouch's own `init`.
class UITouch : public NSObject {
public:
    // A touch in the began phase with a tap count of 1, at the window origin,
    // stamped with the run loop's current time.
    Ptr<UITouch> init();

    UITouchPhase phase() const { return static_cast<UITouchPhase>(_phase); }
    void setPhase(UITouchPhase phase) { _phase = static_cast<std::int32_t>(phase); }
    // The current and the previous location in `view`'s coordinates (nil: the
    // touch's window's coordinates).
    CGPoint locationInView(const Ptr<UIView>& view) const;
    CGPoint previousLocationInView(const Ptr<UIView>& view) const;
    // The view the touch began over, nil when it began over none.
    const Ptr<UIView>& view() const { return _view; }
    const Ptr<UIWindow>& window() const { return _window; }
    // How many taps in quick succession at about this place this touch makes.
    NSUInteger tapCount() const { return _tapCount > 0 ? static_cast<NSUInteger>(_tapCount) : 0; }
    // When the touch last changed, in seconds.
    NSTimeInterval timestamp() const { return _timestamp; }
    // The recognizers that see this touch: those of its view and the view's
    // ancestors, found when the touch began.
    std::vector<Ptr<UIGestureRecognizer>> gestureRecognizers() const;

    std::int32_t _tapCount = 0;
    CGPoint _locationInWindow;
    CGPoint _previousLocationInWindow;
    Ptr<UIView> _view;
    Ptr<UIWindow> _window;
    std::int32_t _phase = 0;
    UITouchFlags _touchFlags;
    double _timestamp = 0;

private:
    friend class UIWindow;
    friend class UIGestureRecognizer;

    // What the window's event delivery keeps per touch.
    std::vector<WeakPtr<UIGestureRecognizer>> _gestureRecognizers;
    // The view has been sent touchesBegan for this touch.
    bool _viewSawBegan = false;
    // A gesture recognizer took the touch: its view gets nothing more of it.
    bool _viewDeliveryCancelled = false;
};
