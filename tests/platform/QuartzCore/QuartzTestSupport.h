#pragma once

#include <vector>

#include "QuartzCore/CALayer.h"
#include "support/TestSupport.h"
#include "UIKit/UIView.h"

// A platform fixture that also leaves view animations switched on.
class QuartzTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        UIView::setAnimationsEnabled(true);
    }
    void TearDown() override {
        UIView::setAnimationsEnabled(true);
        PlatformTest::TearDown();
    }
    void advanceTo(double seconds) { advance(seconds - now()); }

    static Ptr<UIView> makeView(CGRect frame) { return alloc<UIView>()->initWithFrame(frame); }
};

// What a completion reported and when.
struct CompletionLog {
    struct Entry {
        bool finished;
        double time;
    };
    std::vector<Entry> entries;

    std::function<void(BOOL)> recorder() {
        return [this](BOOL finished) { entries.push_back({finished, CACurrentMediaTime()}); };
    }
    std::size_t count() const { return entries.size(); }
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
    const CFTimeInterval sincePause = layer.convertTime(CACurrentMediaTime(), nullptr) - pausedTime;
    layer.setBeginTime(sincePause);
}
