// Frames of a window: whether anything changed since the last one, and drawing into
// a front-end's own surface.
#include <functional>
#include <utility>
#include <vector>

#include "Foundation/NSNumber.h"
#include "QuartzCore/CAGradientLayer.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIGraphicsHandles.h"
#include "UIKit/UIWindow.h"
#include "render/RenderTestSupport.h"
#include "render/Renderer.h"
#include "support/SampleTree.h"

namespace {

// Counts its drawing, so that a test sees when a backing store is drawn again.
class CountingView : public UIView {
public:
    void drawRect(CGRect rect) override {
        ++draws;
        cairo_rectangle(UIGraphicsGetCurrentContext(), 1, 1, 2, 2);
        cairo_fill(UIGraphicsGetCurrentContext());
    }
    int draws = 0;
};

class RendererTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        makeWindow();
    }
    void makeWindow() {
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
    for (const auto& [step, wanted] : {std::pair{0.25, false}, {0.75, true}, {1.0, true}}) {
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

TEST_F(RendererTest, BackingStoresDrawOnlyWhenContentChangesAndGoWithTheirLayers) {
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 40));
    auto context = UICairoContextCreate(surface.get());
    auto view = alloc<CountingView>();
    view->initWithFrame(CGRectMake(2, 2, 8, 8));
    _window->addSubview(view);
    // A plain colour (the box) is filled where it shows, without a store.
    Ptr<UIView> other = alloc<CountingView>()->initWithFrame(CGRectMake(30, 2, 8, 8));
    _window->addSubview(other);
    auto frame = [&] { return _renderer.drawFrame(context.get(), *_window, 2); };
    EXPECT_EQ(frame(), (std::vector<render::PixelRect>{{0, 0, 80, 40}})) << "a first frame is whole";
    EXPECT_TRUE(frame().empty()) << "nothing changed";
    // Moving composites the stored pixels, and changes only the rows they fill
    // (its square's: 2 of 8 points), from where it was and where it is, whole pixels.
    view->setFrame(CGRectMake(12.3, 2, 8, 8));
    EXPECT_EQ(frame(), (std::vector<render::PixelRect>{{4, 6, 16, 4}, {25, 6, 16, 4}}));
    // Fading composites them too; new content and a new size draw.
    const std::vector<std::pair<std::function<void()>, int>> steps = {
        {[&] { view->setAlpha(0.5); }, 1},
        {[&] { view->setNeedsDisplay(); }, 2},
        {[&] { view->setFrame(CGRectMake(12, 2, 9, 8)); }, 3},
    };
    for (const auto& [change, draws] : steps) {
        change();
        EXPECT_FALSE(frame().empty()) << draws;
        EXPECT_EQ(view->draws, draws);
    }
    const std::size_t stores = _renderer.storeCount();
    view->setHidden(true);
    for (std::uint64_t count = 0; count <= render::Renderer::kFramesBeforeDroppingAStore; ++count) {
        frame();
    }
    EXPECT_EQ(_renderer.storeCount(), stores - 1) << "a store unseen for a while goes";
    other->removeFromSuperview();
    other = nullptr;
    frame();
    EXPECT_EQ(_renderer.storeCount(), stores - 2) << "a store goes with its layer";
    view->setHidden(false);
    view->setAlpha(1);
    view->setFrame(CGRectMake(0, 10, 9000, 8)); // too wide to store: drawn straight into the frame
    frame();
    const unsigned char* row =
        cairo_image_surface_get_data(surface.get()) + 23 * cairo_image_surface_get_stride(surface.get());
    EXPECT_EQ(row[3 * 4], 0) << "black on white";
}

// A title's copy waiting beyond the edge of its fading strip is drawn once it comes in.
TEST_F(RendererTest, LeafBeyondItsFadingStripIsDrawnWhenItComesIn) {
    UICairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 40));
    auto context = UICairoContextCreate(surface.get());
    auto strip = makeView(CGRectMake(0, 0, 20, 20), nullptr, _window);
    strip->setClipsToBounds(true);
    auto fade = CAGradientLayer::layer();
    fade->setFrame(strip->bounds());
    fade->setColors(
        NSArray::arrayWithObjects({UIColor::clearColor()->CGColor(), UIColor::blackColor()->CGColor()}));
    strip->layer()->setMask(fade);
    auto copy = alloc<CountingView>();
    copy->initWithFrame(CGRectMake(25, 2, 8, 8));
    strip->addSubview(copy);
    _renderer.drawFrame(context.get(), *_window, 2);
    EXPECT_EQ(copy->draws, 0);
    copy->setFrame(CGRectMake(15, 2, 8, 8));
    _renderer.drawFrame(context.get(), *_window, 2);
    EXPECT_EQ(copy->draws, 1);
}

