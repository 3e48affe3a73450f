// CALayer: media timing, animations and presentation values.
#include <algorithm>

#include "QuartzCore/CAAnimation.h"
#include "QuartzCore/CAAnimationEngine.h"
#include "QuartzCore/CALayer.h"

namespace {

// The default duration of an explicit animation that gives none.
constexpr CFTimeInterval kDefaultAnimationDuration = 0.25;

template <class T> T valueOr(const CAValue& value, T fallback) {
    if (const auto* held = std::get_if<T>(&value)) {
        return *held;
    }
    return fallback;
}

} // namespace

CALayer::~CALayer() {
    // An animation with a delegate is held by its own report; let go of the reports so
    // that nothing outlives the layer by holding itself. A report whose task is
    // scheduled still runs (finished NO); one whose clock stood still is dropped.
    for (auto& [key, animation] : _animations) {
        animation->_group.reset();
    }
}

CALayer::TimeMapping CALayer::timeMappingFromGlobal() const {
    const auto parent = superlayer();
    const TimeMapping parentMapping = parent ? parent->timeMappingFromGlobal() : TimeMapping{};
    const double speed = _speed;
    return {parentMapping.scale * speed, (parentMapping.offset - _beginTime) * speed + _timeOffset};
}

CFTimeInterval CALayer::convertTime(CFTimeInterval time, const CALayer* layer) const {
    double global = time;
    if (layer) {
        const auto from = layer->timeMappingFromGlobal();
        // A frozen layer's time does not tell which global instant it came from: take now.
        global = from.scale != 0 ? (time - from.offset) / from.scale : CACurrentMediaTime();
    }
    return timeMappingFromGlobal().localTime(global);
}

void CALayer::addAnimation(const Ptr<CAAnimation>& animation, std::string_view key) {
    if (!animation) {
        return;
    }
    auto added = animation->copy();
    if (added->_beginTime == 0) {
        added->_beginTime = localTime();
    }
    if (!(added->_duration > 0)) {
        added->_duration = kDefaultAnimationDuration;
    }
    CACompletionGroup::Completion report;
    if (auto delegate = added->_delegate) {
        // The report holds the animation until it is delivered; a layer that dies
        // with the animation frozen on it drops both.
        report = [delegate, added](BOOL finished) { delegate->animationDidStop(added, finished); };
    }
    auto group = std::make_shared<CACompletionGroup>(std::move(report));
    attachAnimation(added, key, group);
    group->seal(NSRunLoop::mainRunLoop()->nowNanoseconds());
}

Ptr<CAAnimation> CALayer::animationForKey(std::string_view key) const {
    if (key.empty()) {
        return nullptr;
    }
    for (const auto& [animationKey, animation] : _animations) {
        if (animationKey == key) {
            return animation;
        }
    }
    return nullptr;
}

std::vector<std::string> CALayer::animationKeys() const {
    std::vector<std::string> keys;
    for (const auto& [key, animation] : _animations) {
        if (!key.empty()) {
            keys.push_back(key);
        }
    }
    return keys;
}

void CALayer::removeAnimationForKey(std::string_view key) {
    if (key.empty()) {
        return;
    }
    for (std::size_t i = 0; i < _animations.size(); ++i) {
        if (_animations[i].first == key) {
            removeAnimationAt(i, nullptr);
            return;
        }
    }
}

void CALayer::removeAllAnimations() {
    if (_animations.empty()) {
        return;
    }
    auto removed = std::move(_animations);
    _animations.clear();
    for (auto& [key, animation] : removed) {
        auto group = std::move(animation->_group);
        animation->_layer.reset();
        if (group) {
            group->animationRemoved(animation.get(), nullptr);
        }
    }
    CAMarkDisplayChanged();
}

void CALayer::attachAnimation(const Ptr<CAAnimation>& animation, std::string_view key,
                              const Ptr<CACompletionGroup>& group) {
    if (!key.empty()) {
        for (std::size_t i = 0; i < _animations.size(); ++i) {
            if (_animations[i].first == key) {
                removeAnimationAt(i, group.get());
                break;
            }
        }
    }
    animation->_layer = weakSelf<CALayer>();
    animation->_group = group;
    _animations.emplace_back(std::string(key), animation);
    if (group) {
        group->animationAttached(animation);
    }
    CAMarkDisplayChanged();
}

