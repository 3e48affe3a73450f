#include <cstdlib>
#include <gtest/gtest.h>

#include "support/MprisBusTestSupport.h"

namespace {

namespace fs = std::filesystem;

// mpv with its MPRIS plugin, on the test's private bus, playing files from a
// directory of tagged audio made with sox, with a cover.png beside them.
class MprisMpvBusTest : public MprisBusTest {
protected:
    static void SetUpTestSuite() {
        _media = new TemporaryDirectory();
        const std::filesystem::path dir = _media->path();
        // Short, low-rate and mono: quick to make, long enough to seek in.
        for (const auto& [file, title] :
             {std::pair{"first.ogg", "First Light"}, std::pair{"second.ogg", "Second Wind"}}) {
            const auto made =
                runProcess({"sox", "-n", "-r", "8000", "-c", "1", "--comment", std::string("TITLE=") + title,
                            "--add-comment", "ARTIST=The Testers", (dir / file).string(), "synth", "30",
                            "sine", "440", "vol", "0.3"},
                           {.seconds = 30});
            ASSERT_EQ(made.exitStatus, 0) << "sox failed for " << file;
        }
        writeSolidPng(dir / "cover.png", 64, 48, 1, 0, 0);
    }
    static void TearDownTestSuite() {
        delete _media;
        _media = nullptr;
    }
    void TearDown() override {
        _mpv.stop();
        MprisBusTest::TearDown();
    }

    void startMpv(const std::vector<std::string>& files) {
        std::vector<std::string> argv = {"mpv",           "--no-video", "--ao=null",
                                         "--no-terminal", "--idle=yes", "--keep-open=yes"};
        for (const auto& file : files) {
            argv.push_back(_media->file(file));
        }
        // Its own home, so that no user configuration changes its behaviour.
        _mpv = ChildProcess::start(argv, {.environment = {{"DBUS_SESSION_BUS_ADDRESS", _bus->address()},
                                                          {"HOME", _directory.path()},
                                                          {"XDG_CONFIG_HOME", _directory.file("config")}}});
        ASSERT_TRUE(_mpv) << "mpv did not start";
    }
    // playerctl's answer about the mpv on our bus, without the newline.
    std::string playerctl(const std::vector<std::string>& arguments) {
        std::vector<std::string> argv = {"playerctl", "--player=mpv"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        auto output = runProcess(argv, {.environment = {{"DBUS_SESSION_BUS_ADDRESS", _bus->address()}}}).out;
        while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) {
            output.pop_back();
        }
        return output;
    }
    double playerctlPosition() { return std::atof(playerctl({"position"}).c_str()); }

    static TemporaryDirectory* _media;
    ChildProcess _mpv;
};

TemporaryDirectory* MprisMpvBusTest::_media = nullptr;

TEST_F(MprisMpvBusTest, ShowsTheTrackAndMovesTheRealPlayer) {
    startMpv({"first.ogg"});
    connect();
    _controller->setPresented(YES);
    ASSERT_TRUE(waitUntil([&] { return title() == "First Light" && _controller->artwork(); }, 10))
        << "title: " << title();
    EXPECT_EQ(artist(), "The Testers");
    EXPECT_NEAR(_controller->trackDuration(), 30.0, 0.1);
    const auto artwork = _controller->artwork();
    EXPECT_EQ(artwork->size().width, 64);
    EXPECT_EQ(artwork->size().height, 48);
    EXPECT_EQ(pixelOf(artwork), 0xFFFF0000u);
    const auto application = _controller->nowPlayingApplication();
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(application->description(), "mpv");
    EXPECT_TRUE(application->isSystemApplication());
    EXPECT_TRUE(_controller->isPlaying());

    // Pause: the answer right after the call is still the old state.
    _controller->togglePlayPause();
    EXPECT_TRUE(_controller->isPlaying());
    ASSERT_TRUE(waitUntil([&] { return !_controller->isPlaying(); }));
    EXPECT_EQ(playerctl({"status"}), "Paused");
    _controller->togglePlayPause();
    ASSERT_TRUE(waitUntil([&] { return _controller->isPlaying(); }));
    EXPECT_EQ(playerctl({"status"}), "Playing");

    _controller->setCurrentTrackTime(20.0f);
    ASSERT_TRUE(waitUntil([&] { return playerctlPosition() >= 19.5; }));
    const double real = playerctlPosition();
    EXPECT_LT(real, 25.0);
    EXPECT_NEAR(_controller->trackElapsedTime(), real, 1.0);

    _volume->setVolume(0.5f);
    ASSERT_TRUE(waitUntil([&] { return playerctl({"volume"}).starts_with("0.5"); }));
}

TEST_F(MprisMpvBusTest, PlaylistStepsBothWaysAndQuittingLeavesNothingPlaying) {
    connect();
    startMpv({"first.ogg", "second.ogg"});
    int notifications = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        SBMediaNowPlayingChangedNotification, nullptr, [&](const Ptr<NSNotification>&) { ++notifications; });
    // Found when it appears on the bus.
    ASSERT_TRUE(waitForTitle("First Light", 10));

    _controller->changeTrack(1);
    ASSERT_TRUE(waitForTitle("Second Wind"));
    EXPECT_EQ(playerctl({"metadata", "xesam:title"}), "Second Wind");
    _controller->changeTrack(-1);
    ASSERT_TRUE(waitForTitle("First Light"));
    EXPECT_EQ(playerctl({"metadata", "xesam:title"}), "First Light");
    EXPECT_GE(notifications, 3);

    _mpv.stop();
    ASSERT_TRUE(waitUntil([&] {
        return !_controller->nowPlayingTitle() && !_controller->isPlaying() &&
               !_controller->nowPlayingApplication() && !_controller->artwork();
    }));
    EXPECT_EQ(_controller->trackDuration(), 0);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

} // namespace
