// What a scrolling title pays for its text on every layout pass and every redraw:
// the scrolling label measures its inner label (as a string and through the label)
// and the inner label draws its text, at scale 2. Nothing about the text changes
// between iterations.
#include <cmath>

#include <benchmark/benchmark.h>

#include "UIKit/NSStringDrawing.h"
#include "UIKit/UIFont.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIGraphicsHandles.h"
#include "UIKit/UILabel.h"
#include "UIKit/UITextMeasurement.h"

namespace {

const char* const kTitle = "A Rather Long Song Title (Live at the Hall) - The Band With A Long Name";

Ptr<UILabel> makeTitleLabel() {
    UITextMeasurement::setCurrent(nullptr);
    auto label = alloc<UILabel>()->initWithFrame(CGRectMake(0, 0, 200, 20));
    label->setFont(UIFont::systemFontOfSize(16));
    label->setText(NSStr(kTitle));
    // As wide as its text, as a scrolling label sizes its inner label.
    const CGSize size = label->sizeThatFits(CGSizeZero);
    label->setFrame(CGRectMake(0, 0, std::ceil(size.width), 20));
    return label;
}

void MeasureTitleLabel(benchmark::State& state) {
    const auto label = makeTitleLabel();
    const auto text = label->text();
    const auto font = label->font();
    double width = 0;
    for (auto _ : state) {
        width = sizeWithFont(text, font, CGSizeMake(CGFLOAT_MAX, CGFLOAT_MAX), NSLineBreakByClipping).width;
        benchmark::DoNotOptimize(label->sizeThatFits(CGSizeZero));
        benchmark::DoNotOptimize(label->intrinsicContentSize());
        benchmark::DoNotOptimize(label->textRectForBounds(label->bounds(), 1));
    }
    state.counters["width"] = width;
}
BENCHMARK(MeasureTitleLabel);

void DrawTitleLabel(benchmark::State& state) {
    const auto label = makeTitleLabel();
    const CGRect bounds = label->bounds();
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
                                                      static_cast<int>(bounds.size.width * 2) + 2,
                                                      static_cast<int>(bounds.size.height * 2) + 2));
    const auto context = UICairoContextCreate(surface.get());
    cairo_scale(context.get(), 2, 2);
    for (auto _ : state) {
        UIGraphicsPushContext(context.get());
        label->drawRect(bounds);
        UIGraphicsPopContext();
    }
    cairo_surface_flush(surface.get());
    state.counters["width"] = bounds.size.width;
}
BENCHMARK(DrawTitleLabel);

} // namespace
