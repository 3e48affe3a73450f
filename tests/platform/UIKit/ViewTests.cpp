#include <cmath>
#include <string>
#include <vector>

#include "support/TestSupport.h"
#include "QuartzCore/CALayer.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIView.h"
#include "UIKit/UIWindow.h"

namespace {

// Records every size its overridable setBounds sees, and its hierarchy callbacks.
class RecordingView : public UIView {
public:
    void setBounds(CGRect bounds) override {
        boundsSeen.push_back(bounds.size);
        UIView::setBounds(bounds);
    }
    void layoutSubviews() override { ++layoutCount; }
    void willMoveToSuperview(const Ptr<UIView>& newSuperview) override {
        events.push_back(newSuperview ? "willMoveToSuperview" : "willMoveToSuperview(nil)");
    }
    void didMoveToSuperview() override {
        events.push_back(superview() ? "didMoveToSuperview" : "didMoveToSuperview(nil)");
    }
    void willMoveToWindow(const Ptr<UIWindow>& newWindow) override {
        events.push_back(newWindow ? "willMoveToWindow" : "willMoveToWindow(nil)");
    }
    void didMoveToWindow() override {
        events.push_back(window() ? "didMoveToWindow" : "didMoveToWindow(nil)");
    }

    std::vector<CGSize> boundsSeen;
    std::vector<std::string> events;
    int layoutCount = 0;
};

Ptr<UIView> makeView(CGRect frame) {
    return alloc<UIView>()->initWithFrame(frame);
}

void expectRect(CGRect actual, CGFloat x, CGFloat y, CGFloat width, CGFloat height) {
    EXPECT_DOUBLE_EQ(actual.origin.x, x);
    EXPECT_DOUBLE_EQ(actual.origin.y, y);
    EXPECT_DOUBLE_EQ(actual.size.width, width);
    EXPECT_DOUBLE_EQ(actual.size.height, height);
}

class ViewTest : public PlatformTest {};

TEST_F(ViewTest, FrameBoundsAndCentreStayConsistentInTheLayer) {
    auto view = makeView(CGRectMake(10, 20, 100, 40));
    expectRect(view->bounds(), 0, 0, 100, 40);
    EXPECT_EQ(view->center(), CGPointMake(60, 40));
    expectRect(view->layer()->frame(), 10, 20, 100, 40);

    view->setCenter(CGPointMake(0, 0));
    expectRect(view->frame(), -50, -20, 100, 40);

    // A bounds size change keeps the centre.
    view->setBounds(CGRectMake(5, 5, 20, 10));
    expectRect(view->frame(), -10, -5, 20, 10);
    expectRect(view->bounds(), 5, 5, 20, 10);

    // A negative frame is standardised; a non-finite one is refused.
    view->setFrame(CGRectMake(10, 10, -10, -10));
    expectRect(view->frame(), 0, 0, 10, 10);
    view->setFrame(CGRectMake(std::nan(""), 0, 5, 5));
    expectRect(view->frame(), 0, 0, 10, 10);
    expectRect(view->presentationFrame(), 0, 0, 10, 10);
}

TEST_F(ViewTest, EverySizeChangeReachesTheOverriddenSetBounds) {
    auto parent = makeView(CGRectMake(0, 0, 100, 50));
    auto child = alloc<RecordingView>();
    child->initWithFrame(CGRectMake(10, 10, 80, 30));
    ASSERT_EQ(child->boundsSeen.size(), 1u);

    child->setFrame(CGRectMake(20, 20, 80, 30)); // origin only
    EXPECT_EQ(child->boundsSeen.size(), 1u);
    child->setFrame(CGRectMake(20, 20, 60, 30));
    ASSERT_EQ(child->boundsSeen.size(), 2u);
    EXPECT_EQ(child->boundsSeen.back(), CGSizeMake(60, 30));

    child->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    parent->addSubview(child);
    parent->setFrame(CGRectMake(0, 0, 300, 50));
    ASSERT_EQ(child->boundsSeen.size(), 3u);
    EXPECT_EQ(child->boundsSeen.back(), CGSizeMake(260, 30));
    expectRect(child->frame(), 20, 20, 260, 30);
}

TEST_F(ViewTest, AutoresizingSharesTheChangeAmongFlexibleParts) {
    auto parent = makeView(CGRectMake(0, 0, 100, 100));
    auto fixed = makeView(CGRectMake(10, 10, 20, 20));
    auto rightPinned = makeView(CGRectMake(10, 10, 20, 20));
    rightPinned->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
    auto proportional = makeView(CGRectMake(20, 0, 40, 100));
    proportional->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleWidth |
                                      UIViewAutoresizingFlexibleRightMargin |
                                      UIViewAutoresizingFlexibleHeight);
    for (const auto& view : {fixed, rightPinned, proportional}) {
        parent->addSubview(view);
    }

