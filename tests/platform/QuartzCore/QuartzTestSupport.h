#pragma once

#include <cmath>
#include <vector>

#include "QuartzCore/CALayer.h"
#include "UIKit/UIView.h"
#include "support/TestSupport.h"

// What completions reported and when (to the microsecond, so that times compare exactly).
struct CompletionLog {
    using Entries = std::vector<std::pair<bool, double>>;
    Entries entries;
    std::function<void(BOOL)> recorder() {
        return [this](BOOL finished) {
            entries.emplace_back(finished, std::round(CACurrentMediaTime() * 1e6) / 1e6);
        };
    }
};

// A platform fixture with animations switched on and a small tree: `view` inside
// `label` inside `root`, and `other` beside `label`.
class QuartzTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        UIView::setAnimationsEnabled(true);
        root = makeView(CGRectMake(0, 0, 320, 105));
        label = makeView(CGRectMake(110, 10, 200, 20));
        view = makeView(CGRectMake(20, 0, 300, 20));
        other = makeView(CGRectMake(0, 40, 50, 50));
        root->addSubview(label);
        label->addSubview(view);
        root->addSubview(other);
        // Let the layout pass the new views asked for run, so that only the test's work is pending.
        NSRunLoop::mainRunLoop()->runPass();
    }
    void TearDown() override {
        UIView::setAnimationsEnabled(true);
        PlatformTest::TearDown();
    }
    void advanceTo(double seconds) { advance(seconds - now()); }
    // A linear animation of `changes` after `delay`, reporting to `completion`.
    static void animate(double duration, double delay, const std::function<void(BOOL)>& completion,
                        const std::function<void()>& changes = nullptr) {
        UIView::animateWithDuration(duration, delay, UIViewAnimationOptionCurveLinear, changes, completion);
    }
    double shownX() const { return view->presentationFrame().origin.x; }

    static Ptr<UIView> makeView(CGRect frame) { return alloc<UIView>()->initWithFrame(frame); }
    Ptr<UIView> root, label, view, other;
    CompletionLog log;
};

// Freezes a layer's clock where it stands, as a paused label does with its sublabels.
inline void freezeLayer(CALayer& layer) {
    const CFTimeInterval pausedTime = layer.convertTime(CACurrentMediaTime(), nullptr);
    layer.setSpeed(0.0);
    layer.setTimeOffset(pausedTime);
}

// Lets a frozen layer's clock run on from the instant it was frozen.
inline void thawLayer(CALayer& layer) {
    const CFTimeInterval pausedTime = layer.timeOffset();
    layer.setSpeed(1.0);
    layer.setTimeOffset(0.0);
    layer.setBeginTime(0.0);
    layer.setBeginTime(layer.convertTime(CACurrentMediaTime(), nullptr) - pausedTime);
}
