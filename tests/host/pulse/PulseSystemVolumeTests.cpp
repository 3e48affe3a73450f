#include <chrono>
#include <cmath>
#include <regex>
#include <thread>

#include "MediaPlayer/MPVolumeView.h"
#include "UIKit/UISlider.h"
#include "host/HostSystemVolume.h"
#include "pulse/PulseSystemVolume.h"
#include "support/Process.h"
#include "support/TestSupport.h"

namespace {

// Runs what the server's answers post to the main run loop, without moving the
// clock, until `condition` holds or `seconds` passed; the server is another process.
bool answeredWithin(const std::function<bool()>& condition, double seconds = 5) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        NSRunLoop::mainRunLoop()->runPass();
        if (condition() || std::chrono::steady_clock::now() > deadline) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// A sound server of the test's own (one null sink, on a socket in a temporary
// directory) and its default output's volume as the system volume.
class SoundServerVolumePulseTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        ASSERT_TRUE(startServer()) << "pulseaudio did not start";
        _volume = alloc<PulseSystemVolume>()->initWithFallback(_fallback, {_address, nullptr});
        MPSystemVolume::setSharedService(_volume);
        _view = alloc<MPVolumeView>()->initWithFrame(CGRectMake(0, 0, 160, 20));
    }
    void TearDown() override {
        MPSystemVolume::setSharedService(nullptr);
        PlatformTest::TearDown();
    }
    bool startServer() {
        _server = ChildProcess::start(
            {"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "-L", "module-null-sink", "-L",
             "module-native-protocol-unix auth-anonymous=1 socket=" + _directory.file("native")},
            {"", "", {{"HOME", _directory.path()}, {"XDG_RUNTIME_DIR", _directory.path()}}});
        return answeredWithin([&] { return !sink().first.empty(); }, 10);
    }
    ProcessResult pactl(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), "pactl");
        return runProcess(arguments, {"", "", {{"PULSE_SERVER", _address}}});
    }
    // The default sink's channels in percent, and whether it is muted, as pactl reports them.
    std::pair<std::vector<int>, bool> sink() const {
        static const std::regex percent("(\\d+)%");
        const std::string line = pactl({"get-sink-volume", "@DEFAULT_SINK@"}).out;
        std::vector<int> percents;
        for (std::sregex_iterator it(line.begin(), line.end(), percent), end; it != end; ++it) {
            percents.push_back(std::stoi((*it)[1]));
        }
        return {percents, pactl({"get-sink-mute", "@DEFAULT_SINK@"}).out.find("yes") != std::string::npos};
    }
    bool sliderShows(float value) {
        return answeredWithin([&] { return std::fabs(_view->volumeSlider()->value() - value) < 0.005f; });
    }

    TemporaryDirectory _directory;
    const std::string _address = "unix:" + _directory.file("native");
    ChildProcess _server;
    Ptr<host::HostSystemVolume> _fallback = alloc<host::HostSystemVolume>()->initWithVolume(0.5f);
    Ptr<PulseSystemVolume> _volume;
    Ptr<MPVolumeView> _view;
};

TEST_F(SoundServerVolumePulseTest, SliderShowsTheDefaultSinkAndSetsItKeepingTheBalance) {
    const float none = -1;
    // What pactl does first, what the slider is dragged to (none: nothing), what it
    // shows then, and the sink's channels (%) and muting as pactl reports them.
    const std::tuple<std::vector<std::string>, float, float, std::vector<int>, bool> steps[] = {
        {{"set-sink-volume", "@DEFAULT_SINK@", "30%"}, none, 0.3f, {30, 30}, false},
        {{"set-sink-volume", "@DEFAULT_SINK@", "130%"}, none, 1, {130, 130}, false},
        {{}, 0.9f, 0.9f, {90, 90}, false},
        {{"set-sink-volume", "@DEFAULT_SINK@", "80%", "40%"}, none, 0.8f, {80, 40}, false},
        {{}, 0.5f, 0.5f, {50, 25}, false},
        {{"set-sink-mute", "@DEFAULT_SINK@", "1"}, none, 0.5f, {50, 25}, true},
        {{}, 0.6f, 0.6f, {60, 30}, false},
        {{}, 1, 1, {100, 50}, false},
    };
    for (std::size_t step = 0; step < std::size(steps); ++step) {
        const auto& [command, dragTo, shown, channels, muted] = steps[step];
        const std::string what = "step " + std::to_string(step);
        if (!command.empty()) {
            ASSERT_EQ(pactl(command).exitStatus, 0) << what;
        }
        if (dragTo != none) {
            _volume->setVolume(dragTo);
        }
        EXPECT_TRUE(sliderShows(shown)) << what << ": shows " << _view->volumeSlider()->value();
        EXPECT_TRUE(answeredWithin([&] { return sink() == std::pair(channels, muted); })) << what;
    }
}

TEST_F(SoundServerVolumePulseTest, FallsBackWhileNoServerAnswersAndFollowsItAgainWhenItReturns) {
    ASSERT_TRUE(sliderShows(1)) << "the server's volume";
    _server.stop();
    ASSERT_TRUE(sliderShows(0.5f)) << "the fallback's volume";
    _volume->setVolume(0.7f);
    EXPECT_FLOAT_EQ(_fallback->volume(), 0.7f);

    // Tried 1 s after it was lost; a try while it is still away puts the next 1 s
    // later, then 2 s, 4 s...
    advance(1);
    EXPECT_FALSE(answeredWithin([&] { return _volume->followsSoundServer(); }, 0.5));
    ASSERT_TRUE(startServer());
    ASSERT_EQ(pactl({"set-sink-volume", "@DEFAULT_SINK@", "20%"}).exitStatus, 0);
    advance(0.9);
    EXPECT_FALSE(answeredWithin([&] { return _volume->followsSoundServer(); }, 0.5));
    advance(0.1);
    EXPECT_TRUE(sliderShows(0.2f));
}

} // namespace
