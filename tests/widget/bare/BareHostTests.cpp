#include "Foundation/NSTimer.h"
#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "widget/WidgetTestSupport.h"
#include "marquee/MarqueeLabel.h"
#include "support/TestPaths.h"

// These tests run in declaration order: the first needs a host that has never
// registered a media controller, and a widget remembers the first one it finds.
namespace widget_test {
namespace {

class BareHostTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        UITextMeasurement::setCurrent(std::make_shared<UIFixedAdvanceTextMeasurement>());
        NSBundle::setBundlePathOverride(TRILLBOX_BUNDLE_DIR);
        UIViewController::setPresenter(presenter);
        UIAlertView::setPresenter(alerts);
        controller =
            as<TrillboxViewControllerNew>(NSClassFromString("TrillboxViewControllerNew")->createInstance());
        ASSERT_NE(controller, nullptr);
        window = alloc<UIWindow>()->initWithFrame(CGRectMake(0, 0, 320, 105));
        window->addSubview(controller->view());
    }
    void TearDown() override {
        controller->hostDidDismiss();
        controller.reset();
        window.reset();
        UIViewController::setPresenter(nullptr);
        UIAlertView::setPresenter(nullptr);
        UITextMeasurement::setCurrent(nullptr);
        PlatformTest::TearDown();
    }
    std::string sharedMessage() const {
        return presenter->presented.empty()
                   ? ""
                   : NSStringText(as<NSString>(as<UIActivityViewController>(presenter->presented.back())
                                                   ->activityItems()
                                                   ->objectAtIndex(0)));
    }

    std::shared_ptr<RecordingControllerPresenter> presenter =
        std::make_shared<RecordingControllerPresenter>();
    std::shared_ptr<RecordingAlertPresenter> alerts = std::make_shared<RecordingAlertPresenter>();
    Ptr<TrillboxViewControllerNew> controller;
    Ptr<UIWindow> window;
};

TEST_F(BareHostTest, WithoutAMediaControllerEveryQueryReadsAsNothingPlaying) {
    LogCapture log;
    EXPECT_EQ(controller->SBMController, nullptr);
    controller->hostDidPresent();
    advance(0.5);
    EXPECT_EQ(NSStringText(controller->infoLabel()->text()), "Not Playing");
    EXPECT_EQ(NSStringText(controller->elapsedLabel()->text()), "00:00");
    EXPECT_FALSE(controller->timeSlider()->isUserInteractionEnabled());

    controller->goTrackForward();
    controller->goTrackBack();
    EXPECT_TRUE(controller->noCover);
    controller->togglePlay(nullptr);
    EXPECT_TRUE(controller->timeTimer->isValid());
    controller->sliderDidInteractionByUser(controller->timeSlider());
    controller->artworkImageViewPressedLaunch();
    EXPECT_EQ(log.messages(),
              std::vector<std::string>{"********************* [Trillbox] nowPlayingApplication -> (null)"});
    NSNotificationCenter::defaultCenter()->postNotificationName(SBMediaNowPlayingChangedNotification,
                                                                nullptr);
    EXPECT_EQ(NSStringText(controller->infoLabel()->text()), "Not Playing");
}

// A media controller class without the "_nowPlayingInfo" variable.
class InfoLessMediaController : public FakeMediaController {};

TEST_F(BareHostTest, AMediaControllerWithoutNowPlayingInfoSharesAnEmptyTitle) {
    auto media = std::make_shared<InfoLessMediaController>();
    media->setTrack("Song", "Band");
    ObjCClass description = objc_describeClass<InfoLessMediaController>("SBMediaController");
    description.sharedInstance = [media] { return Ptr<NSObject>(media); };
    ScopedClass registration(std::move(description));

    auto fresh =
        as<TrillboxViewControllerNew>(NSClassFromString("TrillboxViewControllerNew")->createInstance());
    ASSERT_EQ(fresh->SBMController, media);
    controller->hostDidDismiss();
    controller = fresh;
    window->addSubview(controller->view());
    controller->sharingAllowed = YES;

    auto injector = alloc<UITouchInjector>()->initWithWindow(window);
    injector->injectTouch(UITouchPhaseBegan, CGPointMake(52, 52), now());
    advance(0.6);
    injector->injectTouch(UITouchPhaseEnded, CGPointMake(52, 52), now());
    EXPECT_EQ(sharedMessage(), "#np   via Trillbox");
}

} // namespace
} // namespace widget_test
