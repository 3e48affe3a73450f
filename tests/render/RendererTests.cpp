// Frames of a window: whether anything changed since the last one, and drawing into
// a front-end's own surface.
#include "UIKit/UIGraphicsHandles.h"
#include "UIKit/UIWindow.h"
#include "render/RenderTestSupport.h"
#include "render/Renderer.h"

namespace {

class RendererTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        _window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 40, 20));
        _window->setBackgroundColor(UIColor::whiteColor());
        _box = makeView(CGRectMake(0, 5, 10, 10), UIColor::colorWithRed(1, 0, 0, 1), _window);
    }
    void drawFrame() { _renderer.renderFrame(*_window, 1); }
    bool needsFrame() const { return _renderer.needsFrame(*_window); }
    void moveBox(double delay) {
        UIView::animateWithDuration(
            1, delay, UIViewAnimationOptionCurveLinear, [this] { _box->setFrame(CGRectMake(30, 5, 10, 10)); },
            nullptr);
    }

    render::Renderer _renderer;
    Ptr<UIWindow> _window;
    Ptr<UIView> _box;
};

TEST_F(RendererTest, SleepsUntilSomethingVisibleChanges) {
    EXPECT_TRUE(needsFrame()) << "nothing drawn yet";
    drawFrame();
    EXPECT_FALSE(needsFrame()) << "drawing itself changes nothing";
    advance(5);
    EXPECT_FALSE(needsFrame());
    _box->setBackgroundColor(UIColor::blackColor());
    EXPECT_TRUE(needsFrame());
    drawFrame();
    _box->setHidden(true);
    EXPECT_TRUE(needsFrame());
}

TEST_F(RendererTest, WakesForAnimationAndDrawsItsEndOnce) {
    drawFrame();
    moveBox(0.5);
    drawFrame();
    // Nothing new during the delay; running, and once more when over to draw the end.
    for (const auto [step, wanted] : {std::pair{0.25, false}, {0.75, true}, {1.0, true}}) {
        advance(step);
        EXPECT_EQ(needsFrame(), wanted) << step;
        drawFrame();
    }
    EXPECT_FALSE(needsFrame());
}

TEST_F(RendererTest, FrozenAnimationDoesNotKeepTheWindowAwake) {
    moveBox(0);
    advance(0.5);
    _box->layer()->setSpeed(0);
    drawFrame();
    drawFrame();
    advance(2);
    EXPECT_FALSE(needsFrame());
    _box->layer()->setSpeed(1);
    EXPECT_TRUE(needsFrame());
}

TEST_F(RendererTest, DrawFrameClearsTheTargetAndLeavesTheContextAsItWas) {
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 40));
    auto context = UICairoContextCreate(surface.get());
    cairo_set_source_rgb(context.get(), 0, 1, 0);
    cairo_paint(context.get());
    _window->setBackgroundColor(nullptr);
    _renderer.drawFrame(context.get(), *_window, 2);
    EXPECT_TRUE(samePixels(surface, _renderer.renderFrame(*_window, 2))) << "the old frame is gone";
    cairo_matrix_t matrix;
    cairo_get_matrix(context.get(), &matrix);
    EXPECT_EQ(matrix.xx, 1);
    EXPECT_EQ(cairo_get_operator(context.get()), CAIRO_OPERATOR_OVER);
}

} // namespace
