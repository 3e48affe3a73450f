#include <gmock/gmock.h>

#include "host/mpris/MprisTestSupport.h"
#include "support/MprisBusTestSupport.h"

namespace {

using Status = MprisPlaybackStatus;
using Snapshot = MprisPlayerSnapshot;

// The identities of the listed players.
std::vector<std::string> followedTestListedNames(const MprisSession& session) {
    std::vector<std::string> names;
    for (const auto& player : session.listedPlayers()) {
        names.push_back(player.identity);
    }
    return names;
}

TEST_F(MprisSessionTest, PreferenceOrdersAndExcludesPlayers) {
    const auto p = Status::playing, a = Status::paused, s = Status::stopped;
    const struct {
        host::PlayerPreference preference;
        // Players by name, appearing in this order.
        std::vector<std::pair<std::string, Status>> players;
        std::vector<std::string> listed;
        const char* followed;
        const char* reason;
    } rows[] = {
        {{{"spotify", "%any", "vlc"}},
         {{"vlc", p}, {"chromium", a}, {"Spotify", s}},
         {"vlc", "chromium", "Spotify"},
         "Spotify",
         "first in --player's list"},
        {{{"spotify", "%any", "vlc"}},
         {{"vlc", p}, {"chromium", a}},
         {"vlc", "chromium"},
         "chromium",
         "first in --player's list"},
        {{{"spotify", "%any", "vlc"}}, {{"vlc", p}}, {"vlc"}, "vlc", "the only player"},
        {{{"vlc", "mpv"}},
         {{"firefox", p}, {"mpv.instance2", p}, {"vlc", s}},
         {"mpv.instance2", "vlc"},
         "vlc",
         "first in --player's list"},
        {{{}, {"VLC"}}, {{"vlc", p}, {"mpv", a}}, {"mpv"}, "mpv", "the only player"},
        {{{"mpv", "%any"}}, {{"a", p}, {"b", p}, {"c", s}}, {"a", "b", "c"}, "b", "playing most recently"},
        {{}, {{"a", s}, {"b", a}}, {"a", "b"}, "b", "appeared last"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        makeSession({.players = row.preference});
        for (const auto& [name, status] : row.players) {
            _session->playerChanged(makePlayer(":" + name, status, name));
        }
        EXPECT_EQ(followedTestListedNames(*_session), row.listed);
        EXPECT_EQ(_session->followedPlayer()->identity, row.followed);
        EXPECT_EQ(_session->followReason(), row.reason);
    }
}

TEST_F(MprisSessionTest, UsersChoiceHoldsUntilItsPlayerVanishes) {
    for (const auto& [name, status] :
         {std::pair{"a", Status::paused}, {"b", Status::paused}, {"c", Status::stopped}}) {
        _session->playerChanged(makePlayer(std::string(":") + name, status, name));
    }
    settle();
    int announced = 0;
    _session->setPlayersChangedHandler([&] { ++announced; });
    const struct {
        std::string action;
        bool answer;
        const char* followed;
        const char* reason;
    } steps[] = {
        {"next", true, "a", "chosen by the user"},     {"next", true, "b", "chosen by the user"},
        {"previous", true, "a", "chosen by the user"}, {"previous", true, "c", "chosen by the user"},
        {"play", true, "c", "chosen by the user"},     {"B", true, "b", "chosen by the user"},
        {"zzz", false, "b", "chosen by the user"},     {"remove", true, "a", "playing most recently"},
        {"previous", true, "c", "chosen by the user"}, {"automatic", true, "a", "playing most recently"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.action);
        const std::string before = _session->followedPlayer()->owner;
        const bool answer = step.action == "next"        ? _session->followAdjacentPlayer(1)
                            : step.action == "previous"  ? _session->followAdjacentPlayer(-1)
                            : step.action == "automatic" ? _session->followAutomatically()
                            : step.action == "play"
                                ? (_session->playerChanged(makePlayer(":a", Status::playing, "a")), true)
                            : step.action == "remove" ? (_session->playerRemoved(before), true)
                                                      : _session->followPlayerNamed(step.action);
        EXPECT_EQ(answer, step.answer);
        EXPECT_EQ(_session->followedPlayer()->identity, step.followed);
        EXPECT_EQ(_session->followReason(), step.reason);
        settle();
        EXPECT_EQ(std::exchange(announced, 0), step.answer ? 1 : 0);
    }
}

TEST_F(MprisSessionTest, PlayerAnnouncedTwiceIsListedOnce) {
    const MprisMetadata thin{.title = "T", .artist = "A"};
    const MprisMetadata full{
        .title = "T", .artist = "A", .lengthMicroseconds = 1, .artUrl = "file:///a.png", .album = "B"};
    const struct {
        MprisMetadata first, second;
        host::PlayerPreference preference;
        std::vector<std::string> listed;
    } rows[] = {
        {thin, full, {}, {"second"}},
        {thin, thin, {}, {"first"}},
        {full, thin, {}, {"first"}},
        {thin, {.title = "T", .artist = "Other"}, {}, {"first", "second"}},
        {thin, full, {.ignored = {"second"}}, {"first"}},
        {{}, {}, {}, {"first", "second"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        makeSession({.players = row.preference});
        for (const auto& [name, metadata] : {std::pair{"first", row.first}, {"second", row.second}}) {
            auto player = makePlayer(std::string(":") + name, Status::playing, name);
            player.metadata = metadata;
            _session->playerChanged(player);
        }
        EXPECT_EQ(followedTestListedNames(*_session), row.listed);
        EXPECT_EQ(_session->followedPlayer()->identity, row.listed.back());
        EXPECT_EQ(_session->followPlayerNamed("first"), row.listed.front() == "first");
    }
}

TEST_F(MprisSessionTest, PressThePlayerCannotTakeIsNotSentButRedrawn) {
    const struct {
        bool Snapshot::*capability;
        Status status;
        const char* press;
        const char* sent;
    } rows[] = {
        {&Snapshot::canPause, Status::playing, "toggle", ""},
        {&Snapshot::canPlay, Status::paused, "toggle", ""},
        {&Snapshot::canPause, Status::paused, "toggle", "PlayPause :1.1"},
        {&Snapshot::canGoNext, Status::playing, "next", ""},
        {&Snapshot::canGoPrevious, Status::playing, "previous", ""},
        {&Snapshot::canGoPrevious, Status::playing, "next", "Next :1.1"},
        {&Snapshot::canSeek, Status::playing, "seek", ""},
        {&Snapshot::canControl, Status::paused, "toggle", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        makeSession({});
        auto player = makePlayer(":1.1", row.status);
        player.*row.capability = false;
        _session->playerChanged(player);
        settle();
        int changes = 0;
        _session->setNowPlayingChangedHandler([&] { ++changes; });
        _commands->take();
        const std::string press = row.press;
        const bool sent = press == "toggle" ? _session->togglePlayPause()
                          : press == "seek" ? _session->seekTo(5)
                                            : _session->changeTrack(press == "next" ? 1 : -1);
        EXPECT_EQ(sent, *row.sent != '\0');
        EXPECT_EQ(_commands->take(), sent ? std::vector<std::string>{row.sent} : std::vector<std::string>{});
        settle();
        EXPECT_EQ(changes, sent ? 0 : 1);
    }
}

} // namespace