void CALayer::detachAnimation(const CAAnimation* animation) {
    std::erase_if(_animations, [&](const auto& entry) { return entry.second.get() == animation; });
}

void CALayer::removeAnimationAt(std::size_t index, const CACompletionGroup* replacement) {
    auto animation = std::move(_animations[index].second);
    _animations.erase(_animations.begin() + static_cast<std::ptrdiff_t>(index));
    auto group = std::move(animation->_group);
    animation->_layer.reset();
    if (group) {
        group->animationRemoved(animation.get(), replacement);
    }
    CAMarkDisplayChanged();
}

void CALayer::collectCompletionGroups(std::vector<Ptr<CACompletionGroup>>& groups) const {
    for (const auto& [key, animation] : _animations) {
        if (animation->_group) {
            groups.push_back(animation->_group);
        }
    }
    for (const auto& sublayer : _sublayers) {
        sublayer->collectCompletionGroups(groups);
    }
}

BOOL CALayer::hasRunningAnimations() const {
    const auto parent = superlayer();
    return hasRunningAnimations(parent ? parent->timeMappingFromGlobal() : TimeMapping{},
                                CACurrentMediaTime());
}

BOOL CALayer::hasRunningAnimations(TimeMapping parentMapping, double globalNow) const {
    const double speed = _speed;
    const TimeMapping mapping{parentMapping.scale * speed,
                              (parentMapping.offset - _beginTime) * speed + _timeOffset};
    if (mapping.scale != 0 && !_animations.empty()) {
        const double now = mapping.localTime(globalNow);
        for (const auto& [key, animation] : _animations) {
            if (now < animation->endTime() && animation->hasBegunAt(now) &&
                CAAnimationEngine::animationChangesValues(*this, *animation)) {
                return YES;
            }
        }
    }
    // A mask has no superlayer: its clock is the global one.
    if (_mask && _mask->hasRunningAnimations(TimeMapping{}, globalNow)) {
        return YES;
    }
    return std::any_of(_sublayers.begin(), _sublayers.end(), [&](const auto& sublayer) {
        return sublayer->hasRunningAnimations(mapping, globalNow);
    });
}

CAValue CALayer::presentationValue(std::string_view keyPath) const {
    const CAValue model = modelValue(keyPath);
    if (_animations.empty()) {
        return model;
    }
    const double now = localTime();
    CAValue value = model;
    // Later animations of a key path cover earlier ones.
    for (const auto& [key, animation] : _animations) {
        if (auto animated = animation->valueAtTime(keyPath, now, model)) {
            value = *animated;
        }
    }
    return value;
}

// The renderer asks for these of every layer on every frame; most layers have no
// animations, and their model values are the answer.
CGRect CALayer::presentationBounds() const {
    if (_animations.empty()) {
        return _bounds;
    }
    return valueOr(presentationValue("bounds"), _bounds);
}

CGPoint CALayer::presentationPosition() const {
    if (_animations.empty()) {
        return _position;
    }
    return valueOr(presentationValue("position"), _position);
}

CGRect CALayer::presentationFrame() const {
    const CGRect bounds = presentationBounds();
    const CGPoint position = presentationPosition();
    return CGRectMake(position.x - bounds.size.width / 2, position.y - bounds.size.height / 2,
                      bounds.size.width, bounds.size.height);
}

float CALayer::presentationOpacity() const {
    if (_animations.empty()) {
        return _opacity;
    }
    return static_cast<float>(valueOr(presentationValue("opacity"), static_cast<double>(_opacity)));
}

void CALayer::animatableValueWillChange(std::string_view keyPath, const CAValue& newValue) {
    CAAnimationEngine::shared().layerValueWillChange(*this, keyPath, newValue);
}

void CALayer::timingDidChange() {
    CAAnimationEngine::shared().layerTimingDidChange(*this);
}
