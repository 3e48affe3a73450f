#include <gtest/gtest.h>

#include <SDL.h>
#include <cairo.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "support/DisplaySupport.h"
#include "support/Process.h"
#include "support/TestPaths.h"
#include "support/TestSupport.h"
#include "window/ModalPanel.h"
#include "window/WindowLayout.h"

namespace {

namespace fs = std::filesystem;

// The widget's controls, in its points.
constexpr CGRect kArtwork{{10, 10}, {85, 85}};
constexpr CGRect kTitleLine{{110, 10}, {200, 20}};
constexpr CGRect kPlayButton{{202, 42}, {16, 20}};
constexpr CGRect kBottomRow{{110, 75}, {200, 20}};
constexpr CGRect kTimeSlider{{150, 75}, {120, 20}};
constexpr CGRect kElapsedLabel{{111, 75}, {40, 20}};
constexpr CGFloat kScale = 2;
// The first track is long, so that its thumb starts at the slider's left end.
constexpr double kFirstTrackSeconds = 600;
const std::string kShareMessage = "#np Short Song by Band via Trillbox";
// Mean channel difference under which two areas show the same thing.
constexpr double kSame = 1.0;
// How long the program may take to show what a test expects.
constexpr double kPatience = 10;

CGPoint centre(CGRect rect) {
    return {rect.origin.x + rect.size.width / 2, rect.origin.y + rect.size.height / 2};
}

// One program in a window on an X server of its own, with a playlist whose first
// track has artwork and a title that fits, a home directory with a pictures
// directory, and references drawn by the headless program from the same playlist.
class WindowDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!display.isRunning()) {
            GTEST_SKIP() << "Xvfb is not available";
        }
        writeArtwork(work.file("cover.png"), 64, 48);
        work.write("playlist.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><array>
<dict><key>title</key><string>Short Song</string><key>artist</key><string>Band</string>
<key>duration</key><real>600</real><key>artwork</key><string>cover.png</string></dict>
<dict><key>title</key><string>Second Song</string><key>artist</key><string>Band</string>
<key>duration</key><real>300</real></dict>
</array></plist>
)");
        fs::create_directories(home.file("Pictures"));
    }

    static void writeArtwork(const std::string& path, int width, int height) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        cairo_t* context = cairo_create(surface);
        cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, width, height);
        cairo_pattern_add_color_stop_rgb(gradient, 0, 0.9, 0.2, 0.3);
        cairo_pattern_add_color_stop_rgb(gradient, 1, 0.1, 0.3, 0.9);
        cairo_set_source(context, gradient);
        cairo_paint(context);
        cairo_pattern_destroy(gradient);
        cairo_destroy(context);
        cairo_surface_write_to_png(surface, path.c_str());
        cairo_surface_destroy(surface);
    }

    std::map<std::string, std::string> environment() const {
        return {{"DISPLAY", display.name()},
                {"SDL_VIDEODRIVER", "x11"},
                {"HOME", home.path()},
                {"XDG_CONFIG_HOME", home.file(".config")},
                {"XDG_DATA_HOME", home.file(".local/share")}};
    }
    std::vector<std::string> trillbox(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), {TRILLBOX_BINARY, "--device-root", deviceRoot.path(),
                                             "--playlist", work.file("playlist.plist")});
        return arguments;
    }

    // Starts the program and finds its window.
    void openWindow() {
        program = ChildProcess::start(trillbox({"run", "--frame-stats"}), {work.path(), "", environment()});
        const ProcessResult found = xdotool({"search", "--sync", "--name", "^Trillbox$"});
        std::istringstream lines(found.out);
        std::getline(lines, windowId);
        ASSERT_FALSE(windowId.empty()) << "no window; the program said: " << program.err();
        const auto shot = screenshot();
        ASSERT_TRUE(shot);
        ASSERT_EQ(shot->width, layout.windowWidth());
        ASSERT_EQ(shot->height, layout.windowHeight());
    }

    ProcessResult xdotool(std::vector<std::string> arguments) const {
        arguments.insert(arguments.begin(), "xdotool");
        return runProcess(arguments, {.environment = environment()});
    }

    std::optional<Image> screenshot() const {
        const std::string path = work.file("screen.png");
        std::filesystem::remove(path);
        if (runProcess({"import", "-window", windowId, "png:" + path}, {.environment = environment()})
                .exitStatus != 0) {
            return std::nullopt;
        }
        return loadPng(path);
    }

    // The widget drawn headless after each step of a script that starts by
    // presenting it; the steps run one after the other.
    std::vector<Image> references(const std::vector<std::string>& steps) const {
        std::string script = "present\n";
        for (std::size_t index = 0; index < steps.size(); ++index) {
            script += steps[index] + "\nsnapshot " +
                      work.file("reference-" + std::to_string(index) + ".png") + "\n";
        }
        const ProcessResult result = runProcess(trillbox({"script", work.write("reference.script", script)}),
                                                {.environment = environment()});
        EXPECT_EQ(result.exitStatus, 0) << "the headless reference failed";
        std::vector<Image> images;
        for (std::size_t index = 0; index < steps.size(); ++index) {
            auto image = loadPng(work.file("reference-" + std::to_string(index) + ".png"));
            EXPECT_TRUE(image);
            images.push_back(image ? *image : Image{});
        }
        return images;
    }
    Image reference(const std::string& script) const { return references({script}).front(); }

    PixelRect inWidget(CGRect area) const {
        return {static_cast<int>(area.origin.x * kScale), static_cast<int>(area.origin.y * kScale),
                static_cast<int>(area.size.width * kScale), static_cast<int>(area.size.height * kScale)};
    }
    PixelRect inWindow(CGRect area) const {
        PixelRect rect = inWidget(area);
        rect.x += layout.widgetX();
        rect.y += layout.widgetY();
        return rect;
    }
    std::string windowX(CGFloat widgetX) const {
        return std::to_string(layout.widgetX() + static_cast<int>(widgetX * kScale));
    }
    std::string windowY(CGFloat widgetY) const {
        return std::to_string(layout.widgetY() + static_cast<int>(widgetY * kScale));
    }

    // How far `area` of the window is from the same area of `expected`.
    double distance(const Image& expected, CGRect area) const {
        const auto shot = screenshot();
        return shot ? difference(*shot, inWindow(area), expected, inWidget(area))
                    : std::numeric_limits<double>::infinity();
    }
    bool shows(const Image& expected, CGRect area) const { return distance(expected, area) < kSame; }
    bool eventuallyShows(const Image& expected, CGRect area) const {
        return waitUntil([&] { return shows(expected, area); }, kPatience);
    }

    void click(CGPoint point, int count = 1) const {
        xdotool({"mousemove", "--window", windowId, windowX(point.x), windowY(point.y), "click", "--repeat",
                 std::to_string(count), "--delay", "120", "1"});
    }
    void key(const std::string& name) const {
        xdotool({"windowfocus", "--sync", windowId});
        xdotool({"key", name});
    }
    // A finger held on the artwork long enough to be a long press.
    void longPressArtwork() const {
        xdotool({"mousemove", "--window", windowId, windowX(centre(kArtwork).x), windowY(centre(kArtwork).y),
                 "mousedown", "1", "sleep", "0.8", "mouseup", "1"});
    }

    // The dimmed window means an alert or the share sheet is up.
    bool panelIsShown() const {
        const auto shot = screenshot();
        return shot && (shot->at(2, 2) & 0xFF) < 0x15;
    }
    // Clicks button `index` of the share sheet for `message`.
    void clickShareButton(int index, bool withArtwork) const {
        std::vector<std::string> buttons{"Copy", "Cancel"};
        if (withArtwork) {
            buttons.insert(buttons.begin() + 1, "Save Artwork");
        }
        const host::ModalPanel panel(
            host::PanelContent{"Share", kShareMessage, buttons, static_cast<int>(buttons.size()) - 1, 0},
            layout.windowSizeInPoints());
        const CGPoint point = centre(panel.buttonRect(index));
        xdotool({"mousemove", "--window", windowId, std::to_string(static_cast<int>(point.x * kScale)),
                 std::to_string(static_cast<int>(point.y * kScale)), "click", "1"});
    }

    VirtualDisplay display;
    TemporaryDirectory work;
    TemporaryDirectory home;
    TemporaryDirectory deviceRoot;
    const host::WindowLayout layout{{320, 105}, kScale};
    ChildProcess program;
    std::string windowId;
};

