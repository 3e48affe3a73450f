// Frames of a window: whether anything changed since the last one, and drawing
// into a front-end's own surface.
#include "QuartzCore/CAAnimation.h"
#include "RenderTestSupport.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIWindow.h"
#include "render/CairoHandles.h"
#include "render/Renderer.h"

namespace {

class RendererTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        _window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 40, 20));
        _window->setBackgroundColor(UIColor::whiteColor());
        _box = alloc<UIView>()->initWithFrame(CGRectMake(0, 5, 10, 10));
        _box->setBackgroundColor(UIColor::colorWithRed(1, 0, 0, 1));
        _window->addSubview(_box);
    }
    void drawFrame() { _renderer.renderFrame(*_window, 1); }

    render::Renderer _renderer;
    Ptr<UIWindow> _window;
    Ptr<UIView> _box;
};

TEST_F(RendererTest, SleepsUntilSomethingVisibleChanges) {
    EXPECT_TRUE(_renderer.needsFrame(*_window)) << "nothing drawn yet";
    drawFrame();
    EXPECT_FALSE(_renderer.needsFrame(*_window)) << "drawing itself changes nothing";
    advance(5);
    EXPECT_FALSE(_renderer.needsFrame(*_window));

    _box->setBackgroundColor(UIColor::blackColor());
    EXPECT_TRUE(_renderer.needsFrame(*_window));
    drawFrame();
    EXPECT_FALSE(_renderer.needsFrame(*_window));
    _box->setHidden(true);
    EXPECT_TRUE(_renderer.needsFrame(*_window));
}

TEST_F(RendererTest, WakesForAnimationAndDrawsItsEndOnce) {
    drawFrame();
    UIView::animateWithDuration(
        1, 0.5, UIViewAnimationOptionCurveLinear, [&] { _box->setFrame(CGRectMake(30, 5, 10, 10)); },
        nullptr);
    drawFrame();
    // During the delay the old frame shows, but the animation is under way.
    advance(0.25);
    EXPECT_TRUE(_renderer.needsFrame(*_window));
    drawFrame();
    advance(0.75);
    EXPECT_TRUE(_renderer.needsFrame(*_window));
    drawFrame();
    advance(1);
    // Over now: one more frame shows the final state, then the window sleeps.
    EXPECT_TRUE(_renderer.needsFrame(*_window));
    const auto final = _renderer.renderFrame(*_window, 1);
    EXPECT_EQ(pixelAt(final, 35, 10).green, 0);
    EXPECT_FALSE(_renderer.needsFrame(*_window));
}

TEST_F(RendererTest, FrozenAnimationDoesNotKeepTheWindowAwake) {
    UIView::animateWithDuration(
        1, 0, UIViewAnimationOptionCurveLinear, [&] { _box->setFrame(CGRectMake(30, 5, 10, 10)); }, nullptr);
    advance(0.5);
    _box->layer()->setSpeed(0);
    drawFrame();
    drawFrame();
    EXPECT_FALSE(_renderer.needsFrame(*_window));
    advance(2);
    EXPECT_FALSE(_renderer.needsFrame(*_window));
    _box->layer()->setSpeed(1);
    EXPECT_TRUE(_renderer.needsFrame(*_window));
}

TEST_F(RendererTest, DrawFrameClearsTheTargetAndLeavesTheContextAsItWas) {
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 40));
    auto context = render::makeContext(surface.get());
    cairo_set_source_rgb(context.get(), 0, 1, 0);
    cairo_paint(context.get());
    _window->setBackgroundColor(nullptr);
    _renderer.drawFrame(context.get(), *_window, 2);
    EXPECT_EQ(pixelAt(surface, 70, 5).alpha, 0) << "the old frame is gone";
    EXPECT_EQ(pixelAt(surface, 10, 20).red, 255);
    cairo_matrix_t matrix;
    cairo_get_matrix(context.get(), &matrix);
    EXPECT_EQ(matrix.xx, 1);
    EXPECT_EQ(cairo_get_operator(context.get()), CAIRO_OPERATOR_OVER);
    EXPECT_TRUE(samePixels(surface, _renderer.renderFrame(*_window, 2)));
}

} // namespace
