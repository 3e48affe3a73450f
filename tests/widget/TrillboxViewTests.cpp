#include "UIKit/UIImageView.h"
#include "WidgetTestSupport.h"
#include "widget/TrillboxView.h"

namespace widget_test {
namespace {

using TrillboxViewTest = WidgetTest;

TEST_F(TrillboxViewTest, TheBackgroundSpansTheHeightInsetTwoPointsAtEachSideInOneImageView) {
    const auto view = alloc<TrillboxView>()->initWithFrame(CGRectMake(0, 0, 0, 70));
    view->addSubview(alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 10, 10)));
    view->setBackgroundImage(bundleImage("play"));
    const Ptr<UIImageView> imageView = view->backgroundImageView();
    view->setBackgroundImage(bundleImage("pause"));
    EXPECT_EQ(view->backgroundImageView(), imageView);
    EXPECT_EQ(view->subviews().back(), imageView); // above what was there before
    EXPECT_TRUE(isBundleImage(imageView->image(), "pause"));
    const std::pair<CGFloat, CGRect> cases[]{{320, CGRectMake(2, 0, 316, 70)},
                                             {3, CGRectMake(1.5, 0, 0, 70)}};
    for (const auto& [width, frame] : cases) {
        view->setFrame(CGRectMake(0, 0, width, 70));
        view->layoutIfNeeded();
        EXPECT_TRUE(CGRectEqualToRect(imageView->frame(), frame)) << width;
    }
    view->setBackgroundImage(nullptr);
    EXPECT_EQ(view->backgroundImageView(), nullptr);
    EXPECT_EQ(imageView->superview(), nullptr);
}

} // namespace
} // namespace widget_test