TEST_F(WindowDisplayTest, ClickingPlayPauseShowsTheOtherImageAndSpaceTurnsItBack) {
    const Image playing = reference("wait 0.2");
    const Image paused = reference("tap 210 52\nwait 0.2");
    ASSERT_GT(difference(playing, inWidget(kPlayButton), paused, inWidget(kPlayButton)), 10)
        << "the two images must differ for this test to mean anything";
    openWindow();
    ASSERT_TRUE(eventuallyShows(playing, kPlayButton));

    click(centre(kPlayButton));
    EXPECT_TRUE(eventuallyShows(paused, kPlayButton)) << distance(paused, kPlayButton);

    key("space");
    EXPECT_TRUE(eventuallyShows(playing, kPlayButton)) << distance(playing, kPlayButton);
}

TEST_F(WindowDisplayTest, DoubleClickOnTheArtworkSwitchesTheBottomRow) {
    const Image timeRow = reference("wait 0.2");
    const Image volumeRow = reference("doubletap 52 52\nwait 0.5");
    openWindow();
    // The time labels move on, so the row is told by which reference is nearer.
    const auto nearerToVolume = [&] {
        const auto shot = screenshot();
        return shot && difference(*shot, inWindow(kBottomRow), volumeRow, inWidget(kBottomRow)) <
                           difference(*shot, inWindow(kBottomRow), timeRow, inWidget(kBottomRow));
    };
    ASSERT_TRUE(eventuallyShows(timeRow, kArtwork));
    EXPECT_FALSE(nearerToVolume());

    click(centre(kArtwork), 2);
    EXPECT_TRUE(waitUntil(nearerToVolume, kPatience));
    EXPECT_TRUE(eventuallyShows(volumeRow, kBottomRow)) << "the volume row does not move";

    click(centre(kArtwork), 2);
    EXPECT_TRUE(waitUntil([&] { return !nearerToVolume(); }, kPatience));
}

