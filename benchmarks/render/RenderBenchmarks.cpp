// The cost of frames of a 320 x 105 point panel at scale 2 (an image with rounded
// corners, a gradient-masked title, three buttons and a slider), next to the floor
// of filling the same 640 x 210 pixels once: a first frame (every backing store
// drawn), the same frame drawn directly as before the stores, an incremental frame
// while only the title moves and one in which the artwork changes, and the floor
// of compositing the title's pixels through a ready fade mask.
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "Foundation/Clock.h"
#include "Foundation/NSRunLoop.h"
#include "UIKit/UIGraphicsHandles.h"
#include "UIKit/UITextMeasurement.h"
#include "UIKit/UIWindow.h"
#include "host/HostSession.h"
#include "render/LayerPainter.h"
#include "render/Renderer.h"
#include "render/Snapshot.h"
#include "support/SampleTree.h"
#include "widget/TrillboxSettings.h"

namespace {

constexpr double kScale = 2;
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 210;

// A frozen instant three seconds into the title's scroll (when `scrolling`), so
// that every frame draws the same presentation (computed afresh each time, as in
// a live frame).
struct ScrollingPanel {
    explicit ScrollingPanel(bool scrolling = true) {
        NSRunLoop::mainRunLoop()->reset();
        NSRunLoop::mainRunLoop()->setClock(clock);
        UITextMeasurement::setCurrent(nullptr);
        tree = sample::makeWidgetTree(scrolling);
        NSRunLoop::mainRunLoop()->advance(3);
    }
    ~ScrollingPanel() { NSRunLoop::mainRunLoop()->reset(); }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    sample::WidgetTree tree;
};

UICairoSurface makeFrameSurface() {
    return UICairoSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kFrameWidth, kFrameHeight));
}

// First frames, as a window draws one into new pixels: every store drawn again and
// the whole target damaged (two targets in turn, each new to the renderer).
class FirstFrames {
public:
    void draw(UIView& root) {
        _renderer.discardStores();
        _even = !_even;
        cairo_surface_t* surface = _surfaces[_even].get();
        auto context = UICairoContextCreate(surface);
        _renderer.drawFrame(context.get(), root, kScale);
        cairo_surface_flush(surface);
        benchmark::ClobberMemory();
    }

private:
    render::Renderer _renderer;
    const UICairoSurface _surfaces[2] = {makeFrameSurface(), makeFrameSurface()};
    bool _even = false;
};

