// The cost of one frame of a 320 x 105 point panel at scale 2 (an image with
// rounded corners, a gradient-masked title in mid-scroll, three buttons and a
// slider), next to the floor of filling the same 640 x 210 pixels once, and the
// cost of asking whether a frame is needed at all.
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

#include "Foundation/Clock.h"
#include "Foundation/NSRunLoop.h"
#include "UIKit/UIGraphicsHandles.h"
#include "UIKit/UITextMeasurement.h"
#include "render/Renderer.h"
#include "render/Snapshot.h"
#include "support/SampleTree.h"

namespace {

constexpr double kScale = 2;
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 210;

// A frozen instant three seconds into the title's scroll, so that every frame
// draws the same presentation (computed afresh each time, as in a live frame).
struct ScrollingPanel {
    ScrollingPanel() {
        NSRunLoop::mainRunLoop()->reset();
        NSRunLoop::mainRunLoop()->setClock(clock);
        UITextMeasurement::setCurrent(nullptr);
        tree = sample::makeWidgetTree(true);
        NSRunLoop::mainRunLoop()->advance(3);
    }
    ~ScrollingPanel() { NSRunLoop::mainRunLoop()->reset(); }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    sample::WidgetTree tree;
};

UICairoSurface makeFrameSurface() {
    return UICairoSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kFrameWidth, kFrameHeight));
}

void FullFrameOfPanel(benchmark::State& state) {
    ScrollingPanel panel;
    const auto surface = makeFrameSurface();
    auto context = UICairoContextCreate(surface.get());
    render::Renderer renderer;
    for (auto _ : state) {
        renderer.drawFrame(context.get(), *panel.tree.root, kScale);
        cairo_surface_flush(surface.get());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FullFrameOfPanel)->Unit(benchmark::kMicrosecond);

// The same frame with only one part of the panel shown over the background, to
// see where a frame's time goes: 0 artwork, 1 title, 2 buttons, 3 slider, 4 none.
void FrameWithOnePart(benchmark::State& state) {
    ScrollingPanel panel;
    auto& tree = panel.tree;
    const std::vector<std::vector<Ptr<UIView>>> parts = {{tree.artwork},
                                                         {tree.titleClip},
                                                         {tree.buttons[0], tree.buttons[1], tree.buttons[2]},
                                                         {tree.slider},
                                                         {}};
    for (const auto& part : parts) {
        for (const auto& view : part) {
            view->setHidden(true);
        }
    }
    for (const auto& view : parts[static_cast<std::size_t>(state.range(0))]) {
        view->setHidden(false);
    }
    const auto surface = makeFrameSurface();
    auto context = UICairoContextCreate(surface.get());
    render::Renderer renderer;
    for (auto _ : state) {
        renderer.drawFrame(context.get(), *tree.root, kScale);
        cairo_surface_flush(surface.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(FrameWithOnePart)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

void FillBaseline(benchmark::State& state) {
    const auto surface = makeFrameSurface();
    auto context = UICairoContextCreate(surface.get());
    for (auto _ : state) {
        cairo_set_source_rgb(context.get(), 0.13, 0.13, 0.13);
        cairo_paint(context.get());
        cairo_surface_flush(surface.get());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FillBaseline)->Unit(benchmark::kMicrosecond);

void SnapshotAndEncodePNG(benchmark::State& state) {
    ScrollingPanel panel;
    for (auto _ : state) {
        benchmark::DoNotOptimize(render::encodePNG(render::snapshot(panel.tree.root, kScale)));
    }
}
BENCHMARK(SnapshotAndEncodePNG)->Unit(benchmark::kMicrosecond);

// A still panel: nothing changed since the last frame, so the answer walks the
// layer tree looking for a running animation and finds none.
void NeedsFrameWhileStill(benchmark::State& state) {
    ScrollingPanel panel;
    NSRunLoop::mainRunLoop()->advance(10);
    render::Renderer renderer;
    const auto surface = makeFrameSurface();
    auto context = UICairoContextCreate(surface.get());
    renderer.drawFrame(context.get(), *panel.tree.root, kScale);
    bool needed = true;
    for (auto _ : state) {
        needed = renderer.needsFrame(*panel.tree.root);
        benchmark::DoNotOptimize(needed);
    }
    state.counters["needed"] = needed;
}
BENCHMARK(NeedsFrameWhileStill);

} // namespace