// Frames drawn by changes into a target that held other pixels look as the tree
// does over the backdrop: whether or not the root's store covers what changed, with
// the stores' memory used again after discarding them, and whether a mask's
// sublayers are composited one by one (past or through its fade) or together.
TEST_F(RendererTest, FramesByChangesMatchTheTreeOverItsBackdrop) {
    const auto clear = UIColor::clearColor()->CGColor();
    const auto black = UIColor::blackColor()->CGColor();
    const auto gradient = [&](CGRect frame, CGPoint start, CGPoint end) {
        auto layer = CAGradientLayer::layer();
        layer->setFrame(frame);
        layer->setStartPoint(start);
        layer->setEndPoint(end);
        layer->setColors(NSArray::arrayWithObjects({clear, black, black, clear}));
        return layer;
    };
    const auto maskedPair = [&](double secondX, bool vertical = false) {
        auto strip = makeView(CGRectMake(12, 0, 28, 20), nullptr, _window);
        auto fade = gradient(CGRectMake(0, 0, 28, 20), CGPointMake(vertical ? 0.5 : 0, vertical ? 0 : 0.5),
                             CGPointMake(vertical ? 0.5 : 1, vertical ? 1 : 0.5));
        fade->setLocations(
            NSArray::arrayWithObjects({NSNumber::numberWithDouble(0), NSNumber::numberWithDouble(0.3),
                                       NSNumber::numberWithDouble(0.7), NSNumber::numberWithDouble(1)}));
        strip->layer()->setMask(fade);
        makeView(CGRectMake(0, 2, 8, 8), UIColor::colorWithRed(1, 0, 0, 0.5), strip);
        makeView(CGRectMake(secondX, 2, 8, 8), UIColor::colorWithRed(0, 0, 1, 0.5), strip);
    };
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"opaque root", [] {}},
        {"rounded root", [this] { _window->layer()->setCornerRadius(6); }},
        {"translucent root", [this] { _window->setBackgroundColor(UIColor::colorWithWhite(1, 0.5)); }},
        {"masked views apart", [&] { maskedPair(12); }},
        {"masked views overlapping", [&] { maskedPair(4); }},
        {"masked views under a vertical fade", [&] { maskedPair(12, true); }},
        {"gradients along each axis, across and off whole pixels",
         [&] {
             const CGPoint ends[][2] = {{{0, 0.5}, {1, 0.5}}, {{0.5, 0}, {0.5, 1}}, {{0, 0}, {1, 1}}};
             for (int index = 0; index < 6; ++index) {
                 const auto& [start, end] = ends[index % 3];
                 auto layer = gradient(CGRectMake(index * 6, index < 3 ? 1 : 11, 5, index < 3 ? 7.5 : 7.25),
                                       start, end);
                 layer->setColors(NSArray::arrayWithObjects({UIColor::colorWithRed(1, 0.5, 0, 1)->CGColor(),
                                                             UIColor::colorWithRed(0, 1, 0, 0.5)->CGColor(),
                                                             UIColor::colorWithRed(0, 0, 1, 1)->CGColor()}));
                 _window->layer()->addSublayer(layer);
             }
         }},
        {"image clipped to rounded corners",
         [this] {
             auto image = alloc<UIImageView>()->initWithFrame(CGRectMake(20, 4, 11, 10));
             image->setImage(sample::artworkImage(10, 2));
             image->setClipsToBounds(true);
             image->layer()->setCornerRadius(4);
             _window->addSubview(image);
         }},
    };
    for (const auto& [name, setUp] : cases) {
        makeWindow();
        setUp();
        render::Renderer renderer;
        renderer.setBackdrop(render::Renderer::Backdrop{0.2, 0.3, 0.4});
        UICairoSurface target(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 40));
        UICairoSurface expected(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 80, 40));
        auto context = UICairoContextCreate(target.get());
        auto expectedContext = UICairoContextCreate(expected.get());
        cairo_set_source_rgb(context.get(), 0, 1, 0);
        cairo_paint(context.get());
        for (int frame = 0; frame < 2; ++frame) {
            renderer.drawFrame(context.get(), *_window, 2);
            cairo_set_source_rgb(expectedContext.get(), 0.2, 0.3, 0.4);
            cairo_paint(expectedContext.get());
            cairo_set_source_surface(expectedContext.get(), render::snapshot(*_window, 2).get(), 0, 0);
            cairo_paint(expectedContext.get());
            EXPECT_TRUE(samePixels(target, expected, 2)) << name << ", frame " << frame;
            renderer.discardStores();
            _box->setFrame(CGRectMake(3, 5, 10, 10));
            _box->setBackgroundColor(UIColor::colorWithRed(0, 0, 0, 0.5));
        }
    }
}

} // namespace
