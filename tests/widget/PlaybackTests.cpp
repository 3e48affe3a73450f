#include "Foundation/NSTimer.h"
#include "UIKit/UILabel.h"
#include "UIKit/UISlider.h"
#include "marquee/MarqueeLabel.h"
#include "widget/WidgetTestSupport.h"

namespace widget_test {
namespace {

const CGPoint kLastButton{136, 52}, kPlayButton{210, 52}, kNextButton{284, 52};

class PlaybackTest : public WidgetTest {
protected:
    void SetUp() override {
        WidgetTest::SetUp();
        makeController();
    }
    std::string info() const { return NSStringText(controller->infoLabel()->text()); }
};

TEST_F(PlaybackTest, PlayAndPauseSwapTheImageAndStartOrStopTheTimer) {
    for (const char* image : {"pause", "play"}) {
        tap(kPlayButton);
        EXPECT_TRUE(controller->sharingAllowed); // even with nothing playing
        advance(0.01);                           // the media controller toggles at the next pass
        EXPECT_TRUE(buttonShows(controller->playButton(), image));
        EXPECT_EQ(controller->timeTimer->isValid(), media->playing);
    }
}

TEST_F(PlaybackTest, TheInfoLineShowsTitleAndArtistWithoutEverPrintingNull) {
    const struct {
        const char* title;
        const char* artist;
        const char* text;
    } cases[]{{"Song", "Band", "Song - Band"},
              {"Song", "", "Song - "},
              {"Song", nullptr, "Song - "},
              {"", "Band", "Not Playing"},
              {nullptr, nullptr, "Not Playing"}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text);
        controller->elapsedLabel()->setText(NSStr("01:00"));
        media->setTrack(test.title, test.artist);
        controller->setInfoLabelTextWithString(nullptr);
        EXPECT_EQ(info(), test.text);
        const bool playing = info() != "Not Playing";
        EXPECT_EQ(controller->sharingAllowed, playing);
        EXPECT_EQ(NSStringText(controller->elapsedLabel()->text()), playing ? "01:00" : "-_-");
    }
}

TEST_F(PlaybackTest, PreviousAndNextChangeTrackRefreshAndRewindTheSlider) {
    media->duration = 300;
    media->elapsed = 120;
    controller->hostDidPresent();
    advance(0.5);
    media->setTrack("Next Song", "Band");
    tap(kNextButton);
    EXPECT_FLOAT_EQ(controller->timeSlider()->value(), 0);
    EXPECT_EQ(info(), "Next Song - Band");
    tap(kLastButton);
    // A finger lifted off a button does not press it.
    drag({kNextButton, CGPointMake(284, 100)});
    drag({kPlayButton, CGPointMake(250, 100)});
    EXPECT_EQ(media->trackChanges, (std::vector<std::int32_t>{1, -1}));
    EXPECT_EQ(media->count("togglePlayPause"), 0u);
}

} // namespace
} // namespace widget_test
