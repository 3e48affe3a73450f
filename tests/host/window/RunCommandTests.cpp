#include <gtest/gtest.h>

#include "support/Process.h"
#include "support/TestSupport.h"

namespace {

using Variables = std::map<std::string, std::string>;

TEST(RunCommand, AWindowThatCannotOpenIsReportedWithThePointerToTheHeadlessCommands) {
    TemporaryDirectory home;
    const Variables noDisplay{
        {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}, {"HOME", home.path()}};
    const Variables badDriver{{"SDL_VIDEODRIVER", "no-such-driver"}, {"HOME", home.path()}};
    const std::vector<std::tuple<std::vector<std::string>, Variables, int, std::string>> cases = {
        {{}, noDisplay, 1, "cannot open the window: there is no display"},
        {{"run"}, noDisplay, 1, "cannot open the window: there is no display"},
        {{"run"}, badDriver, 1, "cannot open the window: SDL cannot start its video"},
        {{"run", "now"}, noDisplay, 2, "unexpected argument \"now\""},
        {{"run", "--fullscreen"}, noDisplay, 2, "--fullscreen"},
    };
    for (const auto& [arguments, variables, status, message] : cases) {
        const ProcessResult result = runTrillbox(arguments, {home.path(), "", variables});
        EXPECT_EQ(result.exitStatus, status) << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(status == 1, result.err.find("trillbox snapshot") != std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

} // namespace
