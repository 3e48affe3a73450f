#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <sstream>

#include "UIKit/UIImage.h"
#include "support/MprisBusTestSupport.h"
#include "support/Process.h"
#include "support/TestPaths.h"
#include "support/TestSupport.h"
#include "window/WindowLayout.h"

// The real program in a window on an X server of each test's own, driven with
// xdotool; its screenshots are compared with pictures the headless program draws
// of the same moments.
namespace {

// The widget's controls, in its points.
constexpr CGRect kArtwork{{10, 10}, {85, 85}};
constexpr CGRect kTitleLine{{110, 10}, {200, 20}};
constexpr CGRect kPlayButton{{202, 42}, {16, 20}};
constexpr CGRect kBottomRow{{110, 75}, {200, 20}};
constexpr CGRect kTimeSlider{{150, 75}, {120, 20}};
constexpr CGRect kElapsedLabel{{111, 75}, {40, 20}};
constexpr CGSize kWidget{320, 105};
constexpr CGFloat kScale = 2;
// Mean channel difference under which two areas show the same thing.
constexpr double kSame = 1.0;
// How long the program may take to show what a test expects.
constexpr double kPatience = 10;

CGPoint centre(CGRect rect) {
    return {CGRectGetMidX(rect), CGRectGetMidY(rect)};
}

bool hasProgram(const std::string& name) {
    return runProcess({"sh", "-c", "command -v " + name}).exitStatus == 0;
}

// A picture of the widget; empty when it could not be read.
UICairoSurface loadPicture(const std::string& path) {
    UICairoSurface png(cairo_image_surface_create_from_png(path.c_str()));
    cairo_surface_flush(png.get());
    return cairo_surface_status(png.get()) == CAIRO_STATUS_SUCCESS ? png : UICairoSurface();
}

// The mean difference of the colour channels (0 to 255) of `area` in two pictures
// of the widget; infinite when either is missing or not as large as the widget.
double difference(const UICairoSurface& a, const UICairoSurface& b, CGRect area) {
    for (cairo_surface_t* picture : {a.get(), b.get()}) {
        if (!picture || cairo_image_surface_get_width(picture) != kWidget.width * kScale ||
            cairo_image_surface_get_height(picture) != kWidget.height * kScale) {
            return std::numeric_limits<double>::infinity();
        }
    }
    const auto byte = [](const UICairoSurface& picture, int x, int y) {
        return int{cairo_image_surface_get_data(
            picture.get())[y * cairo_image_surface_get_stride(picture.get()) + x]};
    };
    const int left = area.origin.x * kScale, top = area.origin.y * kScale;
    const int width = area.size.width * kScale, height = area.size.height * kScale;
    double total = 0;
    for (int y = top; y < top + height; ++y) {
        // Blue, green and red of each pixel; not its fourth byte.
        for (int x = left * 4; x < (left + width) * 4; ++x) {
            total += x % 4 == 3 ? 0 : std::abs(byte(a, x, y) - byte(b, x, y));
        }
    }
    return total / (3.0 * width * height);
}

// One program in a window on a display of the test's own.
class WindowDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!hasProgram("Xvfb")) {
            GTEST_SKIP() << "Xvfb is not available";
        }
        // The server picks a free display and writes its number once it accepts clients.
        xvfb = ChildProcess::start(
            {"Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
        ASSERT_TRUE(waitUntil([&] { return xvfb.out().find('\n') != std::string::npos; }, kPatience));
        environment["DISPLAY"] = ":" + xvfb.out().substr(0, xvfb.out().find('\n'));
    }

    std::vector<std::string> trillbox(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), {TRILLBOX_BINARY, "--device-root", work.path()});
        return arguments;
    }
    // Runs xdotool with `command`, split at spaces.
    ProcessResult xdotool(const std::string& command) const {
        std::istringstream words("xdotool " + command);
        return runProcess({std::istream_iterator<std::string>(words), {}}, {.environment = environment});
    }
    std::string moveTo(CGPoint point) const {
        return "mousemove --window " + windowId + " " +
               std::to_string(layout.widgetX() + static_cast<int>(point.x * kScale)) + " " +
               std::to_string(layout.widgetY() + static_cast<int>(point.y * kScale)) + " ";
    }
    void click(CGPoint point, int count = 1) const {
        xdotool(moveTo(point) + "click --repeat " + std::to_string(count) + " --delay 120 1");
    }
    void key(const std::string& name) const {
        xdotool("windowfocus --sync " + windowId);
        xdotool("key " + name);
    }

    // Starts the program and finds its window.
    void openWindow(const std::vector<std::string>& arguments = {"--player", "demo", "run",
                                                                 "--frame-stats"}) {
        program = ChildProcess::start(trillbox(arguments), {work.path(), "", environment});
        std::istringstream found(xdotool("search --sync --name ^Trillbox$").out);
        std::getline(found, windowId);
        ASSERT_FALSE(windowId.empty()) << "no window; the program said: " << program.err();
    }
    // The widget's part of the window.
    UICairoSurface screenshot() const {
        const std::string path = work.file("screen.png");
        std::filesystem::remove(path);
        std::ostringstream widget;
        widget << layout.widgetPixelWidth() << "x" << layout.widgetPixelHeight() << "+" << layout.widgetX()
               << "+" << layout.widgetY();
        runProcess({"import", "-window", windowId, "-crop", widget.str(), "+repage", "png:" + path},
                   {.environment = environment});
        return loadPicture(path);
    }
    // The widget drawn headless after each step of a script that starts by
    // presenting it; the steps run one after the other.
    std::vector<UICairoSurface> references(const std::vector<std::string>& steps) const {
        std::string script = "present\n";
        for (std::size_t index = 0; index < steps.size(); ++index) {
            script += steps[index] + "\nsnapshot " + std::to_string(index) + ".png\n";
        }
        const ProcessResult result =
            runProcess(trillbox({"script", "-"}), {work.path(), script, environment});
        EXPECT_EQ(result.exitStatus, 0) << "the headless reference failed: " << result.err;
        std::vector<UICairoSurface> pictures;
        for (std::size_t index = 0; index < steps.size(); ++index) {
            pictures.push_back(loadPicture(work.file(std::to_string(index) + ".png")));
        }
        return pictures;
    }
    double distance(const UICairoSurface& expected, CGRect area) const {
        return difference(screenshot(), expected, area);
    }
    bool eventuallyShows(const UICairoSurface& expected, CGRect area) const {
        return waitUntil([&] { return distance(expected, area) < kSame; }, kPatience);
    }

    ChildProcess xvfb;
    TemporaryDirectory work;
    std::map<std::string, std::string> environment{{"SDL_VIDEODRIVER", "x11"}, {"HOME", work.path()}};
    const host::WindowLayout layout{kWidget, kScale};
    ChildProcess program;
    std::string windowId;
};

