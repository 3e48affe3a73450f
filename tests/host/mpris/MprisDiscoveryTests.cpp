#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Foundation/NSLog.h"
#include "support/MprisBusTestSupport.h"

namespace {

using ::testing::Contains;

class MprisDiscoveryBusTest : public MprisBusTest {};

TEST_F(MprisDiscoveryBusTest, PlayersAreFollowedAsTheyComeAndGo) {
    auto& first = addPlayer(FakeMprisPlayer::playing("first", "Already Playing"));
    connect();
    // Found by listing the bus.
    ASSERT_TRUE(waitForTitle("Already Playing"));
    EXPECT_TRUE(_controller->isPlaying());

    // Found live, and followed: it started playing last.
    auto& second = addPlayer(FakeMprisPlayer::playing("second", "Just Started"));
    ASSERT_TRUE(waitForTitle("Just Started"));

    removePlayer(second);
    ASSERT_TRUE(waitForTitle("Already Playing"));
    removePlayer(first);
    ASSERT_TRUE(
        waitUntil([&] { return !_controller->nowPlayingTitle() && !_controller->nowPlayingApplication(); }));
    EXPECT_FALSE(_controller->isPlaying());
}

TEST_F(MprisDiscoveryBusTest, PlayerctldIsSkippedAndANameSelectsAPlayer) {
    addPlayer(FakeMprisPlayer::playing("playerctld", "Proxy Copy"));
    auto vlcSpec = FakeMprisPlayer::playing("vlc.instance4242", "Local Track");
    vlcSpec.root["Identity"] = std::string("VLC media player");
    vlcSpec.player["PlaybackStatus"] = std::string("Paused");
    addPlayer(vlcSpec);
    auto& other = addPlayer(FakeMprisPlayer::playing("other", "Other Track"));

    connect();
    ASSERT_TRUE(waitForTitle("Other Track"));
    // With the only real player playing gone, the paused one is followed: the
    // playerctld copy, though "playing", never is.
    removePlayer(other);
    ASSERT_TRUE(waitForTitle("Local Track"));
    EXPECT_EQ(_controller->nowPlayingApplication()->description(), "VLC media player");

    for (const char* name : {"vlc", "VLC media player"}) {
        connect({.playerName = name});
        EXPECT_TRUE(waitForTitle("Local Track")) << name;
    }
    connect({.playerName = "spotify"});
    addPlayer(FakeMprisPlayer::playing("other2", "Not Selected"));
    auto& spotify = addPlayer(FakeMprisPlayer::playing("spotify", "Selected"));
    ASSERT_TRUE(waitForTitle("Selected"));
    spotify.set(FakeMprisPlayer::kPlayerInterface, "Metadata",
                FakeMprisPlayer::metadata("Selected Again", "Artist", "/track/2", 1'000'000));
    ASSERT_TRUE(waitForTitle("Selected Again"));
}

TEST_F(MprisDiscoveryBusTest, ChangesAndInvalidationsRefreshTheModel) {
    auto& player = addPlayer(FakeMprisPlayer::playing("fake", "One"));
    connect();
    int notifications = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        SBMediaNowPlayingChangedNotification, nullptr, [&](const Ptr<NSNotification>&) { ++notifications; });
    // The notification follows the model within a pass.
    ASSERT_TRUE(waitUntil([&] { return notifications == 1; }));
    EXPECT_EQ(title(), "One");

    player.set(FakeMprisPlayer::kPlayerInterface, "Metadata",
               FakeMprisPlayer::metadata("Two", "Someone", "/track/2", 90'000'000));
    ASSERT_TRUE(waitForTitle("Two"));
    EXPECT_EQ(artist(), "Someone");
    EXPECT_DOUBLE_EQ(_controller->trackDuration(), 90.0);

