#include <dlfcn.h>

#include "SpringBoard/BBWeeAppController.h"
#include "support/TestSupport.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UIView.h"
#include "UIKit/UIWindow.h"
#include "support/TestPaths.h"

// Trillbox.bundle run as the older host runs it: this program links no product
// code, so the controller and its view come from the bundle's own library.
namespace {

class LegacyBundleTest : public PlatformTest {
protected:
    static void SetUpTestSuite() {
        bundle = NSBundle::bundleWithPath(NSStr(TRILLBOX_BUNDLE_DIR));
        ASSERT_NE(bundle, nullptr);
        const Ptr<NSString> executable = bundle->executablePath();
        ASSERT_NE(executable, nullptr);
        // Kept loaded: objects it made may outlive any one test.
        library = ::dlopen(executable->UTF8String().c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << ::dlerror();
    }

    static inline Ptr<NSBundle> bundle;
    static inline void* library = nullptr;
};

TEST_F(LegacyBundleTest, InfoPlistNamesALegacyControllerThatShowsTheBundleBackground) {
    const auto name = as<NSString>(bundle->objectForInfoDictionaryKey("TrillboxLegacyPrincipalClass"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(NSStringText(name), "TrillboxViewController");
    const Class cls = NSClassFromString(NSStringText(name));
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(NSStringText(NSBundle::bundleForClass(cls)->bundlePath()), NSStringText(bundle->bundlePath()));

    const Ptr<NSObject> instance = cls->createInstance();
    const auto controller = std::dynamic_pointer_cast<BBWeeAppController>(instance);
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->viewHeight(), 70.0f);
    EXPECT_TRUE(
        controller->respondsToOptionalOperation(BBWeeAppControllerOperation::launchURLForTapLocation));

    const auto window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 70));
    const Ptr<UIView> view = controller->view();
    ASSERT_NE(view, nullptr);
    window->addSubview(view);
    controller->loadPlaceholderView();
    controller->loadFullView();
    view->setFrame(CGRectMake(0, 0, 320, 70));
    view->layoutIfNeeded();
    ASSERT_EQ(view->subviews().size(), 1u);
    const auto background = as<UIImageView>(view->subviews().front());
    ASSERT_NE(background, nullptr);
    EXPECT_TRUE(CGRectEqualToRect(background->frame(), CGRectMake(2, 0, 316, 70)));
    ASSERT_NE(background->image(), nullptr);
    EXPECT_EQ(NSStringText(background->image()->path()),
              NSStringText(bundle->pathForResource(NSStr("Background"), NSStr("png"))));

    EXPECT_EQ(controller->launchURLForTapLocation(CGPointMake(160, 35)), nullptr);
    controller->unloadView();
    EXPECT_EQ(view->superview(), nullptr);
}

} // namespace
