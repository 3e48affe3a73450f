#include "Foundation/NSNumber.h"
#include "Foundation/NSTimer.h"
#include "MediaPlayer/MPVolumeView.h"
#include "UIKit/UIInputConstants.h"
#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "WidgetTestSupport.h"

namespace widget_test {
namespace {

const CGPoint kArtwork{52, 52};
const char* const kLogPrefix = "********************* [Trillbox] nowPlayingApplication -> ";

class ArtworkActionsTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        ObjCClass description = objc_describeClass<FakeUIController>("SBUIController");
        description.sharedInstance = [ui = ui] { return Ptr<NSObject>(ui); };
        uiClass.emplace(std::move(description));
        media->application = std::make_shared<FakeApplication>("com.apple.Music", true);
    }
    void TearDown() override {
        uiClass.reset();
        WidgetTest::TearDown();
    }
    void longPress() { press(kArtwork, 0.6, kArtwork); }
    bool timeRowShows() const {
        return !controller->timeSlider()->isHidden() && !controller->elapsedLabel()->isHidden() &&
               !controller->lengthLabel()->isHidden() && controller->myVolumeView()->isHidden();
    }
    bool volumeShows() const {
        return controller->timeSlider()->isHidden() && controller->elapsedLabel()->isHidden() &&
               controller->lengthLabel()->isHidden() && !controller->myVolumeView()->isHidden();
    }
    // The one share sheet presented so far.
    Ptr<UIActivityViewController> sheet() const {
        EXPECT_EQ(controllerPresenter->presented.size(), 1u);
        return controllerPresenter->presented.empty()
                   ? nullptr
                   : as<UIActivityViewController>(controllerPresenter->presented.front());
    }
    std::string sharedMessage() const {
        const auto presented = sheet();
        return presented ? NSStringText(as<NSString>(presented->activityItems()->objectAtIndex(0))) : "";
    }
    // Takes the share sheet away again, as the user would.
    void dismissShare() {
        controller->dismissViewControllerAnimated(NO, nullptr);
        controllerPresenter->presented.clear();
    }
    // Plays a track with artwork and shares it with a real long press.
    void shareWhilePlaying() {
        media->artworkImage = bundleImage("forward");
        controller->setArtworkImageWithUIImage(nullptr);
        controller->setInfoLabelTextWithString(nullptr);
        longPress();
    }

    std::shared_ptr<FakeUIController> ui = std::make_shared<FakeUIController>();
    std::optional<ScopedClass> uiClass;
    LogCapture log;
};

TEST_F(ArtworkActionsTest, ASingleTapLaunchesOnlyOnceADoubleTapIsRuledOut) {
    makeController();
    tap(kArtwork);
    EXPECT_TRUE(ui->activated.empty());
    advance(kUITapMaximumInterval + 0.05);
    ASSERT_EQ(ui->activated.size(), 1u);
    EXPECT_EQ(ui->activated.front(), media->application);
    EXPECT_EQ(log.messages(),
              std::vector<std::string>{std::string(kLogPrefix) + "<FakeApplication com.apple.Music>"});
    EXPECT_TRUE(timeRowShows());
}

TEST_F(ArtworkActionsTest, DoubleTapsSwitchTheBottomRowAndNeverLaunch) {
    makeController();
    const Ptr<NSTimer> timer = (controller->hostDidPresent(), controller->timeTimer);
    EXPECT_TRUE(timeRowShows());
    tap(kArtwork);
    advance(0.1);
    tap(kArtwork);
    EXPECT_TRUE(controller->isVolume);
    EXPECT_TRUE(volumeShows());
    advance(0.2);
    tap(kArtwork);
    advance(0.1);
    tap(kArtwork);
    EXPECT_FALSE(controller->isVolume);
    EXPECT_TRUE(timeRowShows());
    advance(1.0);
    EXPECT_TRUE(ui->activated.empty());
    EXPECT_TRUE(log.messages().empty());
    // The switch leaves the timer and the settings file alone.
    EXPECT_EQ(controller->timeTimer, timer);
    EXPECT_TRUE(timer->isValid());
    EXPECT_FALSE(std::filesystem::exists(NSResolveDevicePath(std::string_view(TrillboxPreferencesPath))));
}