TEST_F(WindowDisplayTest, ClicksAndSpaceTogglePlayPauseButAPressCutShortByHidingTheWindowDoesNot) {
    const auto pictures = references({"wait 0.2", "tap 210 52\nwait 0.2"});
    const UICairoSurface &playing = pictures[0], &paused = pictures[1];
    ASSERT_GT(difference(playing, paused, kPlayButton), 10)
        << "the two images must differ for this test to mean anything";
    openWindow();
    ASSERT_TRUE(eventuallyShows(playing, kPlayButton));
    click(centre(kPlayButton));
    EXPECT_TRUE(eventuallyShows(paused, kPlayButton)) << distance(paused, kPlayButton);
    key("space");
    EXPECT_TRUE(eventuallyShows(playing, kPlayButton)) << distance(playing, kPlayButton);

    // Down on play/pause, the window goes away and comes back, the button lets go:
    // the touch was cancelled with the window, so the button does not act.
    xdotool(moveTo(centre(kPlayButton)) + "mousedown 1");
    xdotool("windowunmap --sync " + windowId);
    xdotool("windowmap --sync " + windowId);
    xdotool("mouseup 1");
    EXPECT_TRUE(eventuallyShows(playing, kArtwork)) << "not drawn again";
    // One press of space later the widget is paused: the cut press toggled nothing.
    key("space");
    EXPECT_TRUE(eventuallyShows(paused, kPlayButton)) << distance(paused, kPlayButton);

    key("Escape");
    EXPECT_EQ(program.wait(kPatience), 0) << program.err();
    EXPECT_NE(program.out().find("frames: "), std::string::npos) << program.out();
}