// Every layer draws its content again and the whole panel is composited.
void FullFrameOfPanel(benchmark::State& state) {
    ScrollingPanel panel;
    FirstFrames frames;
    for (auto _ : state) {
        frames.draw(*panel.tree.root);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(FullFrameOfPanel)->Unit(benchmark::kMicrosecond);

// The whole panel painted straight into the frame, layer by layer, as every
// frame was drawn before the backing stores.
void DirectFrameOfPanel(benchmark::State& state) {
    ScrollingPanel panel;
    const auto surface = makeFrameSurface();
    auto context = UICairoContextCreate(surface.get());
    for (auto _ : state) {
        cairo_save(context.get());
        cairo_set_operator(context.get(), CAIRO_OPERATOR_CLEAR);
        cairo_paint(context.get());
        cairo_set_operator(context.get(), CAIRO_OPERATOR_OVER);
        cairo_scale(context.get(), kScale, kScale);
        render::paintLayerTree(context.get(), *panel.tree.root);
        cairo_restore(context.get());
        cairo_surface_flush(surface.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(DirectFrameOfPanel)->Unit(benchmark::kMicrosecond);

// A still panel whose frames are drawn by changes; `change` runs before each frame.
template <class Change> void incrementalFrames(benchmark::State& state, Change change) {
    ScrollingPanel panel(false);
    const auto surface = makeFrameSurface();
    auto context = UICairoContextCreate(surface.get());
    render::Renderer renderer;
    renderer.drawFrame(context.get(), *panel.tree.root, kScale);
    long changedPixels = 0;
    bool even = false;
    for (auto _ : state) {
        even = !even;
        change(panel.tree, even);
        for (const auto& rect : renderer.drawFrame(context.get(), *panel.tree.root, kScale)) {
            changedPixels += rect.width * rect.height;
        }
        cairo_surface_flush(surface.get());
        benchmark::ClobberMemory();
    }
    state.counters["changedPixels"] =
        benchmark::Counter(static_cast<double>(changedPixels), benchmark::Counter::kAvgIterations);
}

// The title steps 1.5 points left and back, as a scroll moves it between frames.
void ScrollingFrame(benchmark::State& state) {
    incrementalFrames(state, [](sample::WidgetTree& tree, bool even) {
        CGRect frame = tree.title->frame();
        frame.origin.x = even ? 10.5 : 12;
        tree.title->setFrame(frame);
    });
}
BENCHMARK(ScrollingFrame)->Unit(benchmark::kMicrosecond);

// The artwork switches between two images, as on a track change.
void ArtworkChangeFrame(benchmark::State& state) {
    const Ptr<UIImage> images[2] = {sample::artworkImage(85, kScale), sample::artworkImage(85, kScale)};
    incrementalFrames(state,
                      [&](sample::WidgetTree& tree, bool even) { tree.artwork->setImage(images[even]); });
}
BENCHMARK(ArtworkChangeFrame)->Unit(benchmark::kMicrosecond);

// The artwork's store drawn again (as after the panel was away long enough for its
// stores to go) with a 600 x 600 picture shown at 85 points: resampled each time
// (0: a new image over the same pixels each time) or once (1: the same image).
void ArtworkRedrawnFromLargePicture(benchmark::State& state) {
    const Ptr<UIImage> picture = sample::artworkImage(300, 2);
    incrementalFrames(state, [&](sample::WidgetTree& tree, bool) {
        tree.artwork->setImage(state.range(0) ? picture : UIImage::imageWithSurface(picture->surface(), 2));
        tree.artwork->setNeedsDisplay();
    });
}
BENCHMARK(ArtworkRedrawnFromLargePicture)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The floor of a scrolling frame: the title strip's pixels cleared and the title's
// stored pixels composited over it through a fade mask made beforehand.
void TitleCompositeBaseline(benchmark::State& state) {
    ScrollingPanel panel(false);
    const UICairoSurface title = render::snapshot(panel.tree.title, kScale);
    const UICairoSurface strip = render::snapshot(panel.tree.titleClip, kScale);
    const int width = cairo_image_surface_get_width(strip.get());
    const int height = cairo_image_surface_get_height(strip.get());
    UICairoSurface mask(cairo_image_surface_create(CAIRO_FORMAT_A8, width, height));
    {
        auto maskContext = UICairoContextCreate(mask.get());
        UICairoPatternPtr fade(cairo_pattern_create_linear(0, 0, width, 0));
        cairo_pattern_add_color_stop_rgba(fade.get(), 0, 0, 0, 0, 0);
        cairo_pattern_add_color_stop_rgba(fade.get(), 0.06, 0, 0, 0, 1);
        cairo_pattern_add_color_stop_rgba(fade.get(), 0.94, 0, 0, 0, 1);
        cairo_pattern_add_color_stop_rgba(fade.get(), 1, 0, 0, 0, 0);
        cairo_set_source(maskContext.get(), fade.get());
        cairo_paint(maskContext.get());
    }
    const auto surface = makeFrameSurface();
    auto context = UICairoContextCreate(surface.get());
    const int left = static_cast<int>(panel.tree.titleClip->frame().origin.x * kScale);
    const int top = static_cast<int>(panel.tree.titleClip->frame().origin.y * kScale);
    for (auto _ : state) {
        cairo_save(context.get());
        cairo_rectangle(context.get(), left, top, width, height);
        cairo_clip(context.get());
        cairo_set_source_rgb(context.get(), 0.13, 0.13, 0.13);
        cairo_paint(context.get());
        cairo_set_source_surface(context.get(), title.get(), left + 24, top);
        cairo_mask_surface(context.get(), mask.get(), left, top);
        cairo_restore(context.get());
        cairo_surface_flush(surface.get());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(TitleCompositeBaseline)->Unit(benchmark::kMicrosecond);

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
    FirstFrames frames;
    for (auto _ : state) {
        frames.draw(*tree.root);
    }
}
BENCHMARK(FrameWithOnePart)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

// The product's own widget on the demo player playing one track with a long title,
// presented and three seconds in, with the settings the CPU script uses (the volume
// slider as the bottom row), laid out at kScale into pixels without alpha, as a
// window's are.
class WidgetOnDemoPlayer {
public:
    WidgetOnDemoPlayer() {
        const std::filesystem::path settings =
            _scratch / "device" / std::filesystem::path(TrillboxPreferencesPath).relative_path();
        std::filesystem::create_directories(settings.parent_path());
        std::ofstream(settings) << "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                   "<key>startView</key><string>volume</string></dict></plist>";
        std::ofstream(_scratch / "long.plist")
            << "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><dict>"
               "<key>title</key><string>An Unreasonably Long Title That Keeps Scrolling Across The "
               "Widget For As Long As It Plays</string><key>artist</key><string>The Benchmarks</string>"
               "<key>duration</key><real>36000</real></dict></array></plist>";
        session.emplace(host::HostOptions{.bundlePath = TRILLBOX_BUNDLE_DIR,
                                          .deviceRoot = (_scratch / "device").string(),
                                          .playlistPath = (_scratch / "long.plist").string(),
                                          .closePresentationsAutomatically = false});
        session->present();
        session->wait(3);
        session->window()->layoutIfNeeded();
    }
    ~WidgetOnDemoPlayer() {
        session.reset();
        std::filesystem::remove_all(_scratch);
    }
    UICairoSurface makeTarget() const {
        const CGSize size = session->widgetSize();
        return UICairoSurface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(size.width * kScale),
                                                         int(size.height * kScale)));
    }

private:
    const std::filesystem::path _scratch =
        std::filesystem::temp_directory_path() / ("trillbox-bench-" + std::to_string(getpid()));

public:
    std::optional<host::HostSession> session;
};

// The widget scrolling its title: one pass of its run loop at 60 frames a second
// and the frame drawn by changes, as the window does.
void WidgetScrollingFrame(benchmark::State& state) {
    WidgetOnDemoPlayer widget;
    const UICairoSurface surface = widget.makeTarget();
    const auto context = UICairoContextCreate(surface.get());
    render::Renderer renderer;
    renderer.drawFrame(context.get(), *widget.session->widgetView(), kScale);
    long changedPixels = 0;
    // /1: between frames, 32 MB are written elsewhere, so that the frame starts
    // with caches as cold as a window's frame finds them 16 ms after the last.
    std::vector<unsigned char> elsewhere(state.range(0) ? 32 << 20 : 0);
    for (auto _ : state) {
        if (!elsewhere.empty()) {
            state.PauseTiming();
            for (std::size_t at = 0; at < elsewhere.size(); at += 64) {
                elsewhere[at] += 1;
            }
            benchmark::ClobberMemory();
            state.ResumeTiming();
        }
        widget.session->wait(1.0 / 60);
        widget.session->window()->layoutIfNeeded();
        for (const auto& rect : renderer.drawFrame(context.get(), *widget.session->widgetView(), kScale)) {
            changedPixels += rect.width * rect.height;
        }
        cairo_surface_flush(surface.get());
    }
    state.counters["changedPixels"] =
        benchmark::Counter(static_cast<double>(changedPixels), benchmark::Counter::kAvgIterations);
}
BENCHMARK(WidgetScrollingFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The widget's first frame: every store drawn again, into a target new to the renderer.
void WidgetFirstFrame(benchmark::State& state) {
    WidgetOnDemoPlayer widget;
    const UICairoSurface surfaces[2] = {widget.makeTarget(), widget.makeTarget()};
    render::Renderer renderer;
    bool even = false;
    for (auto _ : state) {
        renderer.discardStores();
        even = !even;
        const auto context = UICairoContextCreate(surfaces[even].get());
        renderer.drawFrame(context.get(), *widget.session->widgetView(), kScale);
        cairo_surface_flush(surfaces[even].get());
    }
}
BENCHMARK(WidgetFirstFrame)->Unit(benchmark::kMicrosecond);

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

// The sample panel ten seconds in, its scroll over, with one frame drawn.
struct StillPanel {
    StillPanel() {
        NSRunLoop::mainRunLoop()->advance(10);
        renderer.drawFrame(context.get(), *panel.tree.root, kScale);
    }
    ScrollingPanel panel;
    render::Renderer renderer;
    const UICairoSurface surface = makeFrameSurface();
    const UICairoContextPtr context = UICairoContextCreate(surface.get());
};

// A still panel: nothing changed since the last frame, so the answer walks the
// layer tree looking for a running animation and finds none.
void NeedsFrameWhileStill(benchmark::State& state) {
    StillPanel still;
    bool needed = true;
    for (auto _ : state) {
        needed = still.renderer.needsFrame(*still.panel.tree.root);
        benchmark::DoNotOptimize(needed);
    }
    state.counters["needed"] = needed;
}
BENCHMARK(NeedsFrameWhileStill);

// A frame asked for while nothing changed on screen (a title that has not yet moved
// a whole pixel): the walk over the tree finds no damage and nothing is composited.
void StillFrameWalk(benchmark::State& state) {
    StillPanel still;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            still.renderer.drawFrame(still.context.get(), *still.panel.tree.root, kScale));
    }
}
BENCHMARK(StillFrameWalk);

} // namespace
