#include "QuartzCore/CACompletionGroup.h"

#include <algorithm>
#include <cmath>

#include "QuartzCore/CAAnimationEngine.h"

namespace {

std::uint64_t nextCompletionGroupSequence = 1;
std::size_t liveCompletionGroups = 0;

} // namespace

CACompletionGroup::CACompletionGroup(Completion completion)
    : _sequence(nextCompletionGroupSequence++), _completion(std::move(completion)) {
    ++liveCompletionGroups;
}

CACompletionGroup::~CACompletionGroup() {
    --liveCompletionGroups;
}

std::size_t CACompletionGroup::liveCount() {
    return liveCompletionGroups;
}

void CACompletionGroup::animationAttached(const Ptr<CAAnimation>& animation) {
    _hadAnimations = true;
    _animations.push_back(animation);
    reschedule();
}

void CACompletionGroup::animationRemoved(const CAAnimation* animation, const CACompletionGroup* replacement) {
    std::erase_if(_animations, [&](const WeakPtr<CAAnimation>& weak) {
        const auto held = weak.lock();
        return !held || held.get() == animation;
    });
    if (replacement == this) {
        return;
    }
    if (!_reported) {
        _reported = true;
        cancelTask();
        if (auto completion = std::move(_completion)) {
            NSRunLoop::mainRunLoop()->performSoon([completion = std::move(completion)] { completion(NO); });
        }
        _completion = nullptr;
    }
    // The group's other animations still play out; the task now only takes them off
    // their layers when they end.
    reschedule();
}

void CACompletionGroup::seal(Nanoseconds dueWithoutAnimations) {
    _sealed = true;
    _dueWithoutAnimations = dueWithoutAnimations;
    reschedule();
}

std::optional<Nanoseconds> CACompletionGroup::endOf(const CAAnimation& animation, Nanoseconds now) {
    const auto layer = animation._layer.lock();
    if (!layer) {
        return now;
    }
    const auto mapping = layer->timeMappingFromGlobal();
    const double end = animation.endTime();
    if (mapping.localTime(SecondsFromNanoseconds(now)) >= end) {
        return now;
    }
    if (!(mapping.scale > 0) || !std::isfinite(end)) {
        return std::nullopt;
    }
    const double due = (end - mapping.offset) / mapping.scale;
    if (!std::isfinite(due)) {
        return std::nullopt;
    }
    return std::max(now, NanosecondsFromSeconds(due));
}

std::optional<Nanoseconds> CACompletionGroup::latestEnd(Nanoseconds now) {
    Nanoseconds latest = now;
    bool frozen = false;
    std::erase_if(_animations, [&](const WeakPtr<CAAnimation>& weak) {
        const auto animation = weak.lock();
        if (!animation || animation->_layer.expired()) {
            _lost = true;
            return true;
        }
        if (const auto end = endOf(*animation, now)) {
            latest = std::max(latest, *end);
        } else {
            frozen = true;
        }
        return false;
    });
    if (frozen) {
        return std::nullopt;
    }
    return latest;
}

void CACompletionGroup::reschedule() {
    if (!_sealed) {
        return;
    }
    auto* loop = NSRunLoop::mainRunLoop();
    const Nanoseconds now = loop->nowNanoseconds();
    rescheduleWakeUp(now);
    std::optional<Nanoseconds> due;
    if (!_hadAnimations) {
        if (!_reported) {
            due = std::max(now, _dueWithoutAnimations);
        }
    } else if (!_reported || !_animations.empty()) {
        due = latestEnd(now);
        if (_reported && _animations.empty()) {
            due.reset();
        }
    }
    if (!due) {
        cancelTask();
        return;
    }
    if (_task != 0 && _taskDue == *due && loop->isScheduled(_task)) {
        return;
    }
    cancelTask();
    _taskDue = *due;
    _task = loop->scheduleAt(*due, [group = shared_from_this()] { group->fire(); });
}

std::optional<Nanoseconds> CACompletionGroup::nextStart(Nanoseconds now) const {
    std::optional<Nanoseconds> next;
    for (const auto& weak : _animations) {
        const auto animation = weak.lock();
        const auto layer = animation ? animation->_layer.lock() : nullptr;
        if (!layer) {
            continue;
        }
        const auto mapping = layer->timeMappingFromGlobal();
        const double begin = animation->beginTime();
        if (!(mapping.scale > 0) || animation->hasBegunAt(mapping.localTime(SecondsFromNanoseconds(now))) ||
            !CAAnimationEngine::animationChangesValues(*layer, *animation)) {
            continue;
        }
        const double due = (begin - mapping.offset) / mapping.scale;
        if (std::isfinite(due)) {
            const Nanoseconds start = std::max(now + 1, NanosecondsFromSeconds(due));
            next = next ? std::min(*next, start) : start;
        }
    }
    return next;
}

void CACompletionGroup::rescheduleWakeUp(Nanoseconds now) {
    const auto due = nextStart(now);
    if (due && _wakeUpTask != 0 && _wakeUpDue == *due && NSRunLoop::mainRunLoop()->isScheduled(_wakeUpTask)) {
        return;
    }
    cancelWakeUp();
    if (!due) {
        return;
    }
    _wakeUpDue = *due;
    _wakeUpTask = NSRunLoop::mainRunLoop()->scheduleAt(*due, [weak = weak_from_this()] {
        if (const auto group = weak.lock()) {
            group->wakeUp();
        }
    });
}

void CACompletionGroup::wakeUp() {
    _wakeUpTask = 0;
    CAMarkDisplayChanged();
    // Others of the group may begin later.
    rescheduleWakeUp(NSRunLoop::mainRunLoop()->nowNanoseconds());
}

void CACompletionGroup::cancelWakeUp() {
    if (_wakeUpTask != 0) {
        NSRunLoop::mainRunLoop()->cancel(_wakeUpTask);
        _wakeUpTask = 0;
    }
}

void CACompletionGroup::cancelTask() {
    if (_task != 0) {
        NSRunLoop::mainRunLoop()->cancel(_task);
        _task = 0;
    }
}

void CACompletionGroup::fire() {
    auto keepAlive = shared_from_this();
    _task = 0;
    const Nanoseconds now = NSRunLoop::mainRunLoop()->nowNanoseconds();
    std::vector<Ptr<CAAnimation>> ended;
    for (const auto& weak : _animations) {
        auto animation = weak.lock();
        if (!animation || animation->_layer.expired()) {
            _lost = true;
            continue;
        }
        const auto end = endOf(*animation, now);
        if (!end || *end > now) {
            // The timing moved under a task that was not told; go by the new timing.
            reschedule();
            return;
        }
        ended.push_back(std::move(animation));
    }
    _animations.clear();
    cancelWakeUp();
    // Leave the layers in order before calling out: the completion may well start
    // the next animation on the same layers.
    for (const auto& animation : ended) {
        if (const auto layer = animation->_layer.lock()) {
            layer->detachAnimation(animation.get());
        }
        animation->_layer.reset();
        animation->_group.reset();
    }
    if (!ended.empty()) {
        CAMarkDisplayChanged();
    }
    if (_reported) {
        return;
    }
    _reported = true;
    auto completion = std::move(_completion);
    _completion = nullptr;
    if (completion) {
        completion(!_lost);
    }
}
