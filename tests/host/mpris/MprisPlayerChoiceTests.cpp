#include <nlohmann/json.hpp>

#include <sstream>

#include "support/MprisBusTestSupport.h"

namespace {

class MprisPlayerChoiceBusTest : public MprisBusTest {
protected:
    FakeMprisPlayer::Setup paused(const std::string& suffix) {
        auto setup = FakeMprisPlayer::playing(suffix, suffix);
        setup.player["PlaybackStatus"] = std::string("Paused");
        return setup;
    }
    ProcessResult run(const std::vector<std::string>& arguments, const std::string& input = "",
                      const std::string& address = "") {
        const std::map<std::string, std::string> environment = {
            {"DBUS_SESSION_BUS_ADDRESS", address.empty() ? _bus.address() : address},
            {"XDG_CONFIG_HOME", _directory.path()}};
        return runTrillbox(arguments, {_directory.path(), input, environment, 20});
    }
};

// `trillbox players` reads the bus once: what a bug report needs of each player and
// the one the widget would follow under the preference given; "no players" on an
// empty bus and a one-line failure without a bus.
TEST_F(MprisPlayerChoiceBusTest, ListsThePlayersAndTheFollowedOne) {
    auto one = paused("one");
    one.player["CanPause"] = false;
    one.root["CanRaise"] = true;
    // The PNG signature: 8 bytes.
    std::get<FakeMetadata>(one.player["Metadata"])["mpris:artUrl"] =
        sdbus::Variant(std::string("data:image/png;base64,iVBORw0KGgo="));
    addPlayer(one);
    addPlayer(FakeMprisPlayer::playing("two", "two"));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"players"},
         "org.mpris.MediaPlayer2.one\n  identity:     Fake one\n  status:       Paused\n"
         "  capabilities: CanPlay CanSeek CanGoNext CanGoPrevious CanRaise\n  title:        one\n"
         "  artist:       Artist\n  length:       3:00\n  artwork:      data:image/png (8 bytes)\n"
         "org.mpris.MediaPlayer2.two  (followed)\n  identity:     Fake two\n  status:       Playing\n"},
        {{"players"}, "Trillbox follows org.mpris.MediaPlayer2.two: "},
        {{"players", "--json"},
         R"j({"players":[{"busName":"org.mpris.MediaPlayer2.one","identity":"Fake one","status":"Paused",)j"
         R"j("CanPlay":true,"CanPause":false,"CanSeek":true,"CanGoNext":true,"CanGoPrevious":true,)j"
         R"j("CanRaise":true,"title":"one","artist":"Artist","length":180,"artwork":"data:image/png )j"
         R"j((8 bytes)","takesPart":true,"followed":true},)j"},
        {{"players", "--json"},
         R"j("takesPart":false,"followed":false}],"followed":"org.mpris.MediaPlayer2.one","reason":")j"},
    };
    for (const auto& [arguments, shown] : cases) {
        // The player preference, as the host's config file gives it, for --json.
        _directory.write("trillbox/config", arguments.back() == "--json" ? "player = mpris:one\n" : "");
        const ProcessResult result = run(arguments);
        EXPECT_NE(result.out.find(shown), std::string::npos) << shown << "\n" << result.out;
        EXPECT_EQ(result.exitStatus, 0) << result.err;
    }
    _players.clear();
    EXPECT_EQ(run({"players"}).out, "no players\n");
    const std::string missing = "unix:path=" + _directory.file("missing");
    const ProcessResult noBus = run({"players"}, "", missing);
    EXPECT_EQ(noBus.exitStatus, 1);
    EXPECT_EQ(noBus.err,
              "trillbox: no session bus, so no MPRIS player (nothing listens at " + missing + ")\n");
}

// A script's `follow` moves among the players (wrapping around), picks one by name
// and goes back to the automatic choice; with the demo player or a name no player
// has, it fails as a script line does.
TEST_F(MprisPlayerChoiceBusTest, AScriptFollowsTheNextPreviousNamedOrAutomaticPlayer) {
    addPlayer(paused("one"));
    addPlayer(paused("two"));
    addPlayer(FakeMprisPlayer::playing("three", "three"));
    // Discovery takes real time; then each dump shows who is followed.
    const ProcessResult result = run({"--player", "mpris", "script", "-"},
                                     "present\nwait 0.5\ndump\nfollow next\ndump\nfollow previous\ndump\n"
                                     "follow TWO\ndump\nfollow auto\ndump\nfollow next\nfollow next\n"
                                     "follow next\ndump\nfollow nobody\n");
    EXPECT_EQ(result.err, "trillbox: standard input:16: no player called \"nobody\" to follow\n");
    std::vector<std::string> followed;
    std::istringstream dumps(result.out);
    for (std::string line; std::getline(dumps, line);) {
        for (const auto& player : nlohmann::json::parse(line).value("players", nlohmann::json::array())) {
            if (player["followed"] == true) {
                followed.push_back(player["name"].get<std::string>().substr(23));
            }
        }
    }
    ASSERT_EQ(followed.size(), 6u) << result.out;
    EXPECT_NE(followed[1], "three");
    EXPECT_EQ(followed, (std::vector<std::string>{"three", followed[1], "three", "two", "three", "three"}));
    EXPECT_EQ(run({"script", "-"}, "follow next\n").err,
              "trillbox: standard input:1: follow needs the MPRIS players (--player mpris), not the demo "
              "player\n");
}

} // namespace
