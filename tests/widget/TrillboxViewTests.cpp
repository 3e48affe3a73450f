#include "UIKit/UIImageView.h"
#include "WidgetTestSupport.h"
#include "widget/TrillboxView.h"

namespace widget_test {
namespace {

class TrillboxViewTest : public WidgetTest {
protected:
    Ptr<TrillboxView> makeView(CGRect frame) {
        auto view = alloc<TrillboxView>()->initWithFrame(frame);
        window->addSubview(view);
        return view;
    }
    static CGRect backgroundFrame(const Ptr<TrillboxView>& view) {
        view->layoutIfNeeded();
        return view->backgroundImageView()->frame();
    }
};

TEST_F(TrillboxViewTest, TheBackgroundSpansTheHeightInsetTwoPointsAtEachSide) {
    const auto view = makeView(CGRectMake(0, 0, 320, 70));
    const auto content = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 10, 10));
    view->addSubview(content);
    view->setBackgroundImage(bundleImage("play"));
    EXPECT_TRUE(CGRectEqualToRect(backgroundFrame(view), CGRectMake(2, 0, 316, 70)));
    // Added later, the background lies above what was there before.
    EXPECT_EQ(view->subviews().back(), view->backgroundImageView());
}

TEST_F(TrillboxViewTest, AViewWidenedLaterLaysTheBackgroundOutAgain) {
    const auto view = makeView(CGRectMake(0, 0, 0, 70));
    view->setBackgroundImage(bundleImage("play"));
    view->setFrame(CGRectMake(0, 0, 320, 70));
    EXPECT_TRUE(CGRectEqualToRect(backgroundFrame(view), CGRectMake(2, 0, 316, 70)));

    // Narrower than both insets: a zero-width image at the centre.
    view->setFrame(CGRectMake(0, 0, 3, 70));
    EXPECT_TRUE(CGRectEqualToRect(backgroundFrame(view), CGRectMake(1.5, 0, 0, 70)));
}

TEST_F(TrillboxViewTest, ImagesShareOneImageViewAndNilRemovesIt) {
    const auto view = makeView(CGRectMake(0, 0, 320, 70));
    view->setBackgroundImage(nullptr);
    EXPECT_TRUE(view->subviews().empty());

    view->setBackgroundImage(bundleImage("play"));
    const Ptr<UIImageView> imageView = view->backgroundImageView();
    view->setBackgroundImage(bundleImage("pause"));
    EXPECT_EQ(view->backgroundImageView(), imageView);
    EXPECT_EQ(view->subviews().size(), 1u);
    EXPECT_TRUE(isBundleImage(imageView->image(), "pause"));

    view->loadFullView();
    EXPECT_EQ(view->subviews().size(), 1u);

    view->setBackgroundImage(nullptr);
    EXPECT_EQ(view->backgroundImageView(), nullptr);
    EXPECT_TRUE(view->subviews().empty());
    EXPECT_EQ(imageView->superview(), nullptr);
}

TEST_F(TrillboxViewTest, DestructionLetsGoOfTheBackground) {
    auto view = alloc<TrillboxView>()->initWithFrame(CGRectMake(0, 0, 320, 70));
    view->setBackgroundImage(bundleImage("play"));
    const Ptr<UIImageView> imageView = view->backgroundImageView();
    const Ptr<CALayer> rootLayer = view->layer();
    view.reset();
    EXPECT_EQ(imageView->superview(), nullptr);
    EXPECT_EQ(imageView->layer()->superlayer(), nullptr);
    EXPECT_TRUE(rootLayer->sublayers().empty());
}

} // namespace
} // namespace widget_test
