#include <malloc.h>

#include <tuple>

#include "marquee/MarqueeTestSupport.h"
#include "render/Renderer.h"
#include "render/Snapshot.h"

namespace {

using ScrollEngineTest = MarqueeTest;

// A 300-point text in a 200-point label, 50 points a second, a 1 s start delay.
// Back and forth: away over 2.8 s, a delay, home over 2.8 s, a delay: 7.6 s.
// Continuous left: rest 1 s, then 13.6 s for 360 points; the copy follows one
// text-and-gap (300 + two fades of 20 + buffer 20) behind, moving alike.
TEST_F(ScrollEngineTest, EachTypeMovesItsLegsAfterTheDelayAndRepeatsEveryPeriod) {
    const struct {
        NSUInteger type;
        std::initializer_list<Step> steps;
    } cases[]{
        {MarqueeTypeLeftAndBack,
         {{0.9, 20}, {1.5, -50}, {1.4, -120}, {0.9, -120}, {1.5, -50}, {1.4, 20}, {2.4, -50}, {7.6, -50}}},
        {MarqueeTypeRightAndBack, {{0.9, -120}, {1.5, -50}, {1.4, 20}, {6.2, -50}}},
        {7, {{0.9, 20}, {1.5, -50}, {1.4, -120}}}, // an unknown type goes back and forth
        {MarqueeTypeContinuousLeft,
         {{0.5, 20, 380}, {7.3, -160, 200}, {6.8 - 1e-6, -340, 20}, {2e-6, 20, 380}, {7.8, -160, 200}}},
        {MarqueeTypeContinuousRight, {{3.4, 60, -300}, {2.4 - 1e-6, 240, -120}, {2e-6, -120, -480}}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.type);
        auto label = showLabel(test.type);
        EXPECT_EQ(copyOf(label) != nullptr,
                  test.type == MarqueeTypeContinuousLeft || test.type == MarqueeTypeContinuousRight);
        expectTimeline(label, test.steps);
        label->removeFromSuperview();
    }
}

// Chains that would take no time, and a label outside a window, never start.
TEST_F(ScrollEngineTest, ChainsThatWouldTakeNoTimeOrShowNothingDoNotStart) {
    const auto offscreen = alloc<UIViewController>()->init();
    const struct {
        NSUInteger type;
        std::function<void(MarqueeLabel&)> setup;
        Ptr<UIView> parent;
    } cases[]{
        {MarqueeTypeContinuousLeft,
         [](MarqueeLabel& l) { l.setAnimationDelay(0), l.setLengthOfScroll(1), l.setLengthOfScroll(0); }},
        {MarqueeTypeLeftAndBack, [](MarqueeLabel& l) { l.setAnimationDelay(-1), l.setRate(-50); }},
        {MarqueeTypeContinuousRight, [](MarqueeLabel& l) { l.setAnimationDelay(std::nan("")); }},
        {MarqueeTypeContinuousLeft, {}, offscreen->view()},
    };
    std::vector<Ptr<MarqueeLabel>> labels;
    for (const auto& test : cases) {
        labels.push_back(showLabel(test.type, test.setup, test.parent));
    }
    advance(10); // returns: nothing is rescheduled at the same instant for ever
    for (const auto& label : labels) {
        EXPECT_FALSE(label->subLabel()->layer()->hasRunningAnimations());
        EXPECT_DOUBLE_EQ(shownX(label->subLabel()), label->homeLabelFrame().origin.x);
    }
    EXPECT_EQ(NSRunLoop::mainRunLoop()->pendingTaskCount(), 0u);
}

// Drawn as the window draws: a frame while the renderer has news, else sleep until the next
// task. A pause counts from the frame after the one that shows where the last cycle ended.
TEST_F(ScrollEngineTest, FramesAreDrawnOnlyWhileTheTextMoves) {
    std::tuple<double, double, bool, int> phases[]{
        {0.02, 1, false, 0}, {1, 14.6, true, 0}, {14.62, 15.6, false, 0}, {15.6, 20, true, 0}};
    auto label = showLabel(MarqueeTypeContinuousLeft);
    render::Renderer renderer;
    while (now() < 20) {
        if (!renderer.needsFrame(*label)) {
            const auto next = NSRunLoop::mainRunLoop()->nextDeadline().value_or(NanosecondsFromSeconds(20));
            advance(std::min(SecondsFromNanoseconds(next), 20.0) - now());
            continue;
        }
        renderer.renderFrame(*label, 1);
        for (auto& [from, to, moving, frames] : phases) {
            frames += now() > from && now() < to;
        }
        advance(1.0 / 60);
    }
    for (const auto& [from, to, moving, frames] : phases) {
        EXPECT_EQ(frames > 0, moving) << "from " << from;
    }
}

// A long Arabic and Hebrew title, measured and drawn with the program's fonts,
// leaves home after the delay and draws all the way.
TEST_F(ScrollEngineTest, RightToLeftTitleScrollsAndDraws) {
    UITextMeasurement::setCurrent(nullptr);
    auto label = makeLabel(MarqueeTypeContinuousLeft);
    label->setText(NSStr("أغنية المساء الطويلة - فرقة النيل الموسيقية - שיר הלילה הארוך"));
    _controller->view()->addSubview(label);
    const auto blank =
        render::encodePNG(render::snapshot(alloc<UIView>()->initWithFrame(label->bounds()), 2));
    const auto before = render::encodePNG(render::snapshot(label, 2));
    advance(3);
    EXPECT_LT(shownX(label->subLabel()), 0);
    const auto after = render::encodePNG(render::snapshot(label, 2));
    EXPECT_NE(before, blank);
    EXPECT_NE(after, blank);
    EXPECT_NE(after, before);
}

// A day of the widget's title line: each cycle starts exactly one period after the
// last, and nothing accumulates.
TEST_F(ScrollEngineTest, ContinuousScrollRunsForADayWithFlatMemory) {
    auto label = showLabel(MarqueeTypeContinuousLeft);
    const double period = 1.0 + 13.6;
    auto* runLoop = NSRunLoop::mainRunLoop();
    std::size_t baselineBytes = 0, baselineTasks = 0, baselineRegistrations = 0;
    long cycles = 0;
    for (; (cycles + 1) * period <= 24 * 60 * 60; ++cycles) {
        const double cycleStart = cycles * period;
        runLoop->advanceTo(NanosecondsFromSeconds(cycleStart + 1.0 - 1e-6));
        ASSERT_DOUBLE_EQ(shownX(label->subLabel()), 20) << "cycle " << cycles;
        runLoop->advanceTo(NanosecondsFromSeconds(cycleStart + 1.0 + 6.8));
        ASSERT_NEAR(shownX(label->subLabel()), -160, 1e-6) << "cycle " << cycles;
        ASSERT_NEAR(shownX(copyOf(label)), 200, 1e-6) << "cycle " << cycles;
        if (cycles == 100) {
            baselineBytes = mallinfo2().uordblks;
            baselineTasks = runLoop->pendingTaskCount();
            baselineRegistrations = NSNotificationCenter::defaultCenter()->registrationCount();
        }
    }
    EXPECT_EQ(label->subviews().size(), 2u);
    EXPECT_EQ(runLoop->pendingTaskCount(), baselineTasks);
    EXPECT_EQ(NSNotificationCenter::defaultCenter()->registrationCount(), baselineRegistrations);
    EXPECT_LE(label->subLabel()->layer()->animationKeys().size(), 1u);
    // Heap in use after a day against after a hundred cycles: allocator noise only.
    EXPECT_LT(mallinfo2().uordblks, baselineBytes + 64 * 1024);
}

} // namespace
