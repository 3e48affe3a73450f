#include <cstdlib>
#include <gtest/gtest.h>

#include "host/EndToEndSupport.h"
#include "host/mpris/MprisTestSupport.h"
#include "support/MprisBusTestSupport.h"
#include "support/TestPaths.h"

namespace {

// mpv with its MPRIS plugin on the test's private bus.
class MprisMpvBusTest : public MprisBusTest {
protected:
    // Two tagged tracks, short, low-rate and mono (quick to make, long enough to seek in).
    void makeTracks() {
        for (const auto& [file, title] :
             {std::pair{"first.ogg", "First Light"}, {"second.ogg", "Second Wind"}}) {
            ASSERT_EQ(runProcess({"sox", "-n", "-r", "8000", "-c", "1", "--comment",
                                  std::string("TITLE=") + title, "--add-comment", "ARTIST=The Testers",
                                  _directory.file(file), "synth", "30", "sine", "440"})
                          .exitStatus,
                      0);
        }
    }
    // The test's bus, and a home of its own so that no user configuration changes behaviour.
    std::map<std::string, std::string> environment() const {
        return {{"DBUS_SESSION_BUS_ADDRESS", _bus.address()},
                {"HOME", _directory.path()},
                {"XDG_CONFIG_HOME", _directory.file("config")},
                {"XDG_DATA_HOME", ""}};
    }
    ChildProcess startMpv() const {
        return ChildProcess::start({"mpv", "--no-video", "--ao=null", "--no-terminal", "--idle=yes",
                                    "--keep-open=yes", _directory.file("first.ogg"),
                                    _directory.file("second.ogg")},
                                   {.environment = environment()});
    }
    std::string playerctl(const std::string& argument) const {
        return runProcess({"playerctl", "--player=mpv", argument}, {.environment = environment()}).out;
    }
};

TEST_F(MprisMpvBusTest, FollowsAndDrivesTheRealPlayerUntilItQuits) {
    makeTracks();
    writePng(_directory.file("cover.png"), 64, 48, 1, 0, 0);
    connect();
    _controller->setPresented(YES);
    auto mpv = startMpv();
    // Found when it appears on the bus, with the cover beside the file as artwork.
    ASSERT_TRUE(waitUntil([&] { return title() == "First Light" && _controller->artwork(); }, 10)) << title();
    EXPECT_EQ(NSStringText(_controller->nowPlayingArtist()), "The Testers");
    EXPECT_NEAR(_controller->trackDuration(), 30.0, 0.1);
    EXPECT_EQ(_controller->artwork()->size().width, 64);
    EXPECT_EQ(_controller->nowPlayingApplication()->description(), "mpv");
    EXPECT_TRUE(_controller->nowPlayingApplication()->isSystemApplication());

    // Pause: the answer right after the call is still the old state.
    _controller->togglePlayPause();
    EXPECT_TRUE(_controller->isPlaying());
    ASSERT_TRUE(waitUntil([&] { return !_controller->isPlaying(); }));
    _controller->togglePlayPause();
    ASSERT_TRUE(waitUntil([&] { return _controller->isPlaying(); }));
    _controller->changeTrack(1);
    ASSERT_TRUE(waitForTitle("Second Wind"));
    _controller->changeTrack(-1);
    ASSERT_TRUE(waitForTitle("First Light"));

    _controller->setCurrentTrackTime(20.0f);
    ASSERT_TRUE(waitUntil([&] { return std::atof(playerctl("position").c_str()) >= 19.5; }));
    EXPECT_NEAR(_controller->trackElapsedTime(), std::atof(playerctl("position").c_str()), 1.0);
    _volume->setVolume(0.5f);
    ASSERT_TRUE(waitUntil([&] { return playerctl("volume").starts_with("0.5"); }));

    mpv.stop();
    ASSERT_TRUE(waitUntil([&] { return !_controller->nowPlayingApplication() && !_controller->artwork(); }));
    EXPECT_FALSE(_controller->isPlaying());
}

TEST_F(MprisMpvBusTest, TheWidgetsPlayButtonFollowsThePlayerDrivenFromElsewhere) {
    makeTracks();
    auto mpv = startMpv();
    std::string script = "present\n";
    for (int dump = 0; dump < 300; ++dump) {
        script += "wait 0.1\ndump\n"; // for 30 s, stopped with the test
    }
    auto trillbox = ChildProcess::start(
        {TRILLBOX_BINARY, "--device-root", _directory.path(), "--player", "mpris", "script", "-"},
        {.input = script, .environment = environment()});
    // The latest dump shows the play button with `image` and the title line with `title`.
    auto shows = [&](const std::string& image, const std::string& title) {
        return waitUntil(
            [&] {
                const std::string out = trillbox.out();
                const std::size_t end = out.rfind('\n'); // a dump may be half written
                if (end == std::string::npos) {
                    return false;
                }
                const std::size_t begin = out.rfind('\n', end - 1) + 1; // 0 for the first dump
                const Json dump = Json::parse(out.substr(begin, end - begin));
                return control(dump, "UIButton", 202, 42)["image"] == image &&
                       control(dump, "MarqueeLabel", 110, 10)["text"].dump().find(title) != std::string::npos;
            },
            10);
    };
    ASSERT_TRUE(shows("pause", "First Light")) << trillbox.err();
    for (const auto& [command, image, title] : {std::tuple{"pause", "play", "First Light"},
                                                {"next", "play", "Second Wind"},
                                                {"play", "pause", "Second Wind"}}) {
        playerctl(command);
        EXPECT_TRUE(shows(image, title)) << command;
    }
}

} // namespace