    parent->setBounds(CGRectMake(0, 0, 200, 50));

    expectRect(fixed->frame(), 10, 10, 20, 20);
    expectRect(rightPinned->frame(), 110, 10, 20, 20);
    // Margins 20 and 40 and width 40 share +100 in proportion 20:40:40.
    expectRect(proportional->frame(), 40, 0, 80, 50);

    parent->setAutoresizesSubviews(false);
    parent->setBounds(CGRectMake(0, 0, 100, 100));
    expectRect(fixed->frame(), 10, 10, 20, 20);
    expectRect(proportional->frame(), 40, 0, 80, 50);
}

TEST_F(ViewTest, SubviewsAreOrderedAndTheSuperviewIsWeak) {
    auto parent = makeView(CGRectMake(0, 0, 100, 100));
    auto a = makeView(CGRectZero);
    auto b = makeView(CGRectZero);
    auto c = makeView(CGRectZero);
    parent->addSubview(a);
    parent->addSubview(b);
    parent->insertSubview(c, 0);
    ASSERT_EQ(parent->subviews(), (std::vector<Ptr<UIView>>{c, a, b}));
    // The layers mirror the order.
    ASSERT_EQ(parent->layer()->sublayers(), (std::vector<Ptr<CALayer>>{c->layer(), a->layer(), b->layer()}));

    parent->addSubview(c); // an existing subview moves to the front
    parent->bringSubviewToFront(a);
    EXPECT_EQ(parent->subviews(), (std::vector<Ptr<UIView>>{b, c, a}));
    EXPECT_EQ(parent->layer()->sublayers(), (std::vector<Ptr<CALayer>>{b->layer(), c->layer(), a->layer()}));

    // A view cannot become its own subview or its ancestor's superview.
    a->addSubview(parent);
    a->addSubview(a);
    EXPECT_TRUE(a->subviews().empty());

    // Moving to another superview takes the view out of the first.
    auto other = makeView(CGRectZero);
    other->addSubview(b);
    EXPECT_EQ(parent->subviews(), (std::vector<Ptr<UIView>>{c, a}));
    EXPECT_EQ(b->superview(), other);

    b->removeFromSuperview();
    EXPECT_EQ(b->superview(), nullptr);
    EXPECT_EQ(b->layer()->superlayer(), nullptr);

    WeakPtr<UIView> weakParent = parent;
    parent.reset();
    EXPECT_TRUE(weakParent.expired());
    EXPECT_EQ(a->superview(), nullptr);
}

TEST_F(ViewTest, MovingInAndOutOfAWindowNotifiesTheWholeSubtree) {
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 480));
    auto container = makeView(CGRectZero);
    auto leaf = alloc<RecordingView>();
    leaf->initWithFrame(CGRectZero);
    container->addSubview(leaf);
    EXPECT_EQ(leaf->events, (std::vector<std::string>{"willMoveToSuperview", "didMoveToSuperview"}));
    leaf->events.clear();

    window->addSubview(container);
    EXPECT_EQ(leaf->window(), window);
    EXPECT_EQ(leaf->events, (std::vector<std::string>{"willMoveToWindow", "didMoveToWindow"}));
    leaf->events.clear();

    leaf->removeFromSuperview();
    EXPECT_EQ(leaf->events, (std::vector<std::string>{"willMoveToSuperview(nil)", "willMoveToWindow(nil)",
                                                      "didMoveToWindow(nil)", "didMoveToSuperview(nil)"}));
    EXPECT_EQ(leaf->window(), nullptr);
    EXPECT_EQ(window->window(), window);
}

