#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "QuartzCore/CALayer.h"
#include "UIKit/UIView.h"
#include "UIKit/UIWindow.h"
#include "support/TestSupport.h"

namespace {

using Rect = std::array<CGFloat, 4>;
using Views = std::vector<Ptr<UIView>>;

Rect rect(CGRect r) {
    return {r.origin.x, r.origin.y, r.size.width, r.size.height};
}

Ptr<UIView> makeView(CGRect frame = CGRectZero) {
    return alloc<UIView>()->initWithFrame(frame);
}

// Records the sizes its overridable setBounds sees and its layout passes.
class RecordingView : public UIView {
public:
    void setBounds(CGRect bounds) override {
        boundsSeen.push_back(bounds.size);
        UIView::setBounds(bounds);
    }
    void layoutSubviews() override { ++layoutCount; }

    std::vector<CGSize> boundsSeen;
    int layoutCount = 0;
};

class ViewTest : public PlatformTest {};

TEST_F(ViewTest, FrameBoundsCentreAndLayerStayInStepAndRefuseNonFiniteValues) {
    const std::vector<std::tuple<void (UIView::*)(CGRect), CGRect, Rect>> cases = {
        {&UIView::setFrame, CGRectMake(-50, -20, 100, 40), {-50, -20, 100, 40}},
        {&UIView::setBounds, CGRectMake(5, 5, 20, 10), {50, 35, 20, 10}},  // the centre stays
        {&UIView::setFrame, CGRectMake(10, 10, -10, -10), {0, 0, 10, 10}}, // standardised
        {&UIView::setFrame, CGRectMake(NAN, 0, 5, 5), {10, 20, 100, 40}},
        {&UIView::setBounds, CGRectMake(0, 0, INFINITY, 5), {10, 20, 100, 40}},
    };
    for (const auto& [setter, value, frame] : cases) {
        auto view = makeView(CGRectMake(10, 20, 100, 40));
        ((*view).*setter)(value);
        EXPECT_EQ(rect(view->frame()), frame) << value.size.width;
        EXPECT_EQ(rect(view->layer()->frame()), frame) << value.size.width;
        EXPECT_EQ(view->center(), CGPointMake(frame[0] + frame[2] / 2, frame[1] + frame[3] / 2));
        view->setCenter({NAN, 0});
        EXPECT_EQ(rect(view->presentationFrame()), frame) << value.size.width;
    }
}

TEST_F(ViewTest, AutoresizingSharesASizeChangeAmongTheFlexibleParts) {
    // A 40 x 20 child at (20, 10) of a 100 x 100 parent that becomes 200 x 50.
    const std::vector<std::pair<UIViewAutoresizing, Rect>> cases = {
        {UIViewAutoresizingNone, {20, 10, 40, 20}},
        {UIViewAutoresizingFlexibleWidth, {20, 10, 140, 20}},
        // Margins 20 and 40 and width 40 share +100 as 20:40:40, and 10, 20 and 70 share -50.
        {UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleWidth |
             UIViewAutoresizingFlexibleRightMargin | UIViewAutoresizingFlexibleTopMargin |
             UIViewAutoresizingFlexibleHeight | UIViewAutoresizingFlexibleBottomMargin,
         {40, 5, 80, 10}},
    };
    for (const auto& [mask, expected] : cases) {
        auto parent = makeView(CGRectMake(0, 0, 100, 100));
        auto child = alloc<RecordingView>();
        child->initWithFrame(CGRectMake(20, 10, 40, 20));
        child->setAutoresizingMask(mask);
        parent->addSubview(child);
        parent->setBounds(CGRectMake(0, 0, 200, 50));
        EXPECT_EQ(rect(child->frame()), expected) << mask;
        EXPECT_EQ(child->boundsSeen.back(), child->bounds().size) << mask; // through the override
    }
}

TEST_F(ViewTest, SubviewsAndTheirLayersKeepOneOrderAndNoCycles) {
    auto parent = makeView(), a = makeView(), b = makeView(), c = makeView();
    for (const auto& view : {a, b, c, a}) {
        parent->addSubview(view); // an existing subview moves to the front
    }
    EXPECT_EQ(parent->subviews(), (Views{b, c, a}));
    EXPECT_EQ(parent->layer()->sublayers(), (std::vector<Ptr<CALayer>>{b->layer(), c->layer(), a->layer()}));
    a->addSubview(parent); // a view cannot contain its ancestor, or itself
    a->addSubview(a);
    b->removeFromSuperview();
    EXPECT_EQ(parent->subviews(), (Views{c, a}));
    EXPECT_TRUE(a->subviews().empty());
    EXPECT_EQ(b->layer()->superlayer(), nullptr);
    WeakPtr<UIView> weakParent = parent;
    parent.reset();
    EXPECT_TRUE(weakParent.expired());
    EXPECT_EQ(a->superview(), nullptr);
}

TEST_F(ViewTest, HitTestingFindsTheTopmostVisibleInteractiveView) {
    // A window holding a panel at (100, 50)-(300, 150) holding `below` at
    // (110, 60)-(160, 110) and, over it, `above` at (130, 80)-(180, 130).
    enum { none = -1, window, panel, below, above };
    // What it hits; which view changes, to hidden, alpha and interaction; where; and the view hit.
    using Case = std::tuple<const char*, int, bool, CGFloat, bool, CGPoint, int>;
    const std::vector<Case> cases = {
        {"the later of overlapping subviews", above, false, 1, true, {140, 90}, above},
        {"the earlier subview", above, false, 1, true, {115, 65}, below},
        {"the panel", above, false, 1, true, {290, 140}, panel},
        {"the window", above, false, 1, true, {5, 5}, window},
        {"outside the window", above, false, 1, true, {-1, 5}, none},
        {"hidden", above, true, 1, true, {140, 90}, below},
        {"all but transparent", above, false, 0.005, true, {140, 90}, below},
        {"faint but visible", above, false, 0.02, true, {140, 90}, above},
        {"without interaction", above, false, 1, false, {140, 90}, below},
        {"under a hidden ancestor", panel, true, 1, true, {115, 65}, window},
        {"under a transparent ancestor", panel, false, 0, true, {115, 65}, window},
        {"under an ancestor without interaction", panel, false, 1, false, {115, 65}, window},
    };
    for (const auto& [name, changed, hidden, alpha, interactive, point, expected] : cases) {
        SCOPED_TRACE(name);
        const Views views = {alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 200)),
                             makeView(CGRectMake(100, 50, 200, 100)), makeView(CGRectMake(10, 10, 50, 50)),
                             makeView(CGRectMake(30, 30, 50, 50))};
        views[window]->addSubview(views[panel]);
        views[panel]->addSubview(views[below]);
        views[panel]->addSubview(views[above]);
        views[changed]->setHidden(hidden);
        views[changed]->setAlpha(alpha);
        views[changed]->setUserInteractionEnabled(interactive);
        EXPECT_EQ(views[window]->hitTest(point, nullptr), expected == none ? nullptr : views[expected]);
        // A subview outside its superview's bounds is not reached.
        views[below]->setFrame(CGRectMake(-50, 0, 20, 20));
        EXPECT_EQ(views[window]->hitTest({60, 60}, nullptr), views[window]);
    }
}