TEST_F(WindowDisplayTest, DraggingTheTimeSliderSeeksTheDemoPlayer) {
    // The elapsed label around the middle of the first track, as the player shows it.
    std::vector<std::string> seeks;
    for (int seconds = 285; seconds <= 310; ++seconds) {
        seeks.push_back("player seek " + std::to_string(seconds) + "\nwait 0.6");
    }
    const std::vector<Image> middle = references(seeks);
    const auto showsTheMiddle = [&] {
        const auto shot = screenshot();
        if (!shot) {
            return false;
        }
        for (const Image& candidate : middle) {
            if (difference(*shot, inWindow(kElapsedLabel), candidate, inWidget(kElapsedLabel)) < kSame) {
                return true;
            }
        }
        return false;
    };
    const Image beforeFirstTick = reference("wait 0.2");
    openWindow();
    // The slider takes touches once the first tick has found a system player.
    ASSERT_TRUE(waitUntil([&] { return distance(beforeFirstTick, kElapsedLabel) > kSame; }, kPatience));
    ASSERT_FALSE(showsTheMiddle());

    // The thumb starts at the left end (a second or two into ten minutes); it is
    // dropped on the slider's middle, which is the track's middle.
    cairo_surface_t* thumb = cairo_image_surface_create_from_png(TRILLBOX_BUNDLE_DIR "/slider_thumb.png");
    ASSERT_EQ(cairo_surface_status(thumb), CAIRO_STATUS_SUCCESS);
    const CGFloat thumbWidth = cairo_image_surface_get_width(thumb);
    cairo_surface_destroy(thumb);
    const CGFloat y = centre(kTimeSlider).y;
    const CGFloat from = kTimeSlider.origin.x + thumbWidth / 2;
    const CGFloat to = centre(kTimeSlider).x;
    std::vector<std::string> drag{"mousemove", "--window",  windowId, windowX(from),
                                  windowY(y),  "mousedown", "1"};
    for (int step = 1; step <= 6; ++step) {
        drag.insert(drag.end(), {"mousemove", "--window", windowId, windowX(from + (to - from) * step / 6),
                                 windowY(y), "sleep", "0.03"});
    }
    drag.insert(drag.end(), {"mouseup", "1"});
    xdotool(drag);

    // The labels show the player's position at each of its ticks.
    EXPECT_TRUE(waitUntil(showsTheMiddle, kPatience))
        << "the elapsed time is not near " << kFirstTrackSeconds / 2;
}

