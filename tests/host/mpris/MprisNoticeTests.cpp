#include "support/MprisBusTestSupport.h"

namespace {

class MprisNoticeBusTest : public MprisBusTest {};

// With the MPRIS players, the program tells on standard error, in one line, why the
// widget shows "Not Playing", and goes on; with a player to follow it says nothing.
TEST_F(MprisNoticeBusTest, AMissingBusOrPlayerIsOneLineAndTheRunGoesOn) {
    struct Case {
        bool busMissing;
        // The players on the bus, by bus-name suffix.
        std::vector<std::string> players;
        std::vector<std::string> arguments;
        std::string input;
        std::vector<std::string> lines;
    };
    const std::string missing = "unix:path=" + _directory.file("missing");
    const std::string notPlaying = "; the widget shows \"Not Playing\"";
    const std::vector<Case> cases = {
        {true,
         {},
         {"--player", "mpris", "snapshot", "out.png"},
         "",
         {"trillbox: no session bus, so no MPRIS player (nothing listens at " + missing + ")" + notPlaying}},
        {false,
         {},
         {"--player", "mpris", "record", "frames", "--seconds", "0.4", "--fps", "5"},
         "",
         {"trillbox: no MPRIS player on the session bus" + notPlaying + " until one appears"}},
        {false,
         {"other"},
         {"--player", "mpris:vlc", "script", "-"},
         "present\nwait 0.4\n",
         {"trillbox: no MPRIS player called \"vlc\" on the session bus" + notPlaying + " until one appears"}},
        {false, {"vlc"}, {"--player", "mpris:vlc", "script", "-"}, "present\nwait 0.4\n", {}},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.arguments[1] + " " + each.arguments[2]);
        _players.clear();
        for (const std::string& suffix : each.players) {
            addPlayer(FakeMprisPlayer::playing(suffix, "Song"));
        }
        std::vector<std::string> arguments = {"--device-root", _directory.path()};
        arguments.insert(arguments.end(), each.arguments.begin(), each.arguments.end());
        const ProcessResult result = runTrillbox(
            arguments, {_directory.path(),
                        each.input,
                        {{"DBUS_SESSION_BUS_ADDRESS", each.busMissing ? missing : _bus.address()}}});
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(result.errorLines(), each.lines);
    }
}

} // namespace
