// The window's frames drawn by changes only: the real widget on the demo player,
// drawn at 60 frames a second on the manual clock, must look every 30th frame as
// it does composited whole from the same backing stores at the same instant.
#include <cstdlib>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "UIKit/UIGraphicsHandles.h"
#include "host/DemoPlayer.h"
#include "host/HostPresenter.h"
#include "host/HostSession.h"
#include "render/Renderer.h"
#include "support/TestPaths.h"
#include "support/TestSupport.h"

namespace {

constexpr double kFrameScale = 2;

class IncrementalFrameTest : public PlatformTest {
protected:
    IncrementalFrameTest() : _session(sessionOptions()) {}

    host::HostOptions sessionOptions() {
        return {.bundlePath = TRILLBOX_BUNDLE_DIR,
                .deviceRoot = deviceRoot().path(),
                .closePresentationsAutomatically = false};
    }

    UICairoSurface makeTarget() {
        const CGSize size = _session.widgetSize();
        return UICairoSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(size.width * kFrameScale),
                                                         int(size.height * kFrameScale)));
    }

    // The largest channel difference between the two targets.
    static int largestDifference(const UICairoSurface& a, const UICairoSurface& b) {
        const int stride = cairo_image_surface_get_stride(a.get());
        const unsigned char* first = cairo_image_surface_get_data(a.get());
        const unsigned char* second = cairo_image_surface_get_data(b.get());
        int largest = 0;
        for (int index = 0; index < stride * cairo_image_surface_get_height(a.get()); ++index) {
            largest = std::max(largest, std::abs(int(first[index]) - int(second[index])));
        }
        return largest;
    }

    // Draws 600 frames (10 s) by changes, running `actions` before the frames they
    // are keyed by; every 30th frame is checked against a whole composite. Returns
    // the largest changed area of a frame before the first action, in pixels.
    int drawFrames(const std::map<int, std::function<void()>>& actions) {
        const UICairoSurface incremental = makeTarget();
        const UICairoSurface whole = makeTarget();
        const auto frameContext = UICairoContextCreate(incremental.get());
        const auto wholeContext = UICairoContextCreate(whole.get());
        int largestQuietDamage = 0;
        for (int frame = 0; frame < 600; ++frame) {
            const auto action = actions.find(frame);
            if (action != actions.end()) {
                action->second();
            }
            _session.wait(1.0 / 60);
            _session.window()->layoutIfNeeded();
            const auto root = _session.widgetView();
            int damaged = 0;
            for (const auto& rect : _renderer.drawFrame(frameContext.get(), *root, kFrameScale)) {
                damaged += rect.width * rect.height;
            }
            if (frame > 0 && frame < actions.begin()->first) {
                largestQuietDamage = std::max(largestQuietDamage, damaged);
            }
            if (frame % 30 == 29) {
                _renderer.drawWholeFrame(wholeContext.get(), *root, kFrameScale);
                cairo_surface_flush(incremental.get());
                cairo_surface_flush(whole.get());
                EXPECT_LE(largestDifference(incremental, whole), 1) << "frame " << frame;
            }
        }
        EXPECT_GT(_renderer.storeCount(), 3U);
        return largestQuietDamage;
    }

    host::HostSession _session;
    render::Renderer _renderer;
};

TEST_F(IncrementalFrameTest, ScrollingRedrawsOnlyTheTitleLineAndEveryChangeMidScrollDrawsLikeWholeFrames) {
    _session.present();
    auto& presenter = _session.presenter();
    const CGPoint artwork = CGPointMake(52, 52);
    const int damaged = drawFrames({
        {240, [&] { _session.doubleTap(artwork); }},
        {300, [&] { _session.tap(CGPointMake(210, 52)); }},
        {330, [&] { _session.longPress(artwork, 0.7); }},
        {380,
         [&] {
             EXPECT_TRUE(presenter.visibleController());
             presenter.closePresentedController();
         }},
        {420, [&] { _session.mediaBackEnd().demoPlayer()->play(); }},
        {480, [&] { _session.mediaBackEnd().demoPlayer()->skip(1); }},
        {510, [&] { _session.doubleTap(artwork); }},
        {580, [&] { _session.mediaBackEnd().demoPlayer()->skip(1); }},
    });
    EXPECT_FALSE(presenter.visibleController());
    // Before the first action: the title line and the time row's second, far less than the widget.
    const CGSize size = _session.widgetSize();
    EXPECT_GT(damaged, 0);
    EXPECT_LT(damaged, int(size.width * size.height * kFrameScale * kFrameScale) / 3);
}

} // namespace
