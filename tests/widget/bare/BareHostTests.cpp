#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "marquee/MarqueeLabel.h"
#include "widget/WidgetTestSupport.h"

// These tests run in declaration order: the first needs a host that has never
// registered a media controller, and a widget remembers the first one it finds.
namespace widget_test {
namespace {

using BareHostTest = BareWidgetTest;

TEST_F(BareHostTest, WithoutAMediaControllerEveryQueryReadsAsNothingPlaying) {
    LogCapture log;
    makeController();
    EXPECT_EQ(controller->SBMController, nullptr);
    controller->hostDidPresent();
    advance(0.5);
    EXPECT_EQ(NSStringText(controller->elapsedLabel()->text()), "00:00");
    EXPECT_FALSE(controller->timeSlider()->isUserInteractionEnabled());
    controller->goTrackForward();
    controller->togglePlay(nullptr);
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
    makeController();
    ASSERT_EQ(controller->SBMController, media);
    controller->sharingAllowed = YES;
    drag({CGPointMake(52, 52)}, 0.6);
    EXPECT_EQ(controllerPresenter->sharedMessage(), "#np   via Trillbox");
}

} // namespace
} // namespace widget_test
