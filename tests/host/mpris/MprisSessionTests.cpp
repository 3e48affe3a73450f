#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "MprisTestSupport.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Status = MprisPlaybackStatus;

TEST_F(MprisSessionTest, FollowsThePlayerThatMostRecentlyStartedPlaying) {
    _session->playerChanged(makePlayer(":1.1", "alpha", Status::playing));
    _session->playerChanged(makePlayer(":1.2", "beta", Status::paused));
    EXPECT_EQ(followedOwner(), ":1.1");

    _session->playerChanged(makePlayer(":1.2", "beta", Status::playing));
    EXPECT_EQ(followedOwner(), ":1.2");
    // A paused player gives way to one still playing...
    _session->playerChanged(makePlayer(":1.2", "beta", Status::paused));
    EXPECT_EQ(followedOwner(), ":1.1");
    // ...and with nothing playing the last one to start is followed, even through a
    // brief Stopped between tracks.
    _session->playerChanged(makePlayer(":1.1", "alpha", Status::paused));
    EXPECT_EQ(followedOwner(), ":1.2");
    _session->playerChanged(makePlayer(":1.1", "alpha", Status::playing));
    _session->playerChanged(makePlayer(":1.1", "alpha", Status::stopped));
    EXPECT_EQ(followedOwner(), ":1.1");

    // When the followed player goes, the next one is followed and asked where it is.
    _commands->take();
    _session->playerRemoved(":1.1");
    EXPECT_EQ(followedOwner(), ":1.2");
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.2"));
    _session->playerRemoved(":1.2");
    EXPECT_EQ(_session->followedPlayer(), nullptr);
    EXPECT_FALSE(_session->isPlaying());
    EXPECT_EQ(_session->elapsedSeconds(), 0);
    EXPECT_EQ(_session->durationSeconds(), 0);
}

TEST_F(MprisSessionTest, PlayersThatNeverPlayedFollowTheOrderOfAppearance) {
    _session->playerChanged(makePlayer(":1.1", "alpha", Status::stopped));
    EXPECT_EQ(followedOwner(), ":1.1");
    _session->playerChanged(makePlayer(":1.2", "beta", Status::paused));
    EXPECT_EQ(followedOwner(), ":1.2");
    // Having played once outranks having appeared later.
    _session->playerChanged(makePlayer(":1.1", "alpha", Status::playing));
    _session->playerChanged(makePlayer(":1.1", "alpha", Status::paused));
    _session->playerChanged(makePlayer(":1.3", "gamma", Status::stopped));
    EXPECT_EQ(followedOwner(), ":1.1");
}

TEST_F(MprisSessionTest, PlayerNamePicksByBusNameSuffixOrIdentity) {
    makeSession({.playerName = "beta"});
    _session->playerChanged(makePlayer(":1.1", "alpha", Status::playing));
    EXPECT_EQ(_session->followedPlayer(), nullptr);
    _session->playerChanged(makePlayer(":1.2", "betamax", Status::playing));
    EXPECT_EQ(_session->followedPlayer(), nullptr);
    _session->playerChanged(makePlayer(":1.3", "beta.instance4711", Status::paused));
    EXPECT_EQ(followedOwner(), ":1.3");

    makeSession({.playerName = "Alpha Player"});
    auto alpha = makePlayer(":1.1", "alpha", Status::paused);
    alpha.identity = "alpha player";
    _session->playerChanged(alpha);
    _session->playerChanged(makePlayer(":1.2", "beta", Status::playing));
    EXPECT_EQ(followedOwner(), ":1.1");
}

