#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "Foundation/Clock.h"
#include "Foundation/NSRunLoop.h"
#include "QuartzCore/CAAnimation.h"

// Platform-internal: the completion behind animation blocks and explicitly added
// animations. Product code uses UIView and CALayer instead.

// The one completion of an animation block (or of one explicitly added animation).
//
// It reports exactly once, always from the run loop: finished YES in the pass at
// the instant the last of its animations reaches its end in its layer's local
// time; finished NO, queued at the current instant, as soon as one of them is
// removed or replaced by an animation of another group. A group without
// animations reports YES at a fixed global time. The scheduled task holds the
// group (and so the completion and what it captured) strongly; a group whose
// animations are all frozen has no task until their clocks run again.
//
// While one of its animations waits for its delay to pass, the group also keeps
// a wake-up on the run loop at the instant the first of them begins to move: it
// marks the display changed, so a front-end that sleeps while nothing moves
// draws again. The wake-up holds the group weakly.
class CACompletionGroup : public std::enable_shared_from_this<CACompletionGroup> {
public:
    using Completion = std::function<void(BOOL finished)>;

    explicit CACompletionGroup(Completion completion);
    CACompletionGroup(const CACompletionGroup&) = delete;
    CACompletionGroup& operator=(const CACompletionGroup&) = delete;
    ~CACompletionGroup();

    // Creation order; completions due at one instant are (re)scheduled in this order.
    std::uint64_t sequence() const { return _sequence; }

    // An animation of this group was put on a layer.
    void animationAttached(const Ptr<CAAnimation>& animation);
    // An animation of this group left its layer before its end: removed, or replaced
    // by an animation of `replacement` (a replacement from this same group is not a
    // failure: a block that sets a value twice animates to the last one).
    void animationRemoved(const CAAnimation* animation, const CACompletionGroup* replacement);
    // The group takes no more animations; without any it reports at `dueWithoutAnimations`.
    void seal(Nanoseconds dueWithoutAnimations);
    // Recomputes when the last animation ends (after a change of media timing) and
    // moves the task there.
    void reschedule();

    // How many groups exist; for leak checks.
    static std::size_t liveCount();

private:
    void fire();
    void cancelTask();
    // When `animation` ends, in global nanoseconds (never before `now`), or nothing
    // while its clock stands or runs backwards.
    static std::optional<Nanoseconds> endOf(const CAAnimation& animation, Nanoseconds now);
    // When the last animation ends, or nothing while any is frozen.
    std::optional<Nanoseconds> latestEnd(Nanoseconds now);
    // When the first animation still in its delay begins to change its layer, or
    // nothing when none waits on a running clock.
    std::optional<Nanoseconds> nextStart(Nanoseconds now) const;
    void rescheduleWakeUp(Nanoseconds now);
    void wakeUp();
    void cancelWakeUp();

    std::uint64_t _sequence;
    Completion _completion;
    std::vector<WeakPtr<CAAnimation>> _animations;
    bool _hadAnimations = false;
    bool _sealed = false;
    bool _reported = false;
    // An animation disappeared with its layer before its end.
    bool _lost = false;
    Nanoseconds _dueWithoutAnimations = 0;
    NSRunLoop::TaskId _task = 0;
    Nanoseconds _taskDue = 0;
    NSRunLoop::TaskId _wakeUpTask = 0;
    Nanoseconds _wakeUpDue = 0;
};