TEST_F(WindowDisplayTest, DoubleClickOnTheArtworkSwitchesTheBottomRow) {
    const auto pictures = references({"wait 0.2", "doubletap 52 52\nwait 0.5"});
    const UICairoSurface &timeRow = pictures[0], &volumeRow = pictures[1];
    openWindow();
    // The time labels move on, so the row is told by which reference is nearer.
    const auto nearerToVolume = [&] {
        const UICairoSurface shot = screenshot();
        return difference(shot, volumeRow, kBottomRow) < difference(shot, timeRow, kBottomRow);
    };
    ASSERT_TRUE(eventuallyShows(timeRow, kArtwork));
    EXPECT_FALSE(nearerToVolume());
    click(centre(kArtwork), 2);
    EXPECT_TRUE(eventuallyShows(volumeRow, kBottomRow)) << "the volume row does not show";
    click(centre(kArtwork), 2);
    EXPECT_TRUE(waitUntil([&] { return !nearerToVolume(); }, kPatience));
}

TEST_F(WindowDisplayTest, DraggingTheTimeSliderSeeksTheDemoPlayer) {
    // The elapsed label around the middle of the first track (3:33), as the player shows it.
    std::vector<std::string> steps{"wait 0.2"};
    for (int seconds = 95; seconds <= 118; ++seconds) {
        steps.push_back("player seek " + std::to_string(seconds) + "\nwait 0.6");
    }
    const std::vector<UICairoSurface> pictures = references(steps);
    const auto showsTheMiddle = [&] {
        const UICairoSurface shot = screenshot();
        return std::any_of(pictures.begin() + 1, pictures.end(), [&](const UICairoSurface& middle) {
            return difference(shot, middle, kElapsedLabel) < kSame;
        });
    };
    openWindow();
    // The slider takes touches once the first tick has found a system player.
    ASSERT_TRUE(waitUntil([&] { return distance(pictures[0], kElapsedLabel) > kSame; }, kPatience));
    ASSERT_FALSE(showsTheMiddle());

    // The thumb starts at the left end (a second or two into the track); it is
    // dropped on the slider's middle, which is the track's middle.
    const auto thumb = UIImage::imageWithContentsOfFile(NSStr(TRILLBOX_BUNDLE_DIR "/slider_thumb.png"));
    ASSERT_NE(thumb, nullptr);
    const CGFloat y = centre(kTimeSlider).y, from = kTimeSlider.origin.x + thumb->size().width / 2;
    std::string drag = moveTo({from, y}) + "mousedown 1 ";
    for (int step = 1; step <= 6; ++step) {
        drag += moveTo({from + (centre(kTimeSlider).x - from) * step / 6, y}) + "sleep 0.03 ";
    }
    xdotool(drag + "mouseup 1");
    EXPECT_TRUE(waitUntil(showsTheMiddle, kPatience)) << "the elapsed time is not near the middle";
}

TEST_F(WindowDisplayTest, WithoutAChosenPlayerTheWindowFollowsTheSessionBusWhenOneAnswers) {
    const auto pictures = references({"wait 0.2", "player stop\nwait 0.2"});
    environment["DBUS_SESSION_BUS_ADDRESS"] = "";
    environment["XDG_RUNTIME_DIR"] = work.path();
    std::optional<PrivateBus> bus;
    for (const auto& [expected, area] : {std::pair{&pictures[0], kArtwork}, {&pictures[1], kTitleLine}}) {
        openWindow({"run"});
        EXPECT_TRUE(eventuallyShows(*expected, area)) << distance(*expected, area);
        EXPECT_EQ(program.terminate(kPatience), 0);
        EXPECT_EQ(program.err().find("no session bus answers") == std::string::npos, bus.has_value());
        bus.emplace(work.path());
    }
}

// A 1.5 desktop gives a window at 3 (352 x 140 points: 1056 x 420 pixels); moved
// and closed, the next window opens there at 3 although the desktop says 1 now.
TEST_F(WindowDisplayTest, TheNextWindowOpensWhereAndAtTheScaleTheLastOneClosed) {
    environment.insert({{"XDG_CONFIG_HOME", work.file("config")}, {"GDK_SCALE", "1.5"}});
    for (const bool first : {true, false}) {
        openWindow({"run"});
        xdotool(first ? "windowmove " + windowId + " 100 60" : "getwindowname " + windowId);
        const auto place = [&] { return xdotool("getwindowgeometry " + windowId).out; };
        EXPECT_TRUE(
            waitUntil([&] { return place().find("Position: 100,60 ") != std::string::npos; }, kPatience));
        EXPECT_NE(place().find("Geometry: 1056x420"), std::string::npos) << place();
        EXPECT_EQ(program.terminate(kPatience), 0) << program.err();
        environment.erase("GDK_SCALE");
    }
}