TEST_F(ViewTest, ViewWithTagSearchesItselfThenDepthFirst) {
    auto root = makeView(CGRectZero);
    auto first = makeView(CGRectZero);
    auto nested = makeView(CGRectZero);
    auto second = makeView(CGRectZero);
    nested->setTag(7);
    second->setTag(7);
    first->addSubview(nested);
    root->addSubview(first);
    root->addSubview(second);
    EXPECT_EQ(root->viewWithTag(7), nested);
    EXPECT_EQ(root->viewWithTag(0), root);
    EXPECT_EQ(root->viewWithTag(8), nullptr);
}

TEST_F(ViewTest, HitTestingFindsTheTopmostInteractiveView) {
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 200));
    auto panel = makeView(CGRectMake(100, 50, 200, 100));
    auto below = makeView(CGRectMake(10, 10, 50, 50));
    auto above = makeView(CGRectMake(30, 30, 50, 50));
    window->addSubview(panel);
    panel->addSubview(below);
    panel->addSubview(above);

    EXPECT_EQ(window->hitTest(CGPointMake(140, 90), nullptr), above); // overlap: the later subview
    EXPECT_EQ(window->hitTest(CGPointMake(115, 65), nullptr), below);
    EXPECT_EQ(window->hitTest(CGPointMake(290, 140), nullptr), panel);
    EXPECT_EQ(window->hitTest(CGPointMake(5, 5), nullptr), window);
    EXPECT_EQ(window->hitTest(CGPointMake(-1, 5), nullptr), nullptr);

    above->setHidden(true);
    EXPECT_EQ(window->hitTest(CGPointMake(140, 90), nullptr), below);
    above->setHidden(false);
    above->setAlpha(0.005);
    EXPECT_EQ(window->hitTest(CGPointMake(140, 90), nullptr), below);
    above->setAlpha(1);
    above->setUserInteractionEnabled(false);
    EXPECT_EQ(window->hitTest(CGPointMake(140, 90), nullptr), below);
    // A view without interaction hides its whole subtree.
    panel->setUserInteractionEnabled(false);
    EXPECT_EQ(window->hitTest(CGPointMake(115, 65), nullptr), window);

    // A subview outside its superview's bounds is not reached.
    panel->setUserInteractionEnabled(true);
    auto outside = makeView(CGRectMake(-50, 0, 20, 20));
    panel->addSubview(outside);
    EXPECT_EQ(window->hitTest(CGPointMake(60, 60), nullptr), window);
}

TEST_F(ViewTest, PointsAndRectsConvertThroughBoundsOrigins) {
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 200));
    auto panel = makeView(CGRectMake(100, 50, 200, 100));
    auto scrolled = makeView(CGRectMake(10, 10, 100, 50));
    scrolled->setBounds(CGRectMake(30, 0, 100, 50));
    auto leaf = makeView(CGRectMake(40, 5, 10, 10));
    window->addSubview(panel);
    panel->addSubview(scrolled);
    scrolled->addSubview(leaf);

    EXPECT_EQ(leaf->convertPointToView(CGPointMake(1, 2), nullptr), CGPointMake(121, 67));
    EXPECT_EQ(leaf->convertPointToView(CGPointMake(1, 2), panel.get()), CGPointMake(21, 17));
    EXPECT_EQ(panel->convertPointFromView(CGPointMake(1, 2), leaf.get()), CGPointMake(21, 17));
    EXPECT_EQ(leaf->convertPointFromView(CGPointMake(121, 67), nullptr), CGPointMake(1, 2));
    EXPECT_EQ(panel->convertPointToView(CGPointMake(21, 17), leaf.get()), CGPointMake(1, 2));
    expectRect(leaf->convertRectToView(leaf->bounds(), window.get()), 120, 65, 10, 10);
    expectRect(window->convertRectFromView(CGRectMake(0, 0, 10, 10), leaf.get()), 120, 65, 10, 10);
    EXPECT_TRUE(CGRectIsNull(leaf->convertRectToView(CGRectNull, nullptr)));

    // Separate hierarchies meet where their roots are placed.
    auto otherWindow = alloc<UIWindow>()->initWithFrame(CGRectMake(500, 0, 100, 100));
    auto otherLeaf = makeView(CGRectMake(5, 5, 10, 10));
    otherWindow->addSubview(otherLeaf);
    EXPECT_EQ(leaf->convertPointToView(CGPointZero, otherLeaf.get()), CGPointMake(120 - 505, 65 - 5));
}

