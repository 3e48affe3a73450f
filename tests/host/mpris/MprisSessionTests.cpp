#include <gmock/gmock.h>
#include <tuple>

#include "host/mpris/MprisTestSupport.h"

namespace {

using ::testing::ElementsAre;
using Status = MprisPlaybackStatus;

TEST_F(MprisSessionTest, FollowsThePlayerThatMostRecentlyStartedPlaying) {
    const struct {
        const char* owner;
        Status status;
        const char* followed;
    } steps[] = {
        // Players that never played: the latest to appear.
        {":1.1", Status::stopped, ":1.1"},
        {":1.2", Status::paused, ":1.2"},
        {":1.1", Status::playing, ":1.1"},
        // Among those playing, the latest to start; else the latest to start at all.
        {":1.2", Status::playing, ":1.2"},
        {":1.2", Status::paused, ":1.1"},
        {":1.1", Status::paused, ":1.2"},
        // Having played once outranks having appeared later.
        {":1.3", Status::stopped, ":1.2"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        _session->playerChanged(makePlayer(step.owner, step.status));
        EXPECT_EQ(_session->followedPlayer()->owner, step.followed);
    }
    // When the followed player goes, the next one is followed and asked where it is.
    _commands->take();
    _session->playerRemoved(":1.2");
    EXPECT_EQ(_session->followedPlayer()->owner, ":1.1");
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1"));
}

TEST_F(MprisSessionTest, PlayerNamePicksByBusNameSuffixOrIdentity) {
    makeSession({.players = {.names = {"beta"}}});
    _session->playerChanged(makePlayer(":1.1", Status::playing, "alpha"));
    _session->playerChanged(makePlayer(":1.2", Status::playing, "betamax"));
    _session->playerChanged(makePlayer(":1.3", Status::paused, "beta.instance4711"));
    EXPECT_EQ(_session->followedPlayer()->owner, ":1.3");

    makeSession({.players = {.names = {"Alpha Player"}}});
    auto alpha = makePlayer(":1.1", Status::paused, "alpha");
    alpha.identity = "alpha player";
    _session->playerChanged(alpha);
    _session->playerChanged(makePlayer(":1.2", Status::playing, "beta"));
    EXPECT_EQ(_session->followedPlayer()->owner, ":1.1");
}

TEST_F(MprisSessionTest, PositionIsExtrapolatedAndReanchored) {
    auto player = makePlayer(":1.1");
    _session->playerChanged(player);
    _session->positionRead(":1.1", 10'000'000);
    advance(2.5);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 12.5);
    player.rate = 2.0;
    _session->playerChanged(player);
    advance(1);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 14.5);

    // Pausing freezes the estimate where it stood, and the position is read again.
    _commands->take();
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

    // A new track starts from 0 until its position is read; other players' positions do not count.
    _commands->take();
    player.metadata.title = "Next Song";
    _session->playerChanged(player);
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1"));
    _session->positionRead(":9.9", 5);
    advance(1);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 1.0);
}

TEST_F(MprisSessionTest, SeekSetsThePositionOrMovesByTheDifference) {
    auto player = makePlayer(":1.1");
    _session->playerChanged(player);
    _session->positionRead(":1.1", 30'000'000);
    _commands->take();
    EXPECT_TRUE(_session->seekTo(42.5));
    EXPECT_THAT(_commands->take(), ElementsAre("SetPosition :1.1 /t/1 42500000"));
    // A position read before the seek reached the player must not pull the slider back.
    _session->positionRead(":1.1", 30'000'000);
    EXPECT_DOUBLE_EQ(_session->elapsedSeconds(), 42.5);
    _commands->finishSeek();
    EXPECT_THAT(_commands->take(), ElementsAre("Read :1.1"));
    // Targets are clamped to the track.
    _session->seekTo(500);
    EXPECT_THAT(_commands->take(), ElementsAre("SetPosition :1.1 /t/1 200000000"));
    _commands->finishSeek();

    // Without a track id, by the difference. At 21 s, a drag to 50, 60, 70: one request at a time.
    player.metadata.trackId = "";
    _session->playerChanged(player);
    _session->positionRead(":1.1", 20'000'000);
    advance(1);
    _commands->take();
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
    // A player that cannot seek is not asked to.
    player.canSeek = false;
    _session->playerChanged(player);
    EXPECT_FALSE(_session->seekTo(10));
}

