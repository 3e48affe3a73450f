#include <gtest/gtest.h>

#include <cmath>

#include "Foundation/NSNotificationCenter.h"
#include "host/DemoPlayer.h"
#include "host/HostServices.h"
#include "support/TestSupport.h"

namespace {

class DemoPlayerTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        token = NSNotificationCenter::defaultCenter()->addObserverForName(
            SBMediaNowPlayingChangedNotification, nullptr, [this](const Ptr<NSNotification>&) { ++posts; });
    }
    void makePlayer(std::vector<host::DemoTrack> tracks = {
                        {"One", "A", 10, ""}, {"Two", std::nullopt, 20, ""}, {"Three", "C", 30, ""}}) {
        player = alloc<host::DemoPlayer>()->initWithTracks(std::move(tracks));
    }
    std::string title() const {
        return player->nowPlayingTitle() ? NSStringText(player->nowPlayingTitle()) : "(nothing)";
    }

    Ptr<host::DemoPlayer> player;
    Ptr<NSObject> token;
    int posts = 0;
};

TEST_F(DemoPlayerTest, AToggleFreezesTheTimeFromTheNextPassAndAfterAStopPlayStartsOver) {
    makePlayer();
    advance(2.5);
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 2.5);
    EXPECT_EQ(posts, 1); // the start, posted from the run loop
    player->togglePlayPause();
    EXPECT_TRUE(player->isPlaying()); // still the state from before
    NSRunLoop::mainRunLoop()->runPass();
    EXPECT_FALSE(player->isPlaying());
    advance(5);
    player->togglePlayPause();
    advance(2);
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 4.5);
    player->stop();
    EXPECT_EQ(player->nowPlayingApplication(), nullptr);
    EXPECT_EQ(player->nowPlayingInfo()->count(), 0u);
    advance(100); // a stopped player never reaches a track's end
    EXPECT_EQ(title(), "(nothing)");
    player->togglePlayPause();
    advance(1);
    EXPECT_EQ(title(), "One");
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 1);
}

TEST_F(DemoPlayerTest, AtTheEndOfATrackOrASeekToItTheNextPlaysAndAfterTheLastTheFirst) {
    makePlayer();
    advance(10.5);
    EXPECT_EQ(title(), "Two");
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 0.5);
    advance(19.5 + 30 + 1);
    EXPECT_EQ(title(), "One");
    EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 1);
    EXPECT_EQ(posts, 4);
    // Seeks stay within the track.
    for (const auto& [seconds, expected] :
         std::vector<std::pair<float, double>>{{7.25f, 7.25}, {-3, 0}, {NAN, 0}, {99, 10}}) {
        player->setCurrentTrackTime(seconds);
        EXPECT_DOUBLE_EQ(player->trackElapsedTime(), expected) << seconds;
    }
    advance(0);
    EXPECT_EQ(title(), "Two");
    // A track of unknown length plays on until left.
    makePlayer({{"Stream", "Radio", 0, ""}, {"After", "B", 5, ""}});
    advance(1000);
    EXPECT_EQ(title(), "Stream");
}

TEST_F(DemoPlayerTest, ChangingTrackWrapsBothWaysKeepsPlayingAndStartsAtZero) {
    const std::vector<std::pair<std::vector<int>, std::string>> cases = {
        {{1}, "Two"},          {{1, 1}, "Three"}, {{1, 1, 1}, "One"}, {{-1}, "Three"},
        {{-1, -1, -1}, "One"}, {{-4}, "Three"},   {{5}, "Three"},
    };
    for (const auto& [changes, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(changes));
        makePlayer();
        posts = 0;
        advance(4);
        for (const int change : changes) {
            EXPECT_TRUE(player->changeTrack(change));
        }
        EXPECT_EQ(title(), expected);
        EXPECT_DOUBLE_EQ(player->trackElapsedTime(), 0);
        EXPECT_TRUE(player->isPlaying());
        // Changes within one pass are announced once.
        advance(0.1);
        EXPECT_EQ(posts, 2);
    }
    EXPECT_FALSE(player->changeTrack(0));
}

TEST_F(DemoPlayerTest, APlayerThatGoesAwayLeavesNothingToRun) {
    makePlayer(); // its first announcement and the track's end are scheduled
    player->togglePlayPause();
    const WeakPtr<host::DemoPlayer> gone = player;
    player.reset();
    EXPECT_TRUE(gone.expired());
    advance(60);
    EXPECT_EQ(posts, 0);
}

} // namespace
