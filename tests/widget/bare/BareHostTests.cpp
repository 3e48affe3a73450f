#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "marquee/MarqueeLabel.h"
#include "widget/WidgetTestSupport.h"

namespace widget_test {
namespace {

using BareHostTest = BareWidgetTest;

TEST_F(BareHostTest, WithoutAMediaControllerOrItsNowPlayingInfoNothingReadsAsPlaying) {
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

    // A media controller without the "_nowPlayingInfo" variable: an empty title is shared.
    auto media = std::make_shared<FakeMediaController>();
    media->setTrack("Song", "Band");
    ObjCClass description = objc_describeClass<FakeMediaController>("SBMediaController");
    description.sharedInstance = [media] { return Ptr<NSObject>(media); };
    ScopedClass registration(std::move(description));
    controller->hostDidDismiss();
    makeController();
    controller->sharingAllowed = YES;
    drag({CGPointMake(52, 52)}, 0.6);
    EXPECT_EQ(controllerPresenter->sharedMessage(), "#np   via Trillbox");
}

} // namespace
} // namespace widget_test