TEST_F(MprisSessionTest, ShownTimeFollowsThePlayerWithReadsOnlyAfterChanges) {
    // What the player does, at ticks of 50 ms; its own position runs on between.
    const std::tuple<int, std::string, double> changes[] = {{100, "rate", 0.5}, {240, "rate", 2.0},
                                                            {400, "seek", 100}, {900, "pause", 0},
                                                            {1000, "track", 0}, {1006, "play", 0}};
    auto player = makePlayer(":1.1");
    double position = 10;
    int reads = 0;
    std::vector<std::string> sent;
    _session->setPresented(true);
    _session->playerChanged(player);
    _session->positionRead(":1.1", 10'000'000);
    for (int tick = 0; tick <= 1200; ++tick) {
        // Answers come a tick after the request, with where the player is then.
        for (const auto& request : sent) {
            ASSERT_EQ(request, "Read :1.1");
            ++reads;
            _session->positionRead(":1.1", std::llround(position * 1e6));
        }
        for (const auto& [at, what, value] : changes) {
            if (at != tick) {
                continue;
            }
            player.rate = what == "rate" ? value : player.rate;
            player.status = what == "pause"  ? Status::paused
                            : what == "play" ? Status::playing
                                             : player.status;
            player.metadata.title = what == "track" ? "Next" : player.metadata.title;
            position = what == "seek" ? value : what == "track" ? 0 : position;
            if (what == "seek") {
                _session->playerSeeked(":1.1", std::llround(position * 1e6));
            } else {
                _session->playerChanged(player);
            }
        }
        ASSERT_NEAR(_session->elapsedSeconds(), position, 0.1) << "at " << tick * 0.05 << " s";
        sent = _commands->take();
        position += player.status == Status::playing ? player.rate * 0.05 : 0;
        advance(0.05);
    }
    // On appearing; twice for each change of rate, status or track; once after 30 s unread while playing.
    EXPECT_EQ(reads, 1 + 2 * 2 + 1 + 2 * 3);
}

TEST_F(MprisSessionTest, PositionReadsPerMinuteWithoutChanges) {
    const std::tuple<bool, Status, std::size_t> rows[] = {
        {true, Status::paused, 0}, {true, Status::playing, 2}, {false, Status::playing, 0}};
    for (const auto& [presented, status, reads] : rows) {
        SCOPED_TRACE(testing::Message() << presented << " " << static_cast<int>(status));
        makeSession({});
        _session->playerChanged(makePlayer(":1.1", status));
        _session->setPresented(presented);
        advance(1);
        _commands->take();
        advance(60);
        EXPECT_EQ(_commands->take().size(), reads);
    }
}

TEST_F(MprisSessionTest, ArtworkIsTiedToItsTrack) {
    auto player = makePlayer(":1.1");
    player.metadata.artUrl = "file:///art/one.png";
    _session->playerChanged(player);
    // The track changes before its artwork arrives: the late image is dropped.
    player.metadata.title = "Two";
    player.metadata.artUrl = "file:///art/two.png";
    _session->playerChanged(player);
    ASSERT_EQ(_artwork->loads.size(), 2u);
    EXPECT_EQ(_artwork->loads[1].first, "file:///art/two.png");
    _artwork->loads[0].second(surfaceOfSize(4, 4));
    EXPECT_FALSE(_session->artwork());
    _artwork->loads[1].second(surfaceOfSize(6, 6));
    EXPECT_EQ(cairo_image_surface_get_width(_session->artwork().get()), 6);

    // The same file for the next track is the same picture. A rewritten file (one stat
    // tells) is read again: the same track keeps its picture meanwhile, a new one shows none.
    TemporaryDirectory files;
    player.metadata.artUrl = "file://" + files.write("art.png", "one");
    const struct {
        const char* title;
        const char* contents;
        bool loads, keepsPicture;
    } steps[] = {{"Three", nullptr, true, false},
                 {"Three", "two!", true, true},
                 {"Four", nullptr, false, true},
                 {"Five", "three", true, false}};
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        if (step.contents) {
            files.write("art.png", step.contents);
        }
        const auto loads = _artwork->loads.size();
        player.metadata.title = step.title;
        _session->playerChanged(player);
        EXPECT_EQ(_artwork->loads.size() - loads, step.loads ? 1u : 0u);
        EXPECT_EQ(bool(_session->artwork()), step.keepsPicture);
        _artwork->loads.back().second(surfaceOfSize(4, 4));
    }

    // A track without art URL has none.
    player.metadata.title = "Six";
    player.metadata.artUrl = "";
    _session->playerChanged(player);
    EXPECT_EQ(_artwork->loads.size(), 5u);
    EXPECT_FALSE(_session->artwork());
}

} // namespace
