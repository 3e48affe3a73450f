#include <gmock/gmock.h>
#include <sstream>

#include "host/mpris/MprisTestSupport.h"

namespace {

using Status = MprisPlaybackStatus;

// Players by name, appearing in this order: "vlc-" is stopped, "vlc~" paused, "vlc+" playing;
// a "=" gives it the title of the other "=" players, a "!" leaves its length out.
void addPlayersForChoice(MprisSession& session, const std::string& players) {
    std::istringstream words(players);
    for (std::string word; words >> word;) {
        const std::string name = word.substr(0, word.find_first_of("+~-"));
        auto player = makePlayer(":" + name, Status(std::string("-~+").find(word[name.size()])), name);
        player.metadata.title = word.find('=') != std::string::npos ? "Twice" : player.metadata.title;
        player.metadata.lengthMicroseconds *= word.find('!') == std::string::npos;
        session.playerChanged(player);
    }
}

TEST_F(MprisSessionTest, PreferenceAndDuplicatesDecideWhichPlayersTakePartAndWhichIsFollowed) {
    const std::string first = "first in --player's list", only = "the only player";
    // The preference, the players, those listed, the one followed and why.
    const std::tuple<host::PlayerPreference, std::string, std::string, std::string, std::string> rows[] = {
        {{{"spotify", "%any", "vlc"}}, "vlc+ chromium~ Spotify-", "vlc chromium Spotify", "Spotify", first},
        {{{"spotify", "%any", "vlc"}}, "vlc+ chromium~", "vlc chromium", "chromium", first},
        {{{"vlc", "mpv"}}, "firefox+ mpv.instance2+ vlc-", "mpv.instance2 vlc", "vlc", first},
        {{{}, {"VLC"}}, "vlc+ mpv~", "mpv", "mpv", only},
        {{}, "a- b~", "a b", "b", "appeared last"},
        // One player announced twice: the fuller metadata stays, else the earlier.
        {{}, "bridge+=! player+= other-", "player other", "player", "playing most recently"},
        {{}, "one+= two+=", "one", "one", only},
        {{{}, {"player"}}, "bridge+=! player+=", "bridge", "bridge", only}};
    for (const auto& [preference, players, listed, followed, reason] : rows) {
        makeSession({.players = preference});
        addPlayersForChoice(*_session, players);
        std::string names;
        for (const auto& player : _session->listedPlayers()) {
            names += (names.empty() ? "" : " ") + player.identity;
        }
        EXPECT_EQ(names, listed);
        EXPECT_EQ(_session->followedPlayer()->identity + ", " + _session->followReason(),
                  followed + ", " + reason);
        EXPECT_EQ(_session->followPlayerNamed("bridge"), listed.starts_with("bridge"))
            << players; // Listed only.
    }
}

TEST_F(MprisSessionTest, UsersChoiceHoldsUntilItsPlayerVanishesAndPressesHonourCapabilities) {
    addPlayersForChoice(*_session, "a~ b~ c-");
    auto c = makePlayer(":c", Status::stopped, "c");
    c.canGoNext = c.canPlay = false;
    _session->playerChanged(c);
    settle();
    int announced = 0;
    _session->setPlayersChangedHandler([&] { ++announced; });
    _session->setNowPlayingChangedHandler([&] { ++announced; });
    // An action, its answer, the player followed after it (by the user's choice unless marked "*") and how
    // many changes were announced: the list's and the now playing's.
    const std::tuple<std::string, bool, std::string, int> steps[] = {
        {"next", true, "a", 2},        {"next", true, "b", 2},        {"previous", true, "a", 2},
        {"previous", true, "c", 2},    {"press next", false, "c", 1}, {"press previous", true, "c", 0},
        {"press play", false, "c", 1}, {"play a", true, "c", 1},      {"B", true, "b", 2},
        {"zzz", false, "b", 0},        {"remove", true, "a*", 2},     {"previous", true, "c", 2},
        {"automatic", true, "a*", 2}};
    for (const auto& [action, expectedAnswer, followed, changes] : steps) {
        SCOPED_TRACE(action);
        const bool answer =
            action == "next"              ? _session->followAdjacentPlayer(1)
            : action == "previous"        ? _session->followAdjacentPlayer(-1)
            : action == "automatic"       ? _session->followAutomatically()
            : action == "press play"      ? _session->togglePlayPause()
            : action.starts_with("press") ? _session->changeTrack(action == "press next" ? 1 : -1)
            : action == "play a"          ? (addPlayersForChoice(*_session, "a+"), true)
            : action == "remove"          ? (_session->playerRemoved(_session->followedPlayer()->owner), true)
                                          : _session->followPlayerNamed(action);
        EXPECT_EQ(answer, expectedAnswer);
        EXPECT_EQ(_session->followedPlayer()->identity + ", " + _session->followReason(),
                  followed.substr(0, 1) +
                      (followed.size() == 1 ? ", chosen by the user" : ", playing most recently"));
        EXPECT_EQ(std::ranges::count(_commands->take(), "Previous :c"), action == "press previous");
        settle();
        EXPECT_EQ(std::exchange(announced, 0), changes);
    }
}

} // namespace
