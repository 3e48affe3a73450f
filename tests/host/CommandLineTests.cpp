#include <gtest/gtest.h>

#include <iostream>
#include <iterator>
#include <sstream>

#include <pwd.h>
#include <unistd.h>

#include "host/CommandHelp.h"
#include "host/CommandLine.h"
#include "host/HostConfigFile.h"
#include "host/HostFailure.h"
#include "support/Process.h"
#include "support/TemporaryDirectory.h"

namespace {

using Arguments = std::vector<std::string>;

Arguments splitAtSpaces(const std::string& commandLine) {
    std::istringstream words(commandLine);
    return Arguments(std::istream_iterator<std::string>(words), {});
}

// The command line after the config file `config`, in one line; "usage failure" when refused.
std::string parsed(const Arguments& arguments, const char* config = "", std::ostream& warned = std::cerr) {
    try {
        host::CommandLine line = host::parseCommandLine(arguments);
        host::applyHostConfig(config, line, warned);
        const host::HostOptions& options = line.host;
        std::ostringstream out;
        out << "[" << line.command;
        for (const std::string& argument : line.arguments) {
            out << " " << argument;
        }
        const auto named = [](const std::string& name, const std::string& value) {
            return value.empty() ? "" : " " + name + "=" + value;
        };
        const auto joined = [](const std::vector<std::string>& names, std::string text) {
            for (const std::string& name : names) {
                text = (&name == &names.front() ? "" : text + ",") + name;
            }
            return text;
        };
        out << "] scale=" << options.scale << (line.scaleGiven ? " given" : "")
            << named("root", options.deviceRoot) << named("bundle", options.bundlePath)
            << named("playlist", options.playlistPath)
            << named("mpris",
                     options.player == host::PlayerKind::mpris ? joined(options.players.names, "any") : "")
            << named("ignore", joined(options.players.ignored, "")) << (line.playerGiven ? " chosen" : "")
            << (options.legacy ? " legacy" : "") << (line.help ? " help" : "")
            << (line.version ? " version" : "");
        return out.str();
    } catch (const host::UsageFailure&) {
        return "usage failure";
    }
}

TEST(CommandLineTest, SharedOptionsStandAnywhereAndBadValuesAreUsageFailures) {
    // Each command line split at spaces.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"--device-root /tmp/d --playlist=/p.plist script -",
         "[script -] scale=2 root=/tmp/d playlist=/p.plist chosen"},
        {"snapshot out.png --at 2 --scale 3 --legacy --player mpris:radio --bundle /b",
         "[snapshot out.png --at 2] scale=3 given bundle=/b mpris=radio chosen legacy"},
        {"--player=mpris run -- --legacy", "[run --legacy] scale=2 mpris=any chosen"},
        {"--player mpris:vlc,%any,mpv --ignore-player=kdeconnect,Firefox run",
         "[run] scale=2 mpris=vlc,%any,mpv ignore=kdeconnect,Firefox chosen"},
        {"--playlist p.plist --player mpris:vlc", "usage failure"},
        {"--player mpris:vlc,,mpv", "usage failure"},
        {"record -h", "[record] scale=2 help"},
        {"--version", "[] scale=2 version"},
        {"--scale=+1.5", "[] scale=1.5 given"},
        {"--scale 2", "[] scale=2 given"},
        {"--scale 8", "[] scale=8 given"},
        {"settings roundedCornersValue -5 -.5", "[settings roundedCornersValue -5 -.5] scale=2"},
        {"snapshot --scale", "usage failure"},
        {"--player jukebox", "usage failure"},
        {"--player mpris:", "usage failure"},
        {"--device-root=", "usage failure"},
    };
    for (const auto& [commandLine, expected] : cases) {
        EXPECT_EQ(parsed(splitAtSpaces(commandLine)), expected) << commandLine;
    }
    // Numbers are finite decimals and nothing more.
    for (const char* scale :
         {"0", "8.01", "-1", "", "two", "1x", "nan", "inf", "1e999", "--1", "+-1", "0x10", " 1"}) {
        EXPECT_EQ(parsed({"--scale", scale}), "usage failure") << scale;
    }
}

TEST(CommandLineTest, TheConfigFileFillsInWhatTheCommandLineLeavesOpenAndWarnsAboutTheRest) {
    const char* config = "# mine\n\n player = mpris: vlc , %any\nignore-player=kdeconnect\nscale = 1.5\n"
                         "scale = 9\n";
    const std::string warnings = "trillbox: config line 6: scale must lie above 0 and at most 8, not 9\n";
    const std::pair<std::string, std::string> cases[] = {
        {"run", "[run] scale=1.5 given mpris=vlc,%any ignore=kdeconnect chosen"},
        {"--scale 3 --player demo --ignore-player a run", "[run] scale=3 given ignore=a chosen"},
        {"--playlist p.plist", "[] scale=1.5 given playlist=p.plist ignore=kdeconnect chosen"},
    };
    for (const auto& [commandLine, expected] : cases) {
        std::ostringstream warned;
        EXPECT_EQ(parsed(splitAtSpaces(commandLine), config, warned), expected) << commandLine;
        EXPECT_EQ(warned.str(), warnings);
    }

    // The program reads it (from XDG_CONFIG_HOME, else HOME) for a snapshot, not for settings.
    const TemporaryDirectory home;
    home.write(".config/trillbox/config", "colour = red\n");
    home.write("xdg/trillbox/config/x", "");
    const std::tuple<std::string, std::string, std::string> runs[] = {
        {"snapshot out.png", "", "trillbox: config line 1: unknown key \"colour\"\n"},
        {"snapshot out.png", home.file("xdg"),
         "trillbox: cannot read the config file " + home.file("xdg/trillbox/config") +
             ": not a regular file\n"},
        {"settings", home.file("xdg"), ""}};
    for (const auto& [command, configHome, warning] : runs) {
        const ProcessResult result =
            runTrillbox(splitAtSpaces("--device-root . " + command),
                        {home.path(), "", {{"HOME", home.path()}, {"XDG_CONFIG_HOME", configHome}}});
        EXPECT_EQ(result.err, warning) << command << configHome;
    }
    // Without a usable HOME the settings live in the account's home, never under /tmp.
    const std::string noHome =
        runTrillbox({"settings"}, {home.path(), "", {{"HOME", ""}, {"XDG_DATA_HOME", ""}}}).out;
    EXPECT_EQ(noHome.rfind(std::string("settings file: ") + getpwuid(getuid())->pw_dir + "/.local/", 0), 0U)
        << noHome;
}

TEST(CommandLineTest, EachCommandsHelpListsItsOwnOptionsAndPointsToTheSharedOnes) {
    for (const host::CommandHelp& command : host::commandHelp()) {
        std::ostringstream help;
        host::printCommandHelp(command, help);
        EXPECT_EQ(help.str().find("--device-root DIR"), std::string::npos) << command.name;
        EXPECT_NE(help.str().find("'trillbox --help'"), std::string::npos) << command.name;
    }
}

} // namespace