TEST_F(ViewTest, LayoutRunsAtTheNextPassOnlyForViewsInAWindow) {
    auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 200));
    auto view = alloc<RecordingView>();
    view->initWithFrame(CGRectMake(0, 0, 10, 10));

    view->setNeedsLayout();
    advance(0.1);
    EXPECT_EQ(view->layoutCount, 0);
    view->layoutIfNeeded();
    EXPECT_EQ(view->layoutCount, 1);
    view->layoutIfNeeded();
    EXPECT_EQ(view->layoutCount, 1);

    // Joining a window while needing layout schedules it; repeated requests coalesce.
    view->setNeedsLayout();
    window->addSubview(view);
    view->setFrame(CGRectMake(0, 0, 20, 20));
    view->setNeedsLayout();
    EXPECT_EQ(view->layoutCount, 1);
    advance(0);
    EXPECT_EQ(view->layoutCount, 2);
    EXPECT_FALSE(view->needsLayout());
    advance(1);
    EXPECT_EQ(view->layoutCount, 2);
}

TEST_F(ViewTest, VisibleChangesMarkTheDisplay) {
    auto view = makeView(CGRectMake(0, 0, 10, 10));
    auto changes = [&](const auto& change) {
        const auto before = CADisplayGeneration();
        change();
        return CADisplayGeneration() != before;
    };
    EXPECT_TRUE(changes([&] { view->setNeedsDisplay(); }));
    EXPECT_TRUE(changes([&] { view->setHidden(true); }));
    EXPECT_TRUE(changes([&] { view->setAlpha(0.5); }));
    EXPECT_TRUE(changes([&] { view->setBackgroundColor(UIColor::grayColor()); }));
    EXPECT_TRUE(changes([&] { view->setClipsToBounds(true); }));
    EXPECT_TRUE(changes([&] { view->setContentMode(UIViewContentModeScaleAspectFit); }));
    EXPECT_TRUE(changes([&] { view->setFrame(CGRectMake(1, 1, 10, 10)); }));
    EXPECT_FALSE(changes([&] { view->setFrame(CGRectMake(1, 1, 10, 10)); }));
    EXPECT_FALSE(changes([&] { view->setHidden(true); }));

    // Alpha lives in the layer's single-precision opacity and is clamped.
    view->setAlpha(2);
    EXPECT_EQ(view->alpha(), 1.0);
    view->setAlpha(0.3);
    EXPECT_EQ(view->alpha(), static_cast<double>(0.3f));
    EXPECT_TRUE(view->clipsToBounds());
    EXPECT_TRUE(view->layer()->masksToBounds());
}

TEST_F(ViewTest, SizeQueriesDefaultToTheCurrentSizeAndNoIntrinsicSize) {
    auto view = makeView(CGRectMake(5, 5, 30, 20));
    EXPECT_EQ(view->sizeThatFits(CGSizeMake(100, 100)), CGSizeMake(30, 20));
    EXPECT_EQ(view->intrinsicContentSize(), CGSizeMake(UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric));
    view->sizeToFit();
    expectRect(view->frame(), 5, 5, 30, 20);
}

} // namespace
