#include "Foundation/NSTimer.h"
#include "UIKit/UIImageView.h"
#include "marquee/MarqueeLabel.h"
#include "widget/WidgetTestSupport.h"

namespace widget_test {
namespace {

class LifecycleTest : public WidgetTest {
protected:
    // Only the track-time tick asks for the playing application.
    std::size_t ticks() const { return media->count("nowPlayingApplication"); }
    void postNowPlayingChanged() {
        NSNotificationCenter::defaultCenter()->postNotificationName(SBMediaNowPlayingChangedNotification,
                                                                    nullptr);
    }
};

TEST_F(LifecycleTest, PresentationStartsTheTicksAndShowsWhatPlays) {
    media->setTrack("Song", "Band");
    media->artworkImage = bundleImage("backward");
    for (const BOOL playing : {YES, NO}) {
        SCOPED_TRACE(playing);
        media->playing = playing;
        media->calls.clear();
        makeController();
        EXPECT_TRUE(media->calls.empty()); // building the view asks nothing
        controller->hostDidPresent();
        EXPECT_TRUE(buttonShows(controller->playButton(), playing ? "pause" : "play"));
        EXPECT_EQ(NSStringText(controller->infoLabel()->text()), playing ? "Song - Band" : "Not Playing");
        EXPECT_EQ(isBundleImage(controller->artworkImageView()->image(), "not_playing"), !playing);
        advance(0.5 - 1e-6);
        EXPECT_EQ(ticks(), 0u);
        advance(1.0);
        EXPECT_EQ(ticks(), 2u);
        controller->hostDidDismiss();
    }
}

TEST_F(LifecycleTest, SecondPresentationKeepsOneTimer) {
    makeController();
    controller->hostDidPresent();
    advance(0.2);
    controller->hostDidPresent();
    advance(2.0); // one timer started at 0.2: ticks at 0.7, 1.2, 1.7 and 2.2
    EXPECT_EQ(ticks(), 4u);
    controller->hostDidDismiss(); // stops the ticks until the next presentation
    advance(5.0);
    EXPECT_EQ(ticks(), 4u);
    controller->hostDidPresent();
    advance(0.5);
    EXPECT_EQ(ticks(), 5u);
}

TEST_F(LifecycleTest, NowPlayingChangeRefreshesArtworkThenTitleOnceAfterARebuild) {
    makeController();
    controller->setView(nullptr); // a second build replaces the registration
    controller->view();
    media->setTrack("Song", "Band");
    postNowPlayingChanged();
    EXPECT_EQ(NSStringText(controller->infoLabel()->text()), "Song - Band");
    EXPECT_TRUE(isBundleImage(controller->artworkImageView()->image(), "no_cover"));
    EXPECT_EQ(media->count("artwork"), 1u);
    ASSERT_FALSE(media->calls.empty());
    EXPECT_EQ(media->calls.front(), "artwork");
}

TEST_F(LifecycleTest, OnlyARunningTimerKeepsTheControllerAndAGoneOneHearsNothing) {
    makeController();
    controller->hostDidPresent();
    const WeakPtr<TrillboxViewControllerNew> held = controller;
    controller.reset();
    EXPECT_FALSE(held.expired());
    held.lock()->hostDidDismiss();
    ASSERT_TRUE(held.expired());
    media->calls.clear();
    postNowPlayingChanged();
    EXPECT_TRUE(media->calls.empty());
}

} // namespace
} // namespace widget_test