// News from a player on the session bus arrive on the bus's thread and are posted
// to the run loop; the sleeping window must wake for them. The widget's own timer
// is stopped first (pause from the window), so nothing else wakes it.
TEST_F(WindowDisplayTest, NewsFromAPlayerOnTheSessionBusReachesTheSleepingWindow) {
    for (const char* tool : {"dbus-daemon", "mpv", "playerctl"}) {
        if (!hasProgram(tool)) {
            GTEST_SKIP() << tool << " is not available";
        }
    }
    const auto pictures = references({"player stop\nwait 0.2", "player play\nwait 0.2"});
    const UICairoSurface &notPlaying = pictures[0], &playing = pictures[1];
    PrivateBus bus(work.path());
    ASSERT_TRUE(bus.isRunning());
    environment["DBUS_SESSION_BUS_ADDRESS"] = bus.address();
    ChildProcess mpv =
        ChildProcess::start({"mpv", "--no-video", "--ao=null", "--no-terminal", "--idle=yes",
                             "--keep-open=yes", "av://lavfi:anullsrc=d=120", "av://lavfi:sine=d=120"},
                            {work.path(), "", environment});
    const auto mpvIs = [&](const std::string& status) {
        const auto asked = [&] {
            return runProcess({"playerctl", "--player=mpv", "status"}, {.environment = environment});
        };
        return waitUntil([&] { return asked().out == status + "\n"; }, kPatience);
    };
    ASSERT_TRUE(mpvIs("Playing"));

    openWindow({"--player", "mpris", "run"});
    // Once the widget has found the player (its title line no longer says "Not
    // Playing"), pausing from the window stops the widget's track-time timer.
    ASSERT_TRUE(waitUntil([&] { return distance(notPlaying, kTitleLine) > 2; }, kPatience)) << program.err();
    click(centre(kPlayButton));
    ASSERT_TRUE(mpvIs("Paused"));
    const UICairoSurface before = screenshot();
    runProcess({"playerctl", "--player=mpv", "next"}, {.environment = environment});
    EXPECT_TRUE(waitUntil([&] { return difference(screenshot(), before, kTitleLine) > 2; }, kPatience))
        << "the title line did not follow the player";
    // Played and paused from elsewhere, the play button says what a press will do next.
    for (const auto& [command, picture] : {std::pair{"play", &playing}, {"pause", &notPlaying}}) {
        runProcess({"playerctl", "--player=mpv", command}, {.environment = environment});
        EXPECT_TRUE(eventuallyShows(*picture, kPlayButton))
            << command << ": " << distance(*picture, kPlayButton);
    }
    EXPECT_EQ(program.terminate(kPatience), 0) << program.err();
}

// With MPRIS players a caption under the widget names the followed one; Tab and the
// wheel over the caption follow the next player, which space then plays or pauses.
TEST_F(WindowDisplayTest, TabAndTheWheelOverTheCaptionFollowTheNextPlayer) {
    PrivateBus bus(work.path());
    ASSERT_TRUE(bus.isRunning());
    FakeMprisPlayer one(bus.address(), FakeMprisPlayer::playing("one", "One"));
    FakeMprisPlayer two(bus.address(), FakeMprisPlayer::playing("two", "Two"));
    environment["DBUS_SESSION_BUS_ADDRESS"] = bus.address();
    openWindow({"--player", "mpris", "run"});
    const auto toggles = [](const FakeMprisPlayer& player) {
        return std::ranges::count(player.calls(), "PlayPause");
    };
    // Once a player is followed, space reaches it.
    ASSERT_TRUE(waitUntil(
        [&] {
            key("space");
            return toggles(one) + toggles(two) > 0;
        },
        kPatience));
    const FakeMprisPlayer& first = toggles(one) > 0 ? one : two;
    const FakeMprisPlayer& second = &first == &one ? two : one;
    const auto spaceReaches = [&](const FakeMprisPlayer& player) {
        const auto before = toggles(player);
        key("space");
        return waitUntil([&] { return toggles(player) > before; }, kPatience);
    };
    key("Tab");
    EXPECT_TRUE(spaceReaches(second));
    const CGRect caption = host::WindowLayout(kWidget, kScale, true).captionRect();
    xdotool("mousemove --window " + windowId + " " + std::to_string(int(CGRectGetMidX(caption) * kScale)) +
            " " + std::to_string(int(CGRectGetMidY(caption) * kScale)) + " click 5");
    EXPECT_TRUE(spaceReaches(first));
}

} // namespace
