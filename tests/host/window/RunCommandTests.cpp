#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>

#include "Foundation/NSFileDescriptor.h"
#include "support/Process.h"
#include "support/TestSupport.h"

namespace {

using Variables = std::map<std::string, std::string>;

TEST(RunCommand, AWindowThatCannotOpenIsReportedWithThePointerToTheHeadlessCommands) {
    TemporaryDirectory home;
    const Variables noDisplay{
        {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}, {"HOME", home.path()}};
    const Variables badDriver{{"SDL_VIDEODRIVER", "no-such-driver"}, {"HOME", home.path()}};
    const auto display = [&](const char* name, const std::string& value) {
        Variables variables = noDisplay;
        variables[name] = value;
        variables["XDG_RUNTIME_DIR"] = home.path();
        return variables;
    };
    // A server that takes the connection and never answers, as a hung one does,
    // on any free port: display N is port 6000 + N.
    NSFileDescriptor silent(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}};
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(silent.get(), reinterpret_cast<sockaddr*>(&address), length), 0);
    ASSERT_EQ(::listen(silent.get(), 4), 0);
    ASSERT_EQ(::getsockname(silent.get(), reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string silentDisplay = "127.0.0.1:" + std::to_string(ntohs(address.sin_port) - 6000);
    const std::vector<std::tuple<std::vector<std::string>, Variables, int, std::string>> cases = {
        {{}, noDisplay, 1, "cannot open the window: there is no display"},
        {{"run"}, noDisplay, 1, "cannot open the window: there is no display"},
        {{"run"}, badDriver, 1, "cannot open the window: SDL cannot start its video"},
        // A display that is not there, or does not answer, ends the run at once.
        {{"run"}, display("DISPLAY", ":97"), 1, "cannot reach the display DISPLAY=:97\n"},
        {{"run"}, display("WAYLAND_DISPLAY", "wayland-97"), 1, "display WAYLAND_DISPLAY=wayland-97\n"},
        {{"run"}, display("DISPLAY", silentDisplay), 1, "does not answer"},
        {{"run", "now"}, noDisplay, 2, "unexpected argument \"now\""},
        {{"run", "--fullscreen"}, noDisplay, 2, "--fullscreen"},
    };
    for (const auto& [arguments, variables, status, message] : cases) {
        const auto start = std::chrono::steady_clock::now();
        const ProcessResult result = runTrillbox(arguments, {home.path(), "", variables, 5});
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << message;
        EXPECT_EQ(result.exitStatus, status) << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(status == 1, result.err.find("trillbox snapshot") != std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

} // namespace
