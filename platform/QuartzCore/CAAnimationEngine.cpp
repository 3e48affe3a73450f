#include "QuartzCore/CAAnimationEngine.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <type_traits>

#include "QuartzCore/CATransaction.h"

namespace {

double nonNegative(double seconds) {
    return seconds > 0 ? seconds : 0.0;
}

Nanoseconds saturatingAdd(Nanoseconds base, Nanoseconds step) {
    return step > std::numeric_limits<Nanoseconds>::max() - base ? std::numeric_limits<Nanoseconds>::max()
                                                                 : base + step;
}

bool sameAnimatedValue(const CAValue& a, const CAValue& b) {
    if (a.index() != b.index()) {
        return false;
    }
    return std::visit(
        [&](const auto& value) {
            using Value = std::decay_t<decltype(value)>;
            const Value& other = std::get<Value>(b);
            if constexpr (std::is_same_v<Value, CGRect>) {
                return value.origin == other.origin && value.size == other.size;
            } else {
                return value == other;
            }
        },
        a);
}

} // namespace

CAAnimationEngine& CAAnimationEngine::shared() {
    static CAAnimationEngine engine;
    return engine;
}

Ptr<CAMediaTimingFunction> CAAnimationEngine::timingFunctionForOptions(NSUInteger options) {
    static const Ptr<CAMediaTimingFunction> curves[] = {
        CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseInEaseOut),
        CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseIn),
        CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionEaseOut),
        CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionLinear),
    };
    const NSUInteger curve = (options >> 16) & 0xF;
    return curve < 4 ? curves[curve] : curves[0];
}

void CAAnimationEngine::runAnimationBlock(double duration, double delay,
                                          const Ptr<CAMediaTimingFunction>& curve,
                                          const std::function<void()>& animations,
                                          CACompletionGroup::Completion completion) {
    duration = nonNegative(duration);
    delay = nonNegative(delay);
    auto group = std::make_shared<CACompletionGroup>(std::move(completion));
    const Nanoseconds start = NSRunLoop::mainRunLoop()->nowNanoseconds();
    _blocks.push_back({group, duration, delay, curve});
    struct CloseBlock {
        std::vector<Block>& blocks;
        ~CloseBlock() { blocks.pop_back(); }
    };
    {
        CloseBlock close{_blocks};
        if (animations) {
            animations();
        }
    }
    group->seal(saturatingAdd(start, NanosecondsFromSeconds(delay + duration)));
}

void CAAnimationEngine::layerValueWillChange(CALayer& layer, std::string_view keyPath,
                                             const CAValue& newValue) {
    if (_blocks.empty() || !_animationsEnabled || layer._delegate.expired() ||
        CATransaction::disableActions()) {
        return;
    }
    const Block& block = _blocks.back();
    auto animation = CABasicAnimation::animationWithKeyPath(keyPath);
    // From what shows now, so that a change in mid-flight carries on from there.
    animation->setFromValue(layer.presentationValue(keyPath));
    animation->setToValue(newValue);
    animation->setBeginTime(layer.localTime() + block.delay);
    animation->setDuration(block.duration);
    animation->setTimingFunction(block.curve);
    // During the delay the old value shows.
    animation->setFillMode(kCAFillModeBackwards);
    layer.attachAnimation(animation, keyPath, block.group);
}

void CAAnimationEngine::layerTimingDidChange(CALayer& layer) {
    std::vector<Ptr<CACompletionGroup>> groups;
    layer.collectCompletionGroups(groups);
    if (groups.empty()) {
        return;
    }
    std::sort(groups.begin(), groups.end(),
              [](const auto& a, const auto& b) { return a->sequence() < b->sequence(); });
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    for (const auto& group : groups) {
        group->reschedule();
    }
}

BOOL CAAnimationEngine::animationChangesValues(const CALayer& layer, const CAAnimation& animation) {
    const auto* basic = dynamic_cast<const CABasicAnimation*>(&animation);
    if (!basic) {
        return NO;
    }
    const CAValue model = layer.modelValue(basic->keyPath());
    return !sameAnimatedValue(basic->fromValue().value_or(model), basic->toValue().value_or(model));
}