    // A player that only says a property changed is asked for all of them again.
    player.store(FakeMprisPlayer::kPlayerInterface, "Metadata",
                 FakeMprisPlayer::metadata("Three", "Someone", "/track/3", 60'000'000));
    player.store(FakeMprisPlayer::kPlayerInterface, "PlaybackStatus", std::string("Paused"));
    player.emitPropertiesChanged(FakeMprisPlayer::kPlayerInterface, {}, {"Metadata", "PlaybackStatus"});
    ASSERT_TRUE(waitForTitle("Three"));
    EXPECT_FALSE(_controller->isPlaying());

    player.store(FakeMprisPlayer::kRootInterface, "Identity", std::string("Renamed Player"));
    player.emitPropertiesChanged(FakeMprisPlayer::kRootInterface, {}, {"Identity"});
    ASSERT_TRUE(
        waitUntil([&] { return _controller->nowPlayingApplication()->description() == "Renamed Player"; }));
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

TEST_F(MprisDiscoveryBusTest, CommandsReachThePlayer) {
    auto& player = addPlayer(FakeMprisPlayer::playing("fake", "Song"));
    connect();
    ASSERT_TRUE(waitForTitle("Song"));

    EXPECT_TRUE(_controller->togglePlayPause());
    // The cached status changes only when the player reports it.
    EXPECT_TRUE(_controller->isPlaying());
    ASSERT_TRUE(waitUntil([&] { return !_controller->isPlaying(); }));

    _controller->changeTrack(1);
    _controller->changeTrack(-1);
    _controller->setCurrentTrackTime(20.0f);
    _volume->setVolume(0.5f);
    ASSERT_TRUE(_controller->activateApplication(_controller->nowPlayingApplication()));
    ASSERT_TRUE(waitUntil([&] { return player.calls().size() == 6; }));
    EXPECT_EQ(player.calls(),
              (std::vector<std::string>{"PlayPause", "Next", "Previous", "SetPosition /track/1 20000000",
                                        "Volume 0.500000", "Raise"}));
    // The player's Seeked settles the position; paused, it stays there.
    EXPECT_NEAR(_controller->trackElapsedTime(), 20.0, 1e-6);
    EXPECT_FLOAT_EQ(_volume->volume(), 0.5f);
}

TEST_F(MprisDiscoveryBusTest, WithoutUsableTrackIdSeekingMovesByTheDifference) {
    auto spec = FakeMprisPlayer::playing("fake", "Stream");
    spec.player["PlaybackStatus"] = std::string("Paused");
    spec.player["Position"] = std::int64_t{30'000'000};
    auto metadata = FakeMprisPlayer::metadata("Stream", "Radio", "/unused", 120'000'000);
    metadata["mpris:trackid"] = sdbus::Variant(std::string("not a path"));
    spec.player["Metadata"] = metadata;
    auto& player = addPlayer(spec);
    connect();
    ASSERT_TRUE(waitUntil([&] { return title() == "Stream" && _controller->trackElapsedTime() == 30.0; }));

    _controller->setCurrentTrackTime(45.0f);
    ASSERT_TRUE(waitUntil([&] { return !player.calls().empty(); }));
    EXPECT_THAT(player.calls(), Contains("Seek 15000000"));
}

TEST_F(MprisDiscoveryBusTest, BusGoingAwayLeavesNothingPlayingUntilItIsBack) {
    std::vector<std::string> log;
    NSLogSetSink([&](const std::string& message) { log.push_back(message); });
    addPlayer(FakeMprisPlayer::playing("fake", "Before"));
    connect();
    ASSERT_TRUE(waitForTitle("Before"));

    _bus->stop();
    ASSERT_TRUE(waitUntil([&] { return !_controller->nowPlayingTitle(); }));
    EXPECT_FALSE(_controller->isPlaying());
    EXPECT_FALSE(_controller->togglePlayPause());
    _players.clear();

    // The client connects again by itself.
    ASSERT_TRUE(_bus->start());
    addPlayer(FakeMprisPlayer::playing("fake", "After"));
    ASSERT_TRUE(waitForTitle("After", 10));
    NSLogSetSink(nullptr);
    EXPECT_THAT(log, Contains("MPRIS: lost the session bus"));
}

} // namespace