TEST_F(WindowDisplayTest, ArrowKeysChangeTrackAndEscapeCloses) {
    const Image first = reference("wait 0.2");
    const Image second = reference("player next\nwait 0.2");
    ASSERT_GT(difference(first, inWidget(kTitleLine), second, inWidget(kTitleLine)), 2);
    openWindow();
    ASSERT_TRUE(eventuallyShows(first, kTitleLine));
    key("Right");
    EXPECT_TRUE(eventuallyShows(second, kTitleLine));
    key("Left");
    EXPECT_TRUE(eventuallyShows(first, kTitleLine));

    key("Escape");
    EXPECT_EQ(program.wait(kPatience), 0) << program.err();
    EXPECT_NE(program.out().find("frames: "), std::string::npos) << program.out();
}

TEST_F(WindowDisplayTest, TheShareSheetCopiesTheMessageAndSavesTheArtworkUnderFreshNames) {
    openWindow();
    ASSERT_TRUE(waitUntil([&] { return !panelIsShown() && screenshot(); }, kPatience));

    longPressArtwork();
    ASSERT_TRUE(waitUntil([&] { return panelIsShown(); }, kPatience)) << "no share sheet";
    clickShareButton(0, true);
    ASSERT_TRUE(waitUntil([&] { return !panelIsShown(); }, kPatience));

    // The clipboard, as another program on the display reads it.
    ::setenv("DISPLAY", display.name().c_str(), 1);
    ::setenv("SDL_VIDEODRIVER", "x11", 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    char* text = SDL_GetClipboardText();
    EXPECT_EQ(std::string(text ? text : ""), kShareMessage);
    SDL_free(text);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);

    for (const char* name : {"trillbox-artwork.png", "trillbox-artwork-2.png"}) {
        longPressArtwork();
        ASSERT_TRUE(waitUntil([&] { return panelIsShown(); }, kPatience)) << "no share sheet";
        clickShareButton(1, true);
        const std::string saved = home.file(std::string("Pictures/") + name);
        ASSERT_TRUE(waitUntil([&] { return fs::exists(saved) && loadPng(saved).has_value(); }, kPatience))
            << name;
        const auto image = loadPng(saved);
        EXPECT_EQ(image->width, 64);
        EXPECT_EQ(image->height, 48);
        EXPECT_TRUE(waitUntil([&] { return !panelIsShown(); }, kPatience));
    }
    EXPECT_NE(program.out().find("Artwork saved to " + home.file("Pictures/trillbox-artwork-2.png")),
              std::string::npos)
        << program.out();

    // Cancel closes the sheet and nothing more is saved.
    longPressArtwork();
    ASSERT_TRUE(waitUntil([&] { return panelIsShown(); }, kPatience));
    clickShareButton(2, true);
    EXPECT_TRUE(waitUntil([&] { return !panelIsShown(); }, kPatience));
    EXPECT_FALSE(fs::exists(home.file("Pictures/trillbox-artwork-3.png")));
}

TEST_F(WindowDisplayTest, AHiddenWindowComesBackDrawnAndStopsOnSigterm) {
    const Image playing = reference("wait 0.2");
    const Image paused = reference("tap 210 52\nwait 0.2");
    openWindow();
    ASSERT_TRUE(eventuallyShows(playing, kArtwork));
    xdotool({"windowunmap", "--sync", windowId});
    xdotool({"windowmap", "--sync", windowId});
    EXPECT_TRUE(eventuallyShows(playing, kArtwork));
    EXPECT_TRUE(eventuallyShows(playing, kPlayButton));
    // Presented again, it takes clicks again.
    click(centre(kPlayButton));
    EXPECT_TRUE(eventuallyShows(paused, kPlayButton));
    EXPECT_EQ(program.terminate(kPatience), 0) << program.err();
}

TEST_F(WindowDisplayTest, APressCutShortByHidingTheWindowPressesNothing) {
    const Image playing = reference("wait 0.2");
    const Image paused = reference("tap 210 52\nwait 0.2");
    openWindow();
    ASSERT_TRUE(eventuallyShows(playing, kPlayButton));
    // Down on play/pause, the window goes away and comes back, the button lets go:
    // the touch was cancelled with the window, so the button does not act.
    xdotool({"mousemove", "--window", windowId, windowX(centre(kPlayButton).x),
             windowY(centre(kPlayButton).y), "mousedown", "1"});
    xdotool({"windowunmap", "--sync", windowId});
    xdotool({"windowmap", "--sync", windowId});
    xdotool({"mouseup", "1"});
    // One press of space later the widget is paused: the cut press toggled nothing.
    key("space");
    EXPECT_TRUE(eventuallyShows(paused, kPlayButton)) << distance(paused, kPlayButton);
}

