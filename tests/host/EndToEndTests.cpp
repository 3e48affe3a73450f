#include <cairo.h>

#include "UIKit/UIImage.h"
#include "host/EndToEndSupport.h"
#include "support/TestPaths.h"

// The real program, driven by scripts and read back through its dumps and files.
namespace {

const std::string kFirstTitle =
    "Nightfall Over the Harbour Lights (Extended Midnight Version) - The Lighthouse Keepers";
const std::string kFirstArtwork = TRILLBOX_DEMO_DIR "/demo-artwork-1.png";

// The widget's controls, where its layout places them.
const auto artwork = [](const Json& dump) { return control(dump, "UIImageView", 10, 10); };
const auto playButton = [](const Json& dump) { return control(dump, "UIButton", 202, 42); };
const auto volumeView = [](const Json& dump) { return control(dump, "MPVolumeView", 130, 75); };
const auto timeSlider = [](const Json& dump) { return control(dump, "UISlider", 150, 75); };
const auto title = [](const Json& dump) { return control(dump, "MarqueeLabel", 110, 10).at("text"); };
const auto elapsed = [](const Json& dump) { return control(dump, "UILabel", 111, 75).at("text"); };
const auto remaining = [](const Json& dump) { return control(dump, "UILabel", 270, 75).at("text"); };

class EndToEndTest : public ::testing::Test {
protected:
    TrillboxRun run;
};

TEST_F(EndToEndTest, PresentingRunsTheTimeLabelsAndThePlayButtonPausesThePlayer) {
    const auto dumps = run.script("dump\npresent\nwait 0.6\ndump\nwait 2\ndump\ntap 210 52\nwait 2\ndump\n"
                                  "tap 210 52\nwait 1\ndump\ndismiss\nwait 2\ndump\n");
    ASSERT_EQ(dumps.size(), 6u);
    EXPECT_FALSE(dumps[0].at("presented"));
    EXPECT_EQ(elapsed(dumps[0]), "00:00"); // the player's start already showed its time
    EXPECT_EQ(title(dumps[1]), kFirstTitle);
    EXPECT_EQ(playButton(dumps[1]).at("image"), "pause");
    EXPECT_EQ(Json({elapsed(dumps[1]), remaining(dumps[1]), elapsed(dumps[2]), remaining(dumps[2])}),
              Json({"00:00", "03:33", "00:02", "03:31"}));
    EXPECT_EQ(timeSlider(dumps[2]).at("maximumValue"), 214);
    EXPECT_DOUBLE_EQ(timeSlider(dumps[2]).at("value"), 2.5);
    // Paused from 2.65 s to 4.65 s.
    EXPECT_EQ(Json({playButton(dumps[3]).at("image"), elapsed(dumps[3]), playButton(dumps[4]).at("image"),
                    elapsed(dumps[4])}),
              Json({"play", "00:02", "pause", "00:03"}));
    // Dismissed, the labels stand still.
    EXPECT_FALSE(dumps[5].at("presented"));
    EXPECT_EQ(elapsed(dumps[5]), elapsed(dumps[4]));
}

TEST_F(EndToEndTest, ButtonsChangeTrackAndArtworkTapsSwitchRowsRaiseThePlayerAndShare) {
    const auto dumps = run.script(
        "present\nwait 3\ntap 284 52\ndump\ntap 136 52\ndump\ntap 136 52\ndump\ntap 284 52\ndump\n"
        "doubletap 52 52\nwait 0.5\ndump\ndoubletap 52 52\nwait 0.5\ndump\ntap 52 52\nwait 0.5\ndump\n"
        "longpress 52 52\ndump\nlongpress 52 52 0.8\ndump\nplayer stop\nlongpress 52 52\ndump\n");
    ASSERT_EQ(dumps.size(), 10u);
    // Next, previous twice (wrapping to the last track) and next again.
    EXPECT_EQ(Json({title(dumps[0]), title(dumps[1]), title(dumps[2]), title(dumps[3])}),
              Json({"Paper Boats - Mira Sol", kFirstTitle, "Tidal - Neon Gardens", kFirstTitle}));
    EXPECT_EQ(Json({artwork(dumps[0]).at("image"), artwork(dumps[1]).at("image")}),
              Json({"no_cover", kFirstArtwork}));
    EXPECT_EQ(timeSlider(dumps[0]).at("value"), 0);
    const auto hidden = [&](auto control) {
        return Json(
            {control(dumps[3]).at("hidden"), control(dumps[4]).at("hidden"), control(dumps[5]).at("hidden")});
    };
    EXPECT_EQ(hidden(volumeView), Json({true, false, true}));
    EXPECT_EQ(hidden(timeSlider), Json({false, true, false}));
    // Double taps never launch; a single tap does once no second tap follows.
    EXPECT_EQ(dumps[4].at("log").size() + dumps[5].at("log").size(), 0u);
    EXPECT_EQ(dumps[6].at("log"),
              Json({"Trillbox Demo Player: brought to the front",
                    "********************* [Trillbox] nowPlayingApplication -> Trillbox Demo Player"}));
    const std::string text =
        "#np Nightfall Over the Harbour Lights (Extended Midnight Version) by The Lighthouse "
        "Keepers via Trillbox";
    EXPECT_EQ(dumps[7].at("shown"), Json::parse(R"([{"type": "share", "items": [{"text": ")" + text +
                                                R"("}, {"image": ")" + kFirstArtwork + R"("}]}])"));
    // The sheet was closed, so the next press shares again; before anything plays it explains.
    EXPECT_EQ(dumps[8].at("shown").size(), 1u);
    EXPECT_EQ(dumps[9].at("shown"), Json::parse(R"([{"type": "alert", "title": "Trillbox", "cancel": "Ok",
        "buttons": [], "message": "Please start playing a track first before you share."}])"));
}

