#include "Foundation/NSTimer.h"
#include "UIKit/UIButton.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIImageView.h"
#include "WidgetTestSupport.h"
#include "marquee/MarqueeLabel.h"
#include "widget/TrillboxView.h"
#include "support/TestPaths.h"

namespace widget_test {
namespace {

class LifecycleTest : public WidgetTest {
protected:
    // Ticks so far: only the track-time tick asks for the playing application.
    std::size_t ticks() const { return media->count("nowPlayingApplication"); }
    void postNowPlayingChanged() {
        NSNotificationCenter::defaultCenter()->postNotificationName(SBMediaNowPlayingChangedNotification,
                                                                    nullptr);
    }
};

TEST_F(LifecycleTest, BuildsA320By105TransparentRootAndStartsFromTheHostState) {
    makeController();
    const Ptr<UIView> root = controller->view();
    EXPECT_TRUE(as<TrillboxView>(root));
    EXPECT_TRUE(CGRectEqualToRect(root->frame(), CGRectMake(0, 0, 320, 105)));
    EXPECT_TRUE(NSObjectsEqual(root->backgroundColor(), UIColor::clearColor()));
    EXPECT_EQ(controller->preferredViewSize(), CGSizeMake(320, 105));
    EXPECT_EQ(controller->SBMController, media);
    EXPECT_EQ(NSStringText(controller->bundle()->bundlePath()), TRILLBOX_BUNDLE_DIR);
    EXPECT_FALSE(controller->sliderIsTouched);
    EXPECT_FALSE(controller->sharingAllowed);
    EXPECT_TRUE(controller->noCover);
    EXPECT_EQ(controller->timeTimer, nullptr);
    // Building the view asks the media controller nothing.
    EXPECT_TRUE(media->calls.empty());
}

TEST_F(LifecycleTest, PresentationWhilePlayingShowsPauseRefreshesAndTicks) {
    media->playing = YES;
    media->setTrack("Song", "Band");
    media->artworkImage = bundleImage("backward");
    makeController();
    controller->hostDidPresent();

    EXPECT_TRUE(isBundleImage(controller->playButton()->imageForState(UIControlStateNormal), "pause"));
    EXPECT_EQ(NSStringText(controller->infoLabel()->text()), "Song - Band");
    EXPECT_EQ(controller->artworkImageView()->image(), media->artworkImage);
    EXPECT_TRUE(controller->sharingAllowed);
    EXPECT_EQ(ticks(), 0u);
    advance(0.5);
    EXPECT_EQ(ticks(), 1u);
    advance(1.0);
    EXPECT_EQ(ticks(), 3u);
}

TEST_F(LifecycleTest, PresentationWhileNotPlayingKeepsTheBuildsPlaceholdersAndTicks) {
    media->setTrack("Song", "Band");
    makeController();
    controller->hostDidPresent();

    EXPECT_TRUE(isBundleImage(controller->playButton()->imageForState(UIControlStateNormal), "play"));
    EXPECT_EQ(NSStringText(controller->infoLabel()->text()), "Not Playing");
    EXPECT_TRUE(isBundleImage(controller->artworkImageView()->image(), "not_playing"));
    EXPECT_FALSE(controller->sharingAllowed);
    advance(1.0);
    EXPECT_EQ(ticks(), 2u);
}

TEST_F(LifecycleTest, SecondPresentationKeepsOneTimer) {
    makeController();
    controller->hostDidPresent();
    const Ptr<NSTimer> first = controller->timeTimer;
    advance(0.2);
    controller->hostDidPresent();
    EXPECT_FALSE(first->isValid());
    advance(2.0);
    // One timer started at 0.2: ticks at 0.7, 1.2, 1.7 and 2.2.
    EXPECT_EQ(ticks(), 4u);
    EXPECT_DOUBLE_EQ(controller->timeTimer->timeInterval(), 0.5);
}

TEST_F(LifecycleTest, DismissalStopsTheTicksUntilTheNextPresentation) {
    makeController();
    controller->hostDidPresent();
    advance(1.0);
    controller->hostDidDismiss();
    advance(5.0);
    EXPECT_EQ(ticks(), 2u);
    ASSERT_NE(controller->timeTimer, nullptr);
    EXPECT_FALSE(controller->timeTimer->isValid());

    controller->hostDidPresent();
    advance(0.5);
    EXPECT_EQ(ticks(), 3u);
}

TEST_F(LifecycleTest, NowPlayingChangeWhileDismissedRefreshesArtworkThenTitle) {
    makeController();
    controller->hostDidPresent();
    controller->hostDidDismiss();
    media->setTrack("Song", "Band");
    media->calls.clear();
    postNowPlayingChanged();

    EXPECT_EQ(NSStringText(controller->infoLabel()->text()), "Song - Band");
    EXPECT_TRUE(isBundleImage(controller->artworkImageView()->image(), "no_cover"));
    ASSERT_FALSE(media->calls.empty());
    EXPECT_EQ(media->calls.front(), "artwork");
}

TEST_F(LifecycleTest, RebuildingTheViewKeepsOneRegistration) {
    makeController();
    controller->setView(nullptr);
    controller->view();
    postNowPlayingChanged();
    EXPECT_EQ(media->count("artwork"), 1u);
}

TEST_F(LifecycleTest, DestroyedControllerReceivesNoNotification) {
    makeController();
    controller->hostDidPresent();
    controller->hostDidDismiss();
    const WeakPtr<TrillboxViewControllerNew> gone = controller;
    controller.reset();
    // Once dismissed nothing but the host holds the controller.
    ASSERT_TRUE(gone.expired());

    media->calls.clear();
    postNowPlayingChanged();
    EXPECT_TRUE(media->calls.empty());
}

TEST_F(LifecycleTest, RunningTimerKeepsTheControllerAlive) {
    makeController();
    controller->hostDidPresent();
    const WeakPtr<TrillboxViewControllerNew> held = controller;
    const Ptr<NSTimer> timer = controller->timeTimer;
    controller.reset();
    EXPECT_FALSE(held.expired());
    timer->invalidate();
    EXPECT_TRUE(held.expired());
}

} // namespace
} // namespace widget_test