TEST_F(ArtworkActionsTest, ATapWithNothingPlayingOrNoUIControllerStillLogs) {
    makeController();
    media->application = nullptr;
    controller->artworkImageViewPressedLaunch();
    ASSERT_EQ(ui->activated.size(), 1u);
    EXPECT_EQ(ui->activated.front(), nullptr);

    uiClass.reset();
    controller->artworkImageViewPressedLaunch();
    EXPECT_EQ(log.messages(), (std::vector<std::string>{std::string(kLogPrefix) + "(null)",
                                                        std::string(kLogPrefix) + "(null)"}));
}

TEST_F(ArtworkActionsTest, ALongPressBeforeAnythingPlaysShowsOneAlert) {
    makeController();
    longPress();
    ASSERT_EQ(alertPresenter->shown.size(), 1u);
    const Ptr<UIAlertView> alert = alertPresenter->shown.front();
    EXPECT_EQ(NSStringText(alert->title()), "Trillbox");
    EXPECT_EQ(NSStringText(alert->message()), "Please start playing a track first before you share.");
    EXPECT_EQ(alert->delegate(), nullptr);
    EXPECT_EQ(alert->numberOfButtons(), 1);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(NSStringText(alert->buttonTitleAtIndex(0)), "Ok");
    EXPECT_TRUE(controllerPresenter->presented.empty());
    EXPECT_TRUE(ui->activated.empty());
}

TEST_F(ArtworkActionsTest, ALongPressSharesTheMessageAndTheArtworkOnce) {
    media->setTrack("Song", "Band");
    // The info line's sources differ: sharing reads the now-playing dictionary.
    media->title = NSStr("Line Title");
    makeController();
    shareWhilePlaying();
    const auto presented = sheet();
    ASSERT_NE(presented, nullptr);
    EXPECT_EQ(sharedMessage(), "#np Song by Band via Trillbox");
    ASSERT_EQ(presented->activityItems()->count(), 2u);
    EXPECT_EQ(presented->activityItems()->objectAtIndex(1), media->artworkImage);
    EXPECT_EQ(presented->applicationActivities()->count(), 0u);
    EXPECT_EQ(presented->modalTransitionStyle(), UIModalTransitionStyleCoverVertical);
    EXPECT_TRUE(controllerPresenter->animated.front());
    EXPECT_TRUE(alertPresenter->shown.empty());
}

TEST_F(ArtworkActionsTest, AMissingArtistOrTitleSharesSpacesNotNull) {
    const struct {
        const char* title;
        const char* artist;
        const char* message;
    } cases[]{{"Song", nullptr, "#np Song  via Trillbox"},
              {"Song", "", "#np Song  via Trillbox"},
              {nullptr, "Band", "#np  by Band via Trillbox"}};
    makeController();
    controller->sharingAllowed = YES;
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.message);
        dismissShare();
        media->setTrack(expected.title, expected.artist);
        longPress();
        EXPECT_EQ(sharedMessage(), expected.message);
    }
    dismissShare();
    media->nowPlayingInfo = nullptr;
    longPress();
    EXPECT_EQ(sharedMessage(), "#np   via Trillbox");
    dismissShare();
    media->nowPlayingInfo = NSDictionary::dictionaryWithEntries({{"title", NSNumber::numberWithInteger(7)}});
    longPress();
    EXPECT_EQ(sharedMessage(), "#np   via Trillbox");
}

TEST_F(ArtworkActionsTest, ThePlaceholderOrTheSettingKeepTheArtworkOutOfTheShare) {
    media->setTrack("Song", "Band");
    makeController();
    media->playing = YES;
    controller->hostDidPresent();
    longPress();
    ASSERT_NE(sheet(), nullptr);
    EXPECT_TRUE(controller->noCover);
    EXPECT_EQ(sheet()->activityItems()->count(), 1u);

    dismissShare();
    writeSettings(NSDictionary::dictionaryWithEntries({{"shareArtwork", NSNumber::numberWithBool(false)}}));
    controller->getAndSetSettingsFromPlist();
    shareWhilePlaying();
    ASSERT_NE(sheet(), nullptr);
    EXPECT_FALSE(controller->noCover);
    EXPECT_EQ(sheet()->activityItems()->count(), 1u);
}

} // namespace
} // namespace widget_test