TEST_F(EndToEndTest, SettingsWrittenWithTheSettingsCommandTakeEffectUntilReset) {
    ASSERT_EQ(run({"settings", "startView", "volume"}).exitStatus, 0);
    ASSERT_EQ(run({"settings", "roundedCornersValue", "12"}).exitStatus, 0);
    ASSERT_EQ(run({"settings", "showSeperators", "true"}).exitStatus, 0);
    ASSERT_EQ(run({"settings", "shareArtwork", "false"}).exitStatus, 0);
    const ProcessResult shown = run({"settings"});
    EXPECT_NE(shown.out.find(run.work.file("var/mobile/Library/Preferences/")), std::string::npos);
    EXPECT_NE(shown.out.find("startView = volume\n"), std::string::npos) << shown.out;

    const auto dumps = run.script("present\nwait 1\nlongpress 52 52\ndump\n");
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(dumps[0].at("view").at("subviews")[0].at("class"), "UIView"); // a separator
    EXPECT_EQ(artwork(dumps[0]).at("cornerRadius"), 12);
    EXPECT_FALSE(volumeView(dumps[0]).at("hidden"));
    ASSERT_EQ(dumps[0].at("shown").size(), 1u);
    EXPECT_EQ(dumps[0].at("shown")[0].at("items").size(), 1u); // the text, without the artwork

    ASSERT_EQ(run({"settings", "--reset"}).exitStatus, 0);
    const auto defaults = run.script("dump\n");
    EXPECT_EQ(artwork(defaults[0]).at("cornerRadius"), 0);
    EXPECT_TRUE(volumeView(defaults[0]).at("hidden"));
}

TEST_F(EndToEndTest, APlaylistFileReplacesTheBuiltInOne) {
    run.work.write("list.plist", R"(<plist version="1.0"><array><dict><key>title</key><string>Solo</string>
<key>duration</key><integer>3</integer></dict><dict><key>title</key><string>Encore</string></dict></array></plist>)");
    const auto dumps = run.script("present\ndump\nwait 3.2\ndump\n", {"--playlist", "list.plist"});
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_EQ(Json({title(dumps[0]), artwork(dumps[0]).at("image"), title(dumps[1])}),
              Json({"Solo - ", "no_cover", "Encore - "}));
}

TEST_F(EndToEndTest, TheOlderHostShowsAStripAsWideAsItselfAndHandsTapsOverAsLocations) {
    const auto dumps = run.script("present\ndump\ntap 100 30\ndump\nrotate\nwait 0.5\ndump\n", {"--legacy"});
    ASSERT_EQ(dumps.size(), 3u);
    const Json& strip = dumps[0].at("view");
    EXPECT_EQ(strip.at("class"), "TrillboxView");
    EXPECT_EQ(strip.at("frame"), Json({0, 0, 320, 70}));
    EXPECT_EQ(strip.at("subviews")[0].at("image"), "Background");
    EXPECT_EQ(strip.at("subviews")[0].at("frame"), Json({2, 0, 316, 70}));
    EXPECT_EQ(dumps[1].at("log"), Json({"tap at {100, 30}: nothing to open"}));
    // Turned to landscape, the host is 480 points wide and so is the strip.
    EXPECT_EQ(dumps[2].at("view").at("frame")[2], 480);
    EXPECT_EQ(dumps[2].at("view").at("subviews")[0].at("frame")[2], 476);
}

TEST_F(EndToEndTest, SnapshotsAndRecordingsArePngsAtTheRequestedScaleAndTime) {
    const ProcessResult snapshot = run({"snapshot", "widget.png", "--at", "2", "--scale", "1"});
    ASSERT_EQ(snapshot.exitStatus, 0) << snapshot.err;
    const ProcessResult record = run({"record", "frames", "--seconds", "0.5", "--fps", "10"});
    ASSERT_EQ(record.exitStatus, 0) << record.err;
    EXPECT_EQ(filesUnder(run.work.file("frames")),
              (std::vector<std::string>{"animation.png", "frame-0000.png", "frame-0001.png", "frame-0002.png",
                                        "frame-0003.png", "frame-0004.png", "frame-0005.png"}));
    // Viewers without animation show the first frame.
    for (const auto& [file, width, height] :
         std::vector<std::tuple<std::string, int, int>>{{"widget.png", 320, 105},
                                                        {"frames/frame-0005.png", 640, 210},
                                                        {"frames/animation.png", 640, 210}}) {
        const auto picture = UIImage::imageWithContentsOfFile(NSStr(run.work.file(file)));
        ASSERT_NE(picture, nullptr) << file;
        EXPECT_EQ(cairo_image_surface_get_width(picture->cairoSurface()), width) << file;
        EXPECT_EQ(cairo_image_surface_get_height(picture->cairoSurface()), height) << file;
    }
    EXPECT_NE(readFile(run.work.file("frames/animation.png")).find("acTL"), std::string::npos);

    // The same moment drawn by a script is the same picture.
    ASSERT_EQ(run({"script", "-"}, "present\nwait 0.5\nsnapshot a.png\n").exitStatus, 0);
    EXPECT_EQ(readFile(run.work.file("a.png")), readFile(run.work.file("frames/frame-0005.png")));
}

} // namespace
