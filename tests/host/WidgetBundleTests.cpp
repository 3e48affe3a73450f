#include <dlfcn.h>

#include "SpringBoard/_SBUIWidgetViewController.h"
#include "support/TestSupport.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIImage.h"
#include "UIKit/UITextMeasurement.h"
#include "UIKit/UIView.h"
#include "UIKit/UIViewController.h"
#include "support/TestPaths.h"

// Trillbox.bundle loaded the way a host loads it: this program links no product
// code, so everything below comes from the bundle's own library.
namespace {

class BundleTest : public PlatformTest {
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
    void SetUp() override {
        PlatformTest::SetUp();
        UITextMeasurement::setCurrent(std::make_shared<UIFixedAdvanceTextMeasurement>());
    }
    void TearDown() override {
        UITextMeasurement::setCurrent(nullptr);
        PlatformTest::TearDown();
    }

    static inline Ptr<NSBundle> bundle;
    static inline void* library = nullptr;
};

TEST_F(BundleTest, InfoPlistNamesTheLibraryAndThePrincipalClass) {
    EXPECT_EQ(NSStringText(as<NSString>(bundle->objectForInfoDictionaryKey("CFBundleExecutable"))),
              "Trillbox");
    EXPECT_EQ(NSStringText(bundle->bundleIdentifier()), "org.trillbox.Trillbox");
    EXPECT_EQ(NSStringText(as<NSString>(bundle->objectForInfoDictionaryKey("NSPrincipalClass"))),
              "TrillboxViewControllerNew");
}

TEST_F(BundleTest, LoadingTheLibraryRegistersAWidgetThatFindsItsOwnBundle) {
    const Class principal = NSClassFromString("TrillboxViewControllerNew");
    ASSERT_NE(principal, nullptr);
    EXPECT_NE(NSClassFromString("TrillboxView"), nullptr);
    EXPECT_EQ(NSStringText(NSBundle::bundleForClass(principal)->bundlePath()),
              NSStringText(bundle->bundlePath()));

    const auto widget = as<_SBUIWidgetViewController>(principal->createInstance());
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->preferredViewSize(), CGSizeMake(320, 105));
    const Ptr<UIView> root = widget->view();
    EXPECT_TRUE(CGRectEqualToRect(root->frame(), CGRectMake(0, 0, 320, 105)));
    // The play button (the 4th control) shows the bundle's own image.
    const auto play = as<UIButton>(root->subviews().at(3));
    ASSERT_NE(play, nullptr);
    const Ptr<UIImage> image = play->imageForState(UIControlStateNormal);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(NSStringText(image->path()),
              NSStringText(bundle->pathForResource(NSStr("play"), NSStr("png"))));
}

} // namespace
