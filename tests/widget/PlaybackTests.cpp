#include "Foundation/NSTimer.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIImageView.h"
#include "UIKit/UISlider.h"
#include "WidgetTestSupport.h"
#include "marquee/MarqueeLabel.h"

namespace widget_test {
namespace {

const CGPoint kPlayButton{210, 52};
const CGPoint kLastButton{136, 52};
const CGPoint kNextButton{284, 52};

class PlaybackTest : public WidgetTest {
protected:
    std::string info() const { return NSStringText(controller->infoLabel()->text()); }
    bool playImageShows(const char* name) const {
        return isBundleImage(controller->playButton()->imageForState(UIControlStateNormal), name);
    }
    std::size_t ticks() const { return media->count("nowPlayingApplication"); }
};

TEST_F(PlaybackTest, PlayAndPauseSwapTheImageAndRunAtMostOneTimer) {
    makeController();
    tap(kPlayButton);
    EXPECT_EQ(media->count("togglePlayPause"), 1u);
    // The media controller applies the toggle at the next pass.
    EXPECT_FALSE(media->playing);
    advance(0.01);
    EXPECT_TRUE(playImageShows("pause"));
    ASSERT_NE(controller->timeTimer, nullptr);
    EXPECT_TRUE(controller->timeTimer->isValid());
    EXPECT_TRUE(media->playing);

    tap(kPlayButton);
    advance(0.01);
    EXPECT_TRUE(playImageShows("play"));
    EXPECT_FALSE(controller->timeTimer->isValid());
    EXPECT_FALSE(media->playing);

    for (int press = 0; press < 5; ++press) {
        controller->togglePlay(nullptr);
        advance(0.01);
    }
    // Five presses from paused end playing, with one timer.
    EXPECT_TRUE(media->playing);
    const std::size_t before = ticks();
    advance(1.0);
    EXPECT_EQ(ticks() - before, 2u);
}

TEST_F(PlaybackTest, PlayPressAllowsSharingEvenWhenNothingPlays) {
    makeController();
    controller->togglePlay(nullptr);
    EXPECT_TRUE(controller->sharingAllowed);
}

TEST_F(PlaybackTest, TheInfoLineShowsTitleAndArtistWithoutEverPrintingNull) {
    makeController();
    const struct {
        const char* title;
        const char* artist;
        const char* text;
        BOOL sharing;
    } cases[]{{"Song", "Band", "Song - Band", YES},
              {"Song", "", "Song - ", YES},
              {"Song", nullptr, "Song - ", YES},
              {"", "Band", "Not Playing", NO},
              {nullptr, nullptr, "Not Playing", NO}};
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.text);
        controller->elapsedLabel()->setText(NSStr("01:00"));
        controller->lengthLabel()->setText(NSStr("02:00"));
        media->setTrack(expected.title, expected.artist);
        controller->setInfoLabelTextWithString(nullptr);
        EXPECT_EQ(info(), expected.text);
        EXPECT_EQ(controller->sharingAllowed, expected.sharing);
        const char* times = expected.sharing ? "01:00" : "-_-";
        EXPECT_EQ(NSStringText(controller->elapsedLabel()->text()), times);
        EXPECT_EQ(NSStringText(controller->lengthLabel()->text()), expected.sharing ? "02:00" : "-_-");
    }
}

TEST_F(PlaybackTest, ArtworkOrThePlaceholderFillsTheArtworkView) {
    makeController();
    media->artworkImage = bundleImage("forward");
    controller->setArtworkImageWithUIImage(nullptr);
    EXPECT_EQ(controller->artworkImageView()->image(), media->artworkImage);
    EXPECT_EQ(controller->artworkImage, media->artworkImage);
    EXPECT_FALSE(controller->noCover);
    EXPECT_EQ(controller->artworkImageView()->contentMode(), UIViewContentModeScaleAspectFit);

    media->artworkImage = nullptr;
    controller->setArtworkImageWithUIImage(nullptr);
    EXPECT_TRUE(isBundleImage(controller->artworkImageView()->image(), "no_cover"));
    EXPECT_EQ(controller->artworkImage, controller->artworkImageView()->image());
    EXPECT_TRUE(controller->noCover);
}

TEST_F(PlaybackTest, PreviousAndNextChangeTrackRefreshAndRewindTheSlider) {
    makeController();
    media->duration = 300;
    media->elapsed = 120;
    controller->hostDidPresent();
    advance(0.5);
    EXPECT_FLOAT_EQ(controller->timeSlider()->value(), 120);

    media->setTrack("Next Song", "Band");
    tap(kNextButton);
    EXPECT_EQ(media->trackChanges, std::vector<std::int32_t>{1});
    EXPECT_FLOAT_EQ(controller->timeSlider()->value(), 0);
    EXPECT_EQ(info(), "Next Song - Band");
    EXPECT_TRUE(controller->noCover);

    media->setTrack("", nullptr);
    tap(kLastButton);
    EXPECT_EQ(media->trackChanges, (std::vector<std::int32_t>{1, -1}));
    EXPECT_EQ(info(), "Not Playing");
    EXPECT_FLOAT_EQ(controller->timeSlider()->value(), 0);
}

} // namespace
} // namespace widget_test
