#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Foundation/NSObject.h"
#include "QuartzCore/CALayer.h"
#include "QuartzCore/CAMediaTimingFunction.h"

class CAAnimation;
class CACompletionGroup;

// The run loop's resolution, in seconds.
inline constexpr CFTimeInterval kCAAnimationTimeResolution = 1e-9;

// How an animation shows outside its active time: not at all (the model value
// shows), its first value before it begins, its last value after it ends, or both.
inline constexpr std::string_view kCAFillModeRemoved = "removed";
inline constexpr std::string_view kCAFillModeBackwards = "backwards";
inline constexpr std::string_view kCAFillModeForwards = "forwards";
inline constexpr std::string_view kCAFillModeBoth = "both";

// Told when an animation added to a layer stops. The animation holds its delegate.
class CAAnimationDelegate : public NSObject {
public:
    // Runs from the run loop, once per added animation: finished YES when the
    // animation reached its end, NO when it was removed or replaced first.
    virtual void animationDidStop(const Ptr<CAAnimation>& animation, BOOL finished) {}
};

// An animation of a layer. Times are in the local time of the layer it is added
// to. A layer keeps a copy of the animation it is given, so one object can be
// added to several layers; the copy a layer holds must not be changed.
//
// Animations never run per displayed frame: a layer computes its presentation
// values from its animations whenever they are asked for, and the only scheduled
// work is the stop notification at the end.
class CAAnimation : public NSObject {
public:
    static Ptr<CAAnimation> animation();
    Ptr<CAAnimation> init();

    // When the active time begins, in the layer's local time; 0 when added means
    // "now".
    CFTimeInterval beginTime() const { return _beginTime; }
    void setBeginTime(CFTimeInterval time) { _beginTime = time; }
    // The active time, in seconds of local time; 0 (or less, or NaN) when added
    // means the platform's default of 0.25 s.
    CFTimeInterval duration() const { return _duration; }
    void setDuration(CFTimeInterval duration) { _duration = duration; }
    // The pacing; nil is linear.
    void setTimingFunction(const Ptr<CAMediaTimingFunction>& function) { _timingFunction = function; }
    std::string_view fillMode() const { return _fillMode; }
    void setFillMode(std::string_view mode) { _fillMode = mode; }
    const Ptr<CAAnimationDelegate>& delegate() const { return _delegate; }
    void setDelegate(const Ptr<CAAnimationDelegate>& delegate) { _delegate = delegate; }

    // The end of the active time in local time: beginTime + duration.
    CFTimeInterval endTime() const { return _beginTime + _duration; }
    // Whether the active time has begun at local time `time`. A nanosecond early
    // counts: the run loop wakes at whole nanoseconds, and the wake-up for an
    // animation's start must find it begun.
    BOOL hasBegunAt(CFTimeInterval time) const { return time + kCAAnimationTimeResolution >= _beginTime; }
    // The value this animation gives `keyPath` at local time `time` over the layer's
    // model value, or nothing when it does not animate that key path or does not
    // show at that time.
    virtual std::optional<CAValue> valueAtTime(std::string_view keyPath, CFTimeInterval time,
                                               const CAValue& modelValue) const {
        return std::nullopt;
    }

    // A copy with the same timing, pacing, fill mode and delegate.
    virtual Ptr<CAAnimation> copy() const;

protected:
    void copyTimingTo(CAAnimation& other) const;
    // The eased progress at local time `time`, or nothing outside the times this
    // animation shows at (see fillMode).
    std::optional<double> progressAtTime(CFTimeInterval time) const;

private:
    friend class CALayer;
    friend class CACompletionGroup;

    CFTimeInterval _beginTime = 0;
    CFTimeInterval _duration = 0;
    Ptr<CAMediaTimingFunction> _timingFunction;
    std::string _fillMode{kCAFillModeRemoved};
    Ptr<CAAnimationDelegate> _delegate;

    // Set while the animation is on a layer.
    WeakPtr<CALayer> _layer;
    Ptr<CACompletionGroup> _group;
};

// An animation of one property from one value to another.
class CABasicAnimation : public CAAnimation {
public:
    static Ptr<CABasicAnimation> animationWithKeyPath(std::string_view keyPath);
    Ptr<CABasicAnimation> init();

    const std::string& keyPath() const { return _keyPath; }
    void setKeyPath(std::string_view keyPath) { _keyPath = keyPath; }
    // Unset ends take the layer's model value.
    const std::optional<CAValue>& fromValue() const { return _fromValue; }
    void setFromValue(const std::optional<CAValue>& value) { _fromValue = value; }
    const std::optional<CAValue>& toValue() const { return _toValue; }
    void setToValue(const std::optional<CAValue>& value) { _toValue = value; }

    std::optional<CAValue> valueAtTime(std::string_view keyPath, CFTimeInterval time,
                                       const CAValue& modelValue) const override;
    Ptr<CAAnimation> copy() const override;

private:
    std::string _keyPath;
    std::optional<CAValue> _fromValue;
    std::optional<CAValue> _toValue;
};

// Linear interpolation between two values of the same kind (component by
// component); values of different kinds give `to`.
CAValue CAValueInterpolate(const CAValue& from, const CAValue& to, double progress);
