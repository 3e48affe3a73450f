#include <cairo.h>

#include <string>

#include "Foundation/NSBundle.h"
#include "LegacyTestSupport.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIImageView.h"
#include "legacy/TrillboxViewController.h"
#include "widget/TrillboxView.h"
#include "support/TestPaths.h"

namespace legacy_test {
namespace {

std::string rectText(CGRect rect) {
    return "(" + std::to_string(rect.origin.x) + ", " + std::to_string(rect.origin.y) + ", " +
           std::to_string(rect.size.width) + ", " + std::to_string(rect.size.height) + ")";
}

#define EXPECT_RECT(actual, expected)                                                                        \
    EXPECT_TRUE(CGRectEqualToRect((actual), (expected))) << rectText(actual) << " vs " << rectText(expected)

// Writes an opaque PNG of `width` x `height` pixels to `path`.
void writePng(const std::string& path, int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.2, 0.3, 0.4);
    cairo_paint(cr);
    cairo_destroy(cr);
    ASSERT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);
}

class LegacyControllerTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        NSBundle::setBundlePathOverride(TRILLBOX_BUNDLE_DIR);
        window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 200));
        window->makeKeyAndVisible();
        // The older host's strip: laid out at width 0 until the host sizes it.
        strip = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 0, 70));
        window->addSubview(strip);
        const Class cls = NSClassFromString("TrillboxViewController");
        ASSERT_NE(cls, nullptr);
        controller = as<TrillboxViewController>(cls->createInstance());
        ASSERT_NE(controller, nullptr);
    }
    void TearDown() override {
        controller.reset();
        window.reset();
        PlatformTest::TearDown();
    }

    Ptr<TrillboxView> widgetView() { return as<TrillboxView>(controller->view()); }
    // A bundle directory of its own with a "Background" image of that many pixels.
    Ptr<NSBundle> bundleWithBackground(int width, int height) {
        writePng(bundleDirectory.file("Background.png"), width, height);
        return NSBundle::bundleWithPath(NSStr(bundleDirectory.path()));
    }

    Ptr<UIWindow> window;
    Ptr<UIView> strip;
    Ptr<TrillboxViewController> controller;
    TemporaryDirectory bundleDirectory;
};

TEST_F(LegacyControllerTest, CreatedByNameItTakesItsBundleAndAnswersTheProtocol) {
    ASSERT_NE(controller->bundle(), nullptr);
    EXPECT_EQ(NSStringText(controller->bundle()->bundlePath()),
              NSStringText(NSBundle::bundleWithPath(NSStr(TRILLBOX_BUNDLE_DIR))->bundlePath()));

    const Ptr<BBWeeAppController> weeApp = controller;
    EXPECT_EQ(weeApp->viewHeight(), 70.0f);
    EXPECT_EQ(weeApp->launchURL(), nullptr);
    using Op = BBWeeAppControllerOperation;
    for (const Op op : {Op::loadPlaceholderView, Op::loadFullView, Op::loadView, Op::unloadView,
                        Op::launchURLForTapLocation, Op::viewHeight, Op::viewWillAppear, Op::viewDidAppear,
                        Op::viewWillDisappear, Op::viewDidDisappear}) {
        EXPECT_TRUE(weeApp->respondsToOptionalOperation(op)) << static_cast<int>(op);
    }
    for (const Op op : {Op::clearShapshotImage, Op::launchURL, Op::willAnimateRotationToInterfaceOrientation,
                        Op::willRotateToInterfaceOrientation, Op::didRotateFromInterfaceOrientation}) {
        EXPECT_FALSE(weeApp->respondsToOptionalOperation(op)) << static_cast<int>(op);
    }
}

