#include "QuartzCore/CAAnimation.h"

#include <type_traits>

Ptr<CAAnimation> CAAnimation::animation() {
    return alloc<CAAnimation>()->init();
}

Ptr<CAAnimation> CAAnimation::init() {
    NSObject::init();
    return self<CAAnimation>();
}

Ptr<CAAnimation> CAAnimation::copy() const {
    auto other = alloc<CAAnimation>()->init();
    copyTimingTo(*other);
    return other;
}

void CAAnimation::copyTimingTo(CAAnimation& other) const {
    other._beginTime = _beginTime;
    other._duration = _duration;
    other._timingFunction = _timingFunction;
    other._fillMode = _fillMode;
    other._delegate = _delegate;
}

std::optional<double> CAAnimation::progressAtTime(CFTimeInterval time) const {
    const bool fillsBackwards = _fillMode == kCAFillModeBackwards || _fillMode == kCAFillModeBoth;
    const bool fillsForwards = _fillMode == kCAFillModeForwards || _fillMode == kCAFillModeBoth;
    if (time < _beginTime) {
        if (!fillsBackwards) {
            return std::nullopt;
        }
        return _timingFunction ? _timingFunction->evaluate(0) : 0.0;
    }
    if (time >= endTime()) {
        if (!fillsForwards) {
            return std::nullopt;
        }
        return _timingFunction ? _timingFunction->evaluate(1) : 1.0;
    }
    const double linear = (time - _beginTime) / _duration;
    return _timingFunction ? _timingFunction->evaluate(linear) : linear;
}

Ptr<CABasicAnimation> CABasicAnimation::animationWithKeyPath(std::string_view keyPath) {
    auto animation = alloc<CABasicAnimation>()->init();
    animation->setKeyPath(keyPath);
    return animation;
}

Ptr<CABasicAnimation> CABasicAnimation::init() {
    CAAnimation::init();
    return self<CABasicAnimation>();
}

std::optional<CAValue> CABasicAnimation::valueAtTime(std::string_view keyPath, CFTimeInterval time,
                                                     const CAValue& modelValue) const {
    if (keyPath != _keyPath) {
        return std::nullopt;
    }
    const auto progress = progressAtTime(time);
    if (!progress) {
        return std::nullopt;
    }
    return CAValueInterpolate(_fromValue.value_or(modelValue), _toValue.value_or(modelValue), *progress);
}

Ptr<CAAnimation> CABasicAnimation::copy() const {
    auto other = alloc<CABasicAnimation>()->init();
    copyTimingTo(*other);
    other->_keyPath = _keyPath;
    other->_fromValue = _fromValue;
    other->_toValue = _toValue;
    return other;
}

namespace {

double mix(double from, double to, double progress) {
    return from + (to - from) * progress;
}

CGPoint mix(CGPoint from, CGPoint to, double progress) {
    return {mix(from.x, to.x, progress), mix(from.y, to.y, progress)};
}

CGSize mix(CGSize from, CGSize to, double progress) {
    return {mix(from.width, to.width, progress), mix(from.height, to.height, progress)};
}

CGRect mix(CGRect from, CGRect to, double progress) {
    return {mix(from.origin, to.origin, progress), mix(from.size, to.size, progress)};
}

} // namespace

CAValue CAValueInterpolate(const CAValue& from, const CAValue& to, double progress) {
    // The ends are returned exactly, so that a finished animation lands on its value.
    if (progress == 0 && from.index() == to.index()) {
        return from;
    }
    if (progress == 1) {
        return to;
    }
    return std::visit(
        [&](const auto& toValue) -> CAValue {
            using Value = std::decay_t<decltype(toValue)>;
            if (const auto* fromValue = std::get_if<Value>(&from)) {
                return mix(*fromValue, toValue, progress);
            }
            return toValue;
        },
        to);
}
