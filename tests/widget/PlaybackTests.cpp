#include "Foundation/NSNotificationCenter.h"
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

TEST_F(PlaybackTest, TheButtonAndTimeRowFollowThePlayerWithinOnePassOnOneTimer) {
    media->duration = 3725;
    controller->hostDidPresent();
    // A change made elsewhere, or by a press here (the player toggles at the next pass); then the
    // player's change notification.
    const struct {
        const char* change;
        bool pressedHere;
        const char* title;
        double elapsed;
        const char* image;
        const char* times; // elapsed and remaining
        std::size_t ticksPerSecond;
    } cases[]{{"played here", true, "Song", 0, "pause", "00:00 1:02:05", 2},
              {"paused elsewhere", false, "Song", 130, "play", "02:10 59:55", 2},
              {"resumed on the next track elsewhere", false, "Next", 0, "pause", "00:00 1:02:05", 2},
              {"paused here", true, "Next", 5, "play", "00:05 1:02:00", 0},
              {"resumed elsewhere", false, "Next", 5, "pause", "00:05 1:02:00", 2},
              {"stopped elsewhere", false, nullptr, 0, "play", "-_- -_-", 2}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.change);
        media->setTrack(test.title, "Band");
        media->elapsed = test.elapsed;
        if (test.pressedHere) {
            tap(kPlayButton);
            EXPECT_TRUE(controller->sharingAllowed && buttonShows(controller->playButton(), test.image));
        } else {
            media->playing = std::string_view(test.image) == "pause";
        }
        NSRunLoop::mainRunLoop()->performSoon([] {
            NSNotificationCenter::defaultCenter()->postNotificationName(SBMediaNowPlayingChangedNotification,
                                                                        nullptr);
        });
        NSRunLoop::mainRunLoop()->runPass();
        EXPECT_TRUE(buttonShows(controller->playButton(), test.image));
        EXPECT_EQ(NSStringText(controller->elapsedLabel()->text()) + " " +
                      NSStringText(controller->lengthLabel()->text()),
                  test.times);
        media->calls.clear();
        advance(1.0);
        EXPECT_EQ(media->count("nowPlayingApplication"), test.ticksPerSecond); // asked once per tick
    }
}

} // namespace
} // namespace widget_test
