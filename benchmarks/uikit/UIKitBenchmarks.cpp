// The costs a scrolling title pays on each layout: measuring its text with Pango
// (done several times per layout), and the view work around it: a frame change
// that reaches an autoresized subtree, a hit test through the widget's tree.
#include <benchmark/benchmark.h>
#include <pango/pangocairo.h>

#include "Foundation/NSRunLoop.h"
#include "UIKit/NSStringDrawing.h"
#include "UIKit/UIFont.h"
#include "UIKit/UILabel.h"
#include "UIKit/UITextMeasurement.h"
#include "UIKit/UIWindow.h"

namespace {

void MeasureTitleLineWithPango(benchmark::State& state) {
    UITextMeasurement::setCurrent(nullptr);
    const auto font = UIFont::systemFontOfSize(16);
    const auto text = NSStr("A Rather Long Song Title (Live at the Hall) - The Band With A Long Name");
    double width = 0;
    for (auto _ : state) {
        width = sizeWithFont(text, font, CGSizeMake(CGFLOAT_MAX, CGFLOAT_MAX), NSLineBreakByClipping).width;
        benchmark::DoNotOptimize(width);
    }
    state.counters["width"] = width;
}
BENCHMARK(MeasureTitleLineWithPango);

void LabelIntrinsicSizeWithPango(benchmark::State& state) {
    UITextMeasurement::setCurrent(nullptr);
    auto label = alloc<UILabel>()->initWithFrame(CGRectMake(0, 0, 200, 20));
    label->setFont(UIFont::systemFontOfSize(16));
    label->setText(NSStr("Song Title - Artist"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(label->intrinsicContentSize());
    }
}
BENCHMARK(LabelIntrinsicSizeWithPango);

// A window with eleven controls, like the widget's panel.
Ptr<UIWindow> makeWidgetTree() {
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 105));
    auto root = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 105));
    root->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    window->addSubview(root);
    for (int index = 0; index < 11; ++index) {
        auto control =
            alloc<UIView>()->initWithFrame(CGRectMake(10 + index * 28, 10 + (index % 3) * 30, 25, 20));
        control->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin |
                                     UIViewAutoresizingFlexibleRightMargin);
        root->addSubview(control);
    }
    return window;
}

void ResizeWindowWithAutoresizedSubtree(benchmark::State& state) {
    NSRunLoop::mainRunLoop()->reset();
    NSRunLoop::mainRunLoop()->setClock(std::make_shared<ManualClock>());
    auto window = makeWidgetTree();
    bool wide = false;
    for (auto _ : state) {
        wide = !wide;
        window->setFrame(CGRectMake(0, 0, wide ? 480 : 320, 105));
        NSRunLoop::mainRunLoop()->advance(0);
    }
    NSRunLoop::mainRunLoop()->reset();
}
BENCHMARK(ResizeWindowWithAutoresizedSubtree);

void HitTestThroughWidgetTree(benchmark::State& state) {
    auto window = makeWidgetTree();
    for (auto _ : state) {
        benchmark::DoNotOptimize(window->hitTest(CGPointMake(150, 55), nullptr));
    }
}
BENCHMARK(HitTestThroughWidgetTree);

} // namespace
