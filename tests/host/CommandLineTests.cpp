#include <gtest/gtest.h>

#include <iterator>
#include <sstream>

#include "host/CommandHelp.h"
#include "host/CommandLine.h"
#include "host/HostFailure.h"

namespace {

using Arguments = std::vector<std::string>;

// The parsed command line in one line; "usage failure" when it is refused.
std::string parsed(const Arguments& arguments) {
    try {
        const host::CommandLine line = host::parseCommandLine(arguments);
        const host::HostOptions& options = line.host;
        std::ostringstream out;
        out << "[" << line.command;
        for (const std::string& argument : line.arguments) {
            out << " " << argument;
        }
        const auto named = [](const std::string& name, const std::string& value) {
            return value.empty() ? "" : " " + name + "=" + value;
        };
        out << "] scale=" << options.scale << (line.scaleGiven ? " given" : "")
            << named("root", options.deviceRoot) << named("bundle", options.bundlePath)
            << named("playlist", options.playlistPath)
            << named("mpris", options.player == host::PlayerKind::mpris
                                  ? (options.players.names.empty() ? "any" : options.players.names.front())
                                  : "")
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
         "[script -] scale=2 root=/tmp/d playlist=/p.plist"},
        {"snapshot out.png --at 2 --scale 3 --legacy --player mpris:radio --bundle /b",
         "[snapshot out.png --at 2] scale=3 given bundle=/b mpris=radio legacy"},
        {"--player=mpris run -- --legacy", "[run --legacy] scale=2 mpris=any"},
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
        std::istringstream words(commandLine);
        EXPECT_EQ(parsed(Arguments(std::istream_iterator<std::string>(words), {})), expected) << commandLine;
    }
    // Numbers are finite decimals and nothing more.
    for (const char* scale :
         {"0", "8.01", "-1", "", "two", "1x", "nan", "inf", "1e999", "--1", "+-1", "0x10", " 1"}) {
        EXPECT_EQ(parsed({"--scale", scale}), "usage failure") << scale;
    }
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
