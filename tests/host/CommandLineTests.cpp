#include <gtest/gtest.h>

#include "CommandLine.h"
#include "HostFailure.h"
#include "ScriptRunner.h"

namespace {

using host::CommandArguments;
using host::parseCommandLine;

TEST(CommandLineTest, SharedOptionsStandBeforeOrAfterTheCommand) {
    const auto before = parseCommandLine({"--device-root", "/tmp/d", "--playlist=/p.plist", "script", "-"});
    EXPECT_EQ(before.command, "script");
    EXPECT_EQ(before.host.deviceRoot, "/tmp/d");
    EXPECT_EQ(before.host.playlistPath, "/p.plist");
    EXPECT_EQ(before.arguments, std::vector<std::string>{"-"});

    const auto after = parseCommandLine({"snapshot", "out.png", "--at", "2", "--scale", "3", "--legacy",
                                         "--player", "mpris:vlc", "--bundle", "/b"});
    EXPECT_EQ(after.command, "snapshot");
    EXPECT_EQ(after.arguments, (std::vector<std::string>{"out.png", "--at", "2"}));
    EXPECT_DOUBLE_EQ(after.host.scale, 3);
    EXPECT_TRUE(after.host.legacy);
    EXPECT_EQ(after.host.player, host::PlayerKind::mpris);
    EXPECT_EQ(after.host.mprisPlayerName, "vlc");
    EXPECT_EQ(after.host.bundlePath, "/b");
    EXPECT_TRUE(parseCommandLine({"record", "--help"}).help);
    EXPECT_TRUE(parseCommandLine({"--version"}).version);
}

TEST(CommandLineTest, BadSharedOptionsAreUsageFailures) {
    EXPECT_THROW(parseCommandLine({"snapshot", "--scale"}), host::UsageFailure);
    EXPECT_THROW(parseCommandLine({"--scale", "0", "snapshot"}), host::UsageFailure);
    EXPECT_THROW(parseCommandLine({"--scale", "9"}), host::UsageFailure);
    EXPECT_THROW(parseCommandLine({"--scale", "two"}), host::UsageFailure);
    EXPECT_THROW(parseCommandLine({"--player", "winamp"}), host::UsageFailure);
    EXPECT_THROW(parseCommandLine({"--player", "mpris:"}), host::UsageFailure);
    EXPECT_THROW(parseCommandLine({"--device-root="}), host::UsageFailure);
}

TEST(CommandLineTest, CommandArgumentsSeparateOptionsFromPositionals) {
    const CommandArguments arguments({"dir", "--seconds", "2", "--fps=10", "--transparent", "--seconds", "3"},
                                     {"--seconds", "--fps"}, {"--transparent"});
    EXPECT_EQ(arguments.positional(), std::vector<std::string>{"dir"});
    EXPECT_EQ(arguments.value("--seconds"), "3");
    EXPECT_EQ(arguments.value("--fps"), "10");
    EXPECT_TRUE(arguments.has("--transparent"));
    EXPECT_EQ(arguments.value("--at", "1"), "1");
    EXPECT_THROW(CommandArguments({"--nope"}, {}, {}), host::UsageFailure);
    EXPECT_THROW(CommandArguments({"--fps"}, {"--fps"}, {}), host::UsageFailure);
    EXPECT_THROW(CommandArguments({"--transparent=yes"}, {}, {"--transparent"}), host::UsageFailure);
}

TEST(CommandLineTest, NumbersAreWholeFiniteDecimals) {
    EXPECT_DOUBLE_EQ(host::parseNumber("12.5", "X"), 12.5);
    EXPECT_DOUBLE_EQ(host::parseNumber("-3", "X"), -3);
    EXPECT_DOUBLE_EQ(host::parseNumber("+4", "X"), 4);
    for (const char* bad : {"", "1x", "nan", "inf", "1e999", "--1", "+-1", "0x10", " 1"}) {
        EXPECT_THROW(host::parseNumber(bad, "X"), host::UsageFailure) << bad;
    }
}

} // namespace
