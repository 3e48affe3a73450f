#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/TestSupport.h"
#include "support/Process.h"
#include "window/WindowCommand.h"

namespace {

using host::missingDisplayReason;

TEST(RunCommand, NoDisplayIsNamedOnlyWhenNothingNamesOne) {
    const auto reason = [](std::map<std::string, std::string> variables) {
        return missingDisplayReason([&](const char* name) -> const char* {
            const auto found = variables.find(name);
            return found == variables.end() ? nullptr : found->second.c_str();
        });
    };
    EXPECT_NE(reason({}), "");
    EXPECT_NE(reason({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}}), "");
    EXPECT_EQ(reason({{"DISPLAY", ":0"}}), "");
    EXPECT_EQ(reason({{"WAYLAND_DISPLAY", "wayland-0"}}), "");
    EXPECT_EQ(reason({{"SDL_VIDEODRIVER", "offscreen"}}), "");
}

TEST(RunCommand, WithoutADisplayTheProgramSaysSoAndPointsToTheHeadlessCommands) {
    TemporaryDirectory home;
    const std::map<std::string, std::string> noDisplay{
        {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}, {"HOME", home.path()}};
    for (const auto& arguments : {std::vector<std::string>{}, std::vector<std::string>{"run"}}) {
        const ProcessResult result = runTrillbox(arguments, {home.path(), "", noDisplay});
        EXPECT_EQ(result.exitStatus, 1) << result.err;
        EXPECT_NE(result.err.find("cannot open the window: there is no display"), std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find("trillbox snapshot"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

TEST(RunCommand, ADisplaySDLCannotReachIsReportedTheSameWay) {
    TemporaryDirectory home;
    const ProcessResult result = runTrillbox(
        {"run"}, {home.path(), "", {{"SDL_VIDEODRIVER", "no-such-driver"}, {"HOME", home.path()}}});
    EXPECT_EQ(result.exitStatus, 1) << result.err;
    EXPECT_NE(result.err.find("cannot open the window: SDL cannot start its video"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("headless"), std::string::npos) << result.err;
}

TEST(RunCommand, ItsOwnArgumentsAreChecked) {
    const ProcessResult extra = runTrillbox({"run", "now"}, {"", "", {{"DISPLAY", ""}}});
    EXPECT_EQ(extra.exitStatus, 2);
    EXPECT_NE(extra.err.find("unexpected argument \"now\""), std::string::npos) << extra.err;
    const ProcessResult unknown = runTrillbox({"run", "--fullscreen"}, {"", "", {{"DISPLAY", ""}}});
    EXPECT_EQ(unknown.exitStatus, 2);
    const ProcessResult help = runTrillbox({"run", "--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("Usage: trillbox [run]"), std::string::npos) << help.out;
}

} // namespace
