#include <cstdlib>
#include <gtest/gtest.h>

#include "host/mpris/MprisTestSupport.h"
#include "support/MprisBusTestSupport.h"

namespace {

// mpv with its MPRIS plugin on the test's private bus.
class MprisMpvBusTest : public MprisBusTest {};

TEST_F(MprisMpvBusTest, FollowsAndDrivesTheRealPlayerUntilItQuits) {
    // Two tagged tracks, short, low-rate and mono (quick to make, long enough to seek in).
    for (const auto& [file, title] : {std::pair{"first.ogg", "First Light"}, {"second.ogg", "Second Wind"}}) {
        ASSERT_EQ(runProcess({"sox", "-n", "-r", "8000", "-c", "1", "--comment",
                              std::string("TITLE=") + title, "--add-comment", "ARTIST=The Testers",
                              _directory.file(file), "synth", "30", "sine", "440"})
                      .exitStatus,
                  0);
    }
    writePng(_directory.file("cover.png"), 64, 48, 1, 0, 0);
    auto playerctl = [&](const std::string& argument) {
        return runProcess({"playerctl", "--player=mpv", argument},
                          {.environment = {{"DBUS_SESSION_BUS_ADDRESS", _bus.address()}}})
            .out;
    };
    connect();
    _controller->setPresented(YES);
    // Its own home, so that no user configuration changes its behaviour.
    auto mpv =
        ChildProcess::start({"mpv", "--no-video", "--ao=null", "--no-terminal", "--idle=yes",
                             "--keep-open=yes", _directory.file("first.ogg"), _directory.file("second.ogg")},
                            {.environment = {{"DBUS_SESSION_BUS_ADDRESS", _bus.address()},
                                             {"HOME", _directory.path()},
                                             {"XDG_CONFIG_HOME", _directory.file("config")}}});
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

} // namespace