TEST_F(ViewTest, PointsConvertThroughFramesAndBoundsOrigins) {
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 200));
    auto scrolled = makeView(CGRectMake(110, 60, 100, 50));
    scrolled->setBounds(CGRectMake(30, 0, 100, 50));
    auto leaf = makeView(CGRectMake(40, 5, 10, 10));
    window->addSubview(scrolled);
    scrolled->addSubview(leaf);
    EXPECT_EQ(leaf->convertPointToView({1, 2}, nullptr), CGPointMake(121, 67));
    EXPECT_EQ(leaf->convertPointFromView({121, 67}, window.get()), CGPointMake(1, 2));
    // Separate hierarchies meet where their roots are placed.
    auto otherWindow = alloc<UIWindow>()->initWithFrame(CGRectMake(500, 0, 100, 100));
    EXPECT_EQ(rect(leaf->convertRectToView(leaf->bounds(), otherWindow.get())),
              (Rect{120 - 500, 65, 10, 10}));
    EXPECT_TRUE(CGRectIsNull(leaf->convertRectToView(CGRectNull, nullptr)));
}

TEST_F(ViewTest, LayoutRunsOnceAtTheNextPassOnlyInAWindow) {
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 200));
    auto view = alloc<RecordingView>();
    view->initWithFrame(CGRectMake(0, 0, 10, 10));
    view->setNeedsLayout();
    advance(1);
    EXPECT_EQ(view->layoutCount, 0);
    window->addSubview(view);
    view->setFrame(CGRectMake(0, 0, 20, 20));
    view->setNeedsLayout();
    EXPECT_EQ(view->layoutCount, 0);
    advance(0);
    EXPECT_EQ(view->layoutCount, 1);
    view->layoutIfNeeded();
    advance(1);
    EXPECT_EQ(view->layoutCount, 1);
}

} // namespace