TEST_F(LegacyControllerTest, TheViewIsAStripSeventyHighThatTakesItsWidthFromTheHost) {
    const Ptr<TrillboxView> view = widgetView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(controller->view(), view);
    EXPECT_RECT(view->frame(), CGRectMake(0, 0, 0, 70));
    EXPECT_EQ(view->autoresizingMask(), UIViewAutoresizingFlexibleWidth);
    EXPECT_EQ(view->backgroundColor(), nullptr);

    strip->addSubview(view);
    controller->loadPlaceholderView();
    controller->loadFullView();
    strip->setFrame(CGRectMake(0, 0, 320, 70));
    EXPECT_RECT(view->frame(), CGRectMake(0, 0, 320, 70));
    view->layoutIfNeeded();
    ASSERT_NE(view->backgroundImageView(), nullptr);
    EXPECT_RECT(view->backgroundImageView()->frame(), CGRectMake(2, 0, 316, 70));

    const Ptr<UIImage> background = view->backgroundImageView()->image();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(NSStringText(background->path()),
              NSStringText(controller->bundle()->pathForResource(NSStr("Background"), NSStr("png"))));
    ASSERT_EQ(background->size(), CGSizeMake(316, 70));
    EXPECT_TRUE(background->isStretchable());
    EXPECT_EQ(background->leftCapWidth(), 158);
    EXPECT_EQ(background->topCapHeight(), 35);
}

TEST_F(LegacyControllerTest, CapsAreHalfTheImageSizeInPointsRoundedDown) {
    controller->setBundle(bundleWithBackground(41, 71));
    controller->loadPlaceholderView();
    Ptr<UIImage> background = widgetView()->backgroundImageView()->image();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->leftCapWidth(), 20);
    EXPECT_EQ(background->topCapHeight(), 35);

    // On a sharp screen the @2x image loads: caps still count points, not pixels.
    NSBundle::setPreferredImageScale(2);
    controller->setBundle(NSBundle::bundleWithPath(NSStr(TRILLBOX_BUNDLE_DIR)));
    controller->loadPlaceholderView();
    background = widgetView()->backgroundImageView()->image();
    ASSERT_NE(background, nullptr);
    ASSERT_EQ(background->scale(), 2);
    EXPECT_EQ(background->leftCapWidth(), 158);
    EXPECT_EQ(background->topCapHeight(), 35);
}

TEST_F(LegacyControllerTest, WithoutABackgroundImageThePlaceholderRemovesTheBackground) {
    controller->loadPlaceholderView();
    const Ptr<TrillboxView> view = widgetView();
    ASSERT_NE(view->backgroundImageView(), nullptr);

    controller->setBundle(NSBundle::bundleWithPath(NSStr(bundleDirectory.path())));
    controller->loadPlaceholderView();
    EXPECT_EQ(view->backgroundImageView(), nullptr);
    EXPECT_TRUE(view->subviews().empty());

    // An unreadable image and no bundle at all fall back the same way.
    bundleDirectory.write("Background.png", "not a png");
    controller->loadPlaceholderView();
    EXPECT_EQ(view->backgroundImageView(), nullptr);
    controller->setBundle(nullptr);
    controller->loadPlaceholderView();
    EXPECT_EQ(view->backgroundImageView(), nullptr);
    EXPECT_EQ(widgetView(), view);
}

TEST_F(LegacyControllerTest, TheFullViewAddsNothingBeforeOrAfterThePlaceholder) {
    controller->loadFullView();
    const Ptr<TrillboxView> view = widgetView();
    EXPECT_TRUE(view->subviews().empty());
    EXPECT_EQ(view->backgroundImageView(), nullptr);

    controller->loadPlaceholderView();
    const Ptr<UIImageView> background = view->backgroundImageView();
    const Ptr<UIImage> image = background->image();
    controller->loadFullView();
    EXPECT_EQ(widgetView(), view);
    EXPECT_EQ(view->subviews().size(), 1u);
    EXPECT_EQ(view->backgroundImageView(), background);
    EXPECT_EQ(background->image(), image);
}

TEST_F(LegacyControllerTest, UnloadingTakesTheViewOutAndTheNextViewIsANewOne) {
    const Ptr<TrillboxView> first = widgetView();
    strip->addSubview(first);
    controller->loadPlaceholderView();

    controller->unloadView();
    EXPECT_EQ(first->superview(), nullptr);
    EXPECT_TRUE(strip->subviews().empty());

    const Ptr<TrillboxView> second = widgetView();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_RECT(second->frame(), CGRectMake(0, 0, 0, 70));
    EXPECT_EQ(second->backgroundImageView(), nullptr);

    // Unloading twice, or with no view, is harmless.
    controller->unloadView();
    controller->unloadView();
    EXPECT_NE(controller->view(), nullptr);
}

} // namespace
} // namespace legacy_test
