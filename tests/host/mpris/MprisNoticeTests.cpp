#include <iterator>
#include <sstream>
#include <tuple>

#include "support/MprisBusTestSupport.h"

namespace {

class MprisNoticeBusTest : public MprisBusTest {};

// With the MPRIS players, a run tells in one line on standard error why the widget
// shows "Not Playing" and goes on; with a player to follow it says nothing.
TEST_F(MprisNoticeBusTest, AMissingBusOrPlayerIsOneLineAndTheRunGoesOn) {
    const std::string missing = "unix:path=" + _directory.file("missing");
    const std::string shows = "; the widget shows \"Not Playing\"";
    // The bus's address, the player on it (none when empty), the command line, the line.
    const std::vector<std::tuple<std::string, std::string, std::string, std::string>> cases = {
        {missing, "", "mpris snapshot out.png",
         "no session bus, so no MPRIS player (nothing listens at " + missing + ")" + shows},
        {_bus.address(), "", "mpris record frames --seconds 0.4 --fps 5",
         "no MPRIS player on the session bus" + shows + " until one appears"},
        {_bus.address(), "other", "mpris:vlc script in.txt",
         "no MPRIS player called \"vlc\" on the session bus" + shows + " until one appears"},
        {_bus.address(), "vlc", "mpris:vlc script in.txt", ""},
    };
    _directory.write("in.txt", "present\nwait 0.4\n");
    for (const auto& [address, player, commandLine, line] : cases) {
        _players.clear();
        if (!player.empty()) {
            addPlayer(FakeMprisPlayer::playing(player, "Song"));
        }
        std::vector<std::string> arguments = {"--device-root", _directory.path(), "--player"};
        std::istringstream words(commandLine);
        arguments.insert(arguments.end(), std::istream_iterator<std::string>(words), {});
        const ProcessResult result =
            runTrillbox(arguments, {_directory.path(), "", {{"DBUS_SESSION_BUS_ADDRESS", address}}});
        EXPECT_EQ(result.exitStatus, 0) << commandLine << result.err;
        EXPECT_EQ(result.err, line.empty() ? "" : "trillbox: " + line + "\n") << commandLine;
    }
}

} // namespace
