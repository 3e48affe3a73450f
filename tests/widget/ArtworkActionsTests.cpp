#include "Foundation/NSNumber.h"
#include "Foundation/NSTimer.h"
#include "MediaPlayer/MPVolumeView.h"
#include "SpringBoard/SBUIController.h"
#include "UIKit/UIInputConstants.h"
#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "widget/WidgetTestSupport.h"

namespace widget_test {
namespace {

const CGPoint kArtwork{52, 52};

struct FakeUIController : SBUIController {
    std::vector<Ptr<SBApplication>> activated;
    void activateApplicationAnimated(const Ptr<SBApplication>& app) override { activated.push_back(app); }
};

class ArtworkActionsTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        media->application = std::make_shared<FakeApplication>("com.apple.Music", true);
        makeController();
    }
    // Holds the artwork, then closes what that presented, as the user would.
    void longPress() {
        drag({kArtwork}, 0.6);
        controller->dismissViewControllerAnimated(NO, nullptr);
    }
    // Which row shows; the other is hidden whole.
    bool volumeShows() const {
        const bool volume = !controller->myVolumeView()->isHidden();
        EXPECT_TRUE(controller->timeSlider()->isHidden() == volume &&
                    controller->elapsedLabel()->isHidden() == volume &&
                    controller->lengthLabel()->isHidden() == volume);
        return volume;
    }

    // The host's UI controller; nil stands for a host that has none.
    std::shared_ptr<FakeUIController> ui = std::make_shared<FakeUIController>();
    ScopedClass uiClass{[this] {
        ObjCClass description = objc_describeClass<FakeUIController>("SBUIController");
        description.sharedInstance = [this] { return Ptr<NSObject>(ui); };
        return description;
    }()};
};

TEST_F(ArtworkActionsTest, ASingleTapLaunchesThePlayerOnceADoubleTapIsRuledOut) {
    LogCapture log;
    tap(kArtwork);
    EXPECT_TRUE(ui->activated.empty());
    advance(kUITapMaximumInterval + 0.05);
    EXPECT_EQ(ui->activated, std::vector<Ptr<SBApplication>>{media->application});
    // Nothing playing and no UI controller: logged all the same.
    ui = nullptr;
    media->application = nullptr;
    controller->artworkImageViewPressedLaunch();
    const std::string prefix = "********************* [Trillbox] nowPlayingApplication -> ";
    EXPECT_EQ(log.messages(),
              (std::vector<std::string>{prefix + "<FakeApplication com.apple.Music>", prefix + "(null)"}));
}

TEST_F(ArtworkActionsTest, DoubleTapsSwitchTheBottomRowAndNeverLaunch) {
    controller->hostDidPresent();
    const Ptr<NSTimer> timer = controller->timeTimer;
    EXPECT_FALSE(volumeShows());
    for (const bool volume : {true, false}) {
        tap(kArtwork);
        advance(0.1);
        tap(kArtwork);
        EXPECT_EQ(volumeShows(), volume);
        advance(0.2);
    }
    advance(1.0);
    EXPECT_TRUE(ui->activated.empty());
    // The switch leaves the timer and the settings file alone.
    EXPECT_TRUE(controller->timeTimer == timer && timer->isValid());
    EXPECT_TRUE(std::filesystem::is_empty(deviceRoot().path()));
}

TEST_F(ArtworkActionsTest, TheShareMessageNamesTitleAndArtistFromTheNowPlayingInfoOnceSharingIsAllowed) {
    const auto info = [](NSDictionary::Entries entries) {
        return NSDictionary::dictionaryWithEntries(entries);
    };
    const struct {
        Ptr<NSDictionary> info;
        const char* message;
    } cases[]{
        {info({{"title", NSStr("Song")}, {"artist", NSStr("Band")}}), "#np Song by Band via Trillbox"},
        {info({{"title", NSStr("Song")}}), "#np Song  via Trillbox"},
        {info({{"title", NSStr("Song")}, {"artist", NSStr("")}}), "#np Song  via Trillbox"},
        {info({{"artist", NSStr("Band")}}), "#np  by Band via Trillbox"},
        {info({{"title", NSNumber::numberWithInteger(7)}}), "#np   via Trillbox"},
        {nullptr, "#np   via Trillbox"},
    };
    longPress(); // before anything played: an alert instead
    ASSERT_EQ(alertPresenter->shown.size(), 1u);
    EXPECT_EQ(NSStringText(alertPresenter->shown[0]->message()),
              "Please start playing a track first before you share.");
    EXPECT_TRUE(controllerPresenter->presented.empty());
    media->title = NSStr("Line Title"); // the info line's source, not the share's
    controller->sharingAllowed = YES;
    for (const auto& test : cases) {
        media->nowPlayingInfo = test.info;
        longPress();
        EXPECT_EQ(controllerPresenter->sharedMessage(), test.message);
    }
}

TEST_F(ArtworkActionsTest, TheArtworkIsSharedUnlessItIsThePlaceholderOrTheSettingSaysNo) {
    media->setTrack("Song", "Band");
    media->playing = YES;
    controller->hostDidPresent();
    longPress();
    EXPECT_EQ(controllerPresenter->sharedItems()->count(), 1u); // the placeholder
    media->artworkImage = bundleImage("forward");
    controller->setArtworkImageWithUIImage(nullptr);
    longPress();
    ASSERT_EQ(controllerPresenter->sharedItems()->count(), 2u);
    EXPECT_EQ(controllerPresenter->sharedItems()->objectAtIndex(1), media->artworkImage);
    writeSettings(NSDictionary::dictionaryWithEntries({{"shareArtwork", NSNumber::numberWithBool(false)}}));
    controller->getAndSetSettingsFromPlist();
    longPress();
    EXPECT_EQ(controllerPresenter->sharedItems()->count(), 1u);
}

} // namespace
} // namespace widget_test