TEST_F(MprisSessionTest, PositionIsExtrapolatedAndReanchored) {
    auto player = makePlayer(":1.1", "alpha", Status::playing);
    _session->playerChanged(player);
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1"));
    _session->positionRead(":1.1", 10'000'000);
    advance(2.5);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 12.5);

    player.rate = 2.0;
    _session->playerChanged(player);
    advance(1);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 14.5);

    // Pausing freezes the estimate where it stood, and the position is read again.
    player.status = Status::paused;
    _session->playerChanged(player);
    advance(10);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 14.5);
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1"));

    // Seeked re-anchors; the estimate never passes the track's end.
    player.status = Status::playing;
    player.rate = 1.0;
    _session->playerChanged(player);
    _session->playerSeeked(":1.1", 198'000'000);
    advance(5);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 200.0);
    EXPECT_DOUBLE_EQ(_session->durationSeconds(), 200.0);

    // A new track starts from 0 until its position is read.
    _commands->take();
    player.metadata.title = "Next Song";
    _session->playerChanged(player);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 0.0);
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1"));
    advance(1);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 1.0);

    // Positions of players that are not followed do not move the followed one.
    _session->positionRead(":9.9", 5);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 1.0);
}

TEST_F(MprisSessionTest, SeekUsesSetPositionWithTheTrackId) {
    _session->playerChanged(makePlayer(":1.1", "alpha", Status::playing));
    _session->positionRead(":1.1", 30'000'000);
    _commands->take();

    EXPECT_TRUE(_session->seekTo(42.5));
    EXPECT_THAT(_commands->take(), ElementsAre("SetPosition :1.1 /track/1 42500000"));
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 42.5);
    // A position read before the seek reached the player must not pull the slider back.
    _session->positionRead(":1.1", 30'000'000);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 42.5);
    _commands->finishSeek();
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1"));
    _session->positionRead(":1.1", 42'600'000);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 42.6);

    // Targets are clamped to the track.
    _session->seekTo(500);
    EXPECT_THAT(_commands->take(), ElementsAre("SetPosition :1.1 /track/1 200000000"));
    _commands->finishSeek();
    _session->seekTo(-3);
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1", "SetPosition :1.1 /track/1 0"));
    EXPECT_FALSE(_session->seekTo(std::nan("")));
}

TEST_F(MprisSessionTest, SeekWithoutTrackIdMovesByTheDifferenceAndMergesADrag) {
    auto player = makePlayer(":1.1", "alpha", Status::playing);
    player.metadata.trackId = "";
    _session->playerChanged(player);
    _session->positionRead(":1.1", 20'000'000);
    advance(1);
    _commands->take();

    // At 21 s, a drag to 50, 60 and 70: one request on its way at a time.
    _session->seekTo(50);
    _session->seekTo(60);
    _session->seekTo(70);
    EXPECT_THAT(_commands->take(), ElementsAre("Seek :1.1 29000000"));
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 70.0);
    advance(0.5);
    _commands->finishSeek();
    // The player went to 50 half a second ago: it is at 50.5 now.
    EXPECT_THAT(_commands->take(), ElementsAre("Seek :1.1 19500000"));
    _commands->finishSeek();
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1"));
    EXPECT_THAT(_commands->pendingSeeks, IsEmpty());
}

TEST_F(MprisSessionTest, PositionIsReadPeriodicallyOnlyWhilePresented) {
    _session->playerChanged(makePlayer(":1.1", "alpha", Status::playing));
    _commands->take();
    advance(10);
    EXPECT_THAT(_commands->take(), IsEmpty());

    _session->setPresented(true);
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1"));
    advance(9);
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1", "Read :1.1", "Read :1.1"));
    _session->setPresented(true);
    EXPECT_THAT(_commands->take(), IsEmpty());

    _session->setPresented(false);
    advance(30);
    EXPECT_THAT(_commands->take(), IsEmpty());
}

TEST_F(MprisSessionTest, ChangesAreAnnouncedOncePerPass) {
    auto player = makePlayer(":1.1", "alpha", Status::playing);
    _session->playerChanged(player);
    EXPECT_EQ(_announcements, 0);
    settle();
    EXPECT_EQ(_announcements, 1);

    // A title and a status change in one pass make one announcement.
    player.metadata.title = "Other";
    _session->playerChanged(player);
    player.status = Status::paused;
    _session->playerChanged(player);
    settle();
    EXPECT_EQ(_announcements, 2);

    // Volume and position changes are not what plays.
    player.volume = 0.3;
    _session->playerChanged(player);
    _session->playerSeeked(":1.1", 4'000'000);
    settle();
    EXPECT_EQ(_announcements, 2);

    player.metadata.artist = "Someone Else";
    _session->playerChanged(player);
    settle();
    EXPECT_EQ(_announcements, 3);

    _session->playerRemoved(":1.1");
    settle();
    EXPECT_EQ(_announcements, 4);
}

