#include <gtest/gtest.h>

#include <cmath>

#include "DemoPlayer.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSRuntime.h"
#include "HostServices.h"
#include "support/TestSupport.h"

namespace {

using host::DemoPlayer;
using host::DemoTrack;

class DemoPlayerTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        token = NSNotificationCenter::defaultCenter()->addObserverForName(
            SBMediaNowPlayingChangedNotification, nullptr, [this](const Ptr<NSNotification>&) { ++posts; });
    }
    void TearDown() override {
        player.reset();
        PlatformTest::TearDown();
    }
    Ptr<DemoPlayer> makePlayer(std::vector<DemoTrack> tracks = {{"One", "A", 10, ""},
                                                                {"Two", std::nullopt, 20, ""},
                                                                {"Three", "C", 30, ""}}) {
        player = alloc<DemoPlayer>()->initWithTracks(std::move(tracks));
        return player;
    }
    std::string title() { return NSStringText(player->nowPlayingTitle()); }

    Ptr<DemoPlayer> player;
    Ptr<NSObject> token;
    int posts = 0;
};

TEST_F(DemoPlayerTest, StartsPlayingTheFirstTrackAndItsTimeFollowsTheRunLoop) {
    makePlayer();
    EXPECT_TRUE(player->isPlaying());
    EXPECT_EQ(title(), "One");
    EXPECT_EQ(NSStringText(player->nowPlayingArtist()), "A");
    EXPECT_DOUBLE_EQ(player->trackDuration(), 10);
    advance(2.5);
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 2.5);
    EXPECT_EQ(posts, 1); // the start, posted from the run loop
}

TEST_F(DemoPlayerTest, AToggleTakesEffectAtTheNextPassAndFreezesTheTime) {
    makePlayer();
    advance(1);
    player->togglePlayPause();
    EXPECT_TRUE(player->isPlaying()); // still the state from before
    NSRunLoop::mainRunLoop()->runPass();
    EXPECT_FALSE(player->isPlaying());
    advance(5);
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 1);
    player->togglePlayPause();
    advance(2);
    EXPECT_TRUE(player->isPlaying());
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 3);
}

TEST_F(DemoPlayerTest, AtTheEndOfATrackItGoesOnToTheNextAndAfterTheLastToTheFirst) {
    makePlayer();
    advance(10.5);
    EXPECT_EQ(title(), "Two");
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 0.5);
    EXPECT_EQ(player->nowPlayingArtist(), nullptr);
    advance(19.5 + 30 + 1);
    EXPECT_EQ(title(), "One");
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 1);
    EXPECT_EQ(posts, 4);
}

TEST_F(DemoPlayerTest, ChangingTrackWrapsBothWaysKeepsThePlayStateAndStartsAtZero) {
    makePlayer();
    advance(4);
    player->changeTrack(-1);
    EXPECT_EQ(title(), "Three");
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 0);
    player->changeTrack(1);
    player->changeTrack(1);
    EXPECT_EQ(title(), "Two");
    EXPECT_TRUE(player->isPlaying());
    EXPECT_FALSE(player->changeTrack(0));
    // Changes within one pass are announced once.
    advance(0.1);
    EXPECT_EQ(posts, 2);
}

TEST_F(DemoPlayerTest, SeekingClampsToTheTrackAndSeekingToItsEndMovesOn) {
    makePlayer();
    player->setCurrentTrackTime(7.25f);
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 7.25);
    player->setCurrentTrackTime(-3);
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 0);
    player->setCurrentTrackTime(NAN);
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 0);
    player->setCurrentTrackTime(99);
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 10);
    advance(0);
    EXPECT_EQ(title(), "Two");
}

TEST_F(DemoPlayerTest, StoppedItPlaysNothingUntilPlayStartsTheTrackOver) {
    makePlayer();
    advance(3);
    player->stop();
    EXPECT_FALSE(player->isPlaying());
    EXPECT_EQ(player->nowPlayingTitle(), nullptr);
    EXPECT_EQ(player->nowPlayingApplication(), nullptr);
    EXPECT_DOUBLE_EQ(player->trackDuration(), 0);
    EXPECT_EQ(player->nowPlayingInfo()->count(), 0u);
    advance(100); // a stopped player never reaches a track's end
    EXPECT_EQ(player->nowPlayingTitle(), nullptr);

    player->togglePlayPause();
    advance(1);
    EXPECT_TRUE(player->isPlaying());
    EXPECT_EQ(title(), "One");
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 1);
    EXPECT_EQ(NSStringText(as<NSString>(player->nowPlayingInfo()->objectForKey("title"))), "One");
}

TEST_F(DemoPlayerTest, ATrackOfUnknownLengthPlaysOnUntilLeft) {
    makePlayer({{"Stream", "Radio", 0, ""}, {"After", "B", 5, ""}});
    advance(1000);
    EXPECT_EQ(title(), "Stream");
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 1000);
}

TEST_F(DemoPlayerTest, MissingOrBrokenArtworkIsNoArtwork) {
    TemporaryDirectory files;
    const std::string broken = files.write("broken.png", "not a png");
    makePlayer({{"No file", "A", 5, files.file("missing.png")}, {"Broken", "B", 5, broken}});
    EXPECT_EQ(player->artwork(), nullptr);
    player->skip(1);
    EXPECT_EQ(player->artwork(), nullptr);
}

TEST_F(DemoPlayerTest, RegisteredItIsTheSharedMediaControllerWithItsNowPlayingInfo) {
    makePlayer();
    host::registerDemoPlayer(player);
    const Class cls = NSClassFromString("SBMediaController");
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls->sharedInstance(), player);
    const Ivar info = class_getInstanceVariable(cls, "_nowPlayingInfo");
    ASSERT_NE(info, nullptr);
    const auto dictionary = as<NSDictionary>(object_getIvar(player.get(), info));
    ASSERT_NE(dictionary, nullptr);
    EXPECT_EQ(NSStringText(as<NSString>(dictionary->objectForKey("artist"))), "A");
    player->skip(1);
    const auto second = as<NSDictionary>(object_getIvar(player.get(), info));
    EXPECT_EQ(second->objectForKey("artist"), nullptr);
    objc_unregisterClass("SBMediaController");
}

TEST_F(DemoPlayerTest, ItsApplicationIsASystemApplicationNamedAfterThePlayer) {
    makePlayer();
    const auto application = player->nowPlayingApplication();
    ASSERT_NE(application, nullptr);
    EXPECT_TRUE(application->isSystemApplication());
    EXPECT_EQ(NSStringText(NSString::stringWithFormat("%@", application)), "Trillbox Demo Player");
}

} // namespace
