#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "marquee/MarqueeLabel.h"
#include "widget/WidgetTestSupport.h"

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

} // namespace
} // namespace widget_test