TEST_F(MprisSessionTest, ArtworkIsTiedToItsTrack) {
    auto player = makePlayer(":1.1", "alpha", Status::playing, "One");
    player.metadata.artUrl = "file:///art/one.png";
    _session->playerChanged(player);
    ASSERT_EQ(_artwork->loads.size(), 1u);
    EXPECT_EQ(_artwork->loads[0].url, "file:///art/one.png");

    // The track changes before its artwork arrives: the late image is dropped.
    player.metadata.title = "Two";
    player.metadata.artUrl = "file:///art/two.png";
    _session->playerChanged(player);
    ASSERT_EQ(_artwork->loads.size(), 2u);
    _artwork->loads[0].completion(solidSurface(4, 4, 1, 0, 0));
    EXPECT_FALSE(_session->artwork());
    settle();
    const int announcementsBefore = _announcements;
    _artwork->loads[1].completion(solidSurface(6, 6, 0, 1, 0));
    ASSERT_TRUE(_session->artwork());
    EXPECT_EQ(cairo_image_surface_get_width(_session->artwork().get()), 6);
    settle();
    EXPECT_EQ(_announcements, announcementsBefore + 1);

    // Same URL, next track: loaded again, the old image stays until the new one is in.
    const auto serial = _session->artworkSerial();
    player.metadata.title = "Three";
    _session->playerChanged(player);
    ASSERT_EQ(_artwork->loads.size(), 3u);
    EXPECT_EQ(_session->artworkSerial(), serial);
    EXPECT_TRUE(_session->artwork());
    _artwork->loads[2].completion(UICairoSurface());
    EXPECT_FALSE(_session->artwork());

    // A track without art URL has none; unchanged metadata loads nothing again.
    _artwork->loads[2].completion(solidSurface(6, 6, 0, 1, 0));
    player.metadata.title = "Four";
    player.metadata.artUrl = "";
    _session->playerChanged(player);
    _session->playerChanged(player);
    EXPECT_EQ(_artwork->loads.size(), 3u);
    EXPECT_FALSE(_session->artwork());
}

TEST_F(MprisSessionTest, CommandsGoToTheFollowedPlayer) {
    EXPECT_FALSE(_session->togglePlayPause());
    EXPECT_FALSE(_session->changeTrack(1));
    EXPECT_FALSE(_session->seekTo(3));
    EXPECT_FALSE(_session->setVolume(0.5));
    EXPECT_THAT(_commands->take(), IsEmpty());

    auto alpha = makePlayer(":1.1", "alpha", Status::playing);
    alpha.canRaise = true;
    _session->playerChanged(alpha);
    _session->playerChanged(makePlayer(":1.2", "beta", Status::paused));
    _commands->take();
    alpha.canSeek = false;
    _session->playerChanged(alpha);
    EXPECT_FALSE(_session->seekTo(10));
    EXPECT_TRUE(_session->togglePlayPause());
    EXPECT_TRUE(_session->changeTrack(-1));
    EXPECT_TRUE(_session->changeTrack(1));
    EXPECT_FALSE(_session->changeTrack(0));
    EXPECT_TRUE(_session->raisePlayer(":1.1"));
    EXPECT_FALSE(_session->raisePlayer(":1.2"));
    EXPECT_FALSE(_session->raisePlayer(":7.7"));
    EXPECT_TRUE(_session->setVolume(1.7));
    EXPECT_THAT(_commands->take(), ElementsAre("PlayPause :1.1", "Previous :1.1", "Next :1.1", "Raise :1.1",
                                               "Volume :1.1 1.000000"));
    EXPECT_DOUBLE_EQ(_session->volume(), 1.0);
    // The cached status changes only when the player reports it.
    EXPECT_TRUE(_session->isPlaying());
}

} // namespace