// Writes `seconds` of silence as a WAV file.
void writeSilence(const std::string& path, int seconds) {
    constexpr std::uint32_t kRate = 8000;
    const std::uint32_t dataSize = kRate * 2 * static_cast<std::uint32_t>(seconds);
    std::ofstream file(path, std::ios::binary);
    const auto put32 = [&](std::uint32_t value) { file.write(reinterpret_cast<const char*>(&value), 4); };
    const auto put16 = [&](std::uint16_t value) { file.write(reinterpret_cast<const char*>(&value), 2); };
    file.write("RIFF", 4);
    put32(36 + dataSize);
    file.write("WAVEfmt ", 8);
    put32(16);
    put16(1);
    put16(1);
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    file.write("data", 4);
    put32(dataSize);
    const std::string silence(dataSize, '\0');
    file.write(silence.data(), static_cast<std::streamsize>(silence.size()));
}

bool hasProgram(const std::string& name) {
    return runProcess({"sh", "-c", "command -v " + name}).exitStatus == 0;
}

// News from a player on the session bus arrive on the bus's thread and are posted
// to the run loop; the sleeping window must wake for them. The widget's own timer
// is stopped first (pause from the window), so nothing else wakes it.
TEST_F(WindowDisplayTest, NewsFromAPlayerOnTheSessionBusReachesTheSleepingWindow) {
    for (const char* program : {"dbus-daemon", "mpv", "playerctl"}) {
        if (!hasProgram(program)) {
            GTEST_SKIP() << program << " is not available";
        }
    }
    ChildProcess bus = ChildProcess::start({"dbus-daemon", "--session", "--nofork", "--print-address=1",
                                            "--address=unix:path=" + work.file("bus")},
                                           {work.path()});
    ASSERT_TRUE(waitUntil([&] { return bus.out().find('\n') != std::string::npos; }, kPatience));
    const std::string address = bus.out().substr(0, bus.out().find('\n'));
    writeSilence(work.file("First.wav"), 120);
    writeSilence(work.file("Second.wav"), 120);
    auto withBus = environment();
    withBus["DBUS_SESSION_BUS_ADDRESS"] = address;
    ChildProcess mpv =
        ChildProcess::start({"mpv", "--no-video", "--ao=null", "--no-terminal", "--idle=yes",
                             "--keep-open=yes", work.file("First.wav"), work.file("Second.wav")},
                            {work.path(), "", withBus});
    ASSERT_TRUE(waitUntil(
        [&] {
            return runProcess({"playerctl", "--player=mpv", "status"}, {.environment = withBus}).out ==
                   "Playing\n";
        },
        kPatience));

    const Image notPlaying = reference("player stop\nwait 0.2");
    program = ChildProcess::start(trillbox({"--player", "mpris", "run"}), {work.path(), "", withBus});
    const ProcessResult found = xdotool({"search", "--sync", "--name", "^Trillbox$"});
    std::istringstream lines(found.out);
    std::getline(lines, windowId);
    ASSERT_FALSE(windowId.empty()) << program.err();

    // Once the widget has found the player (its title line no longer says "Not
    // Playing"), pausing from the window stops the widget's track-time timer.
    ASSERT_TRUE(waitUntil([&] { return distance(notPlaying, kTitleLine) > 2; }, kPatience)) << program.err();
    click(centre(kPlayButton));
    ASSERT_TRUE(waitUntil(
        [&] {
            return runProcess({"playerctl", "--player=mpv", "status"}, {.environment = withBus}).out ==
                   "Paused\n";
        },
        kPatience));
    const auto before = screenshot();
    ASSERT_TRUE(before);

    runProcess({"playerctl", "--player=mpv", "next"}, {.environment = withBus});
    EXPECT_TRUE(waitUntil(
        [&] {
            const auto shot = screenshot();
            return shot && difference(*shot, inWindow(kTitleLine), *before, inWindow(kTitleLine)) > 2;
        },
        kPatience))
        << "the title line did not follow the player";
    EXPECT_EQ(program.terminate(kPatience), 0) << program.err();
}

} // namespace
