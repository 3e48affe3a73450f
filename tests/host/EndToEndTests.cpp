#include <filesystem>
#include <fstream>

#include "EndToEndSupport.h"
#include "UIKit/UIImage.h"
#include "support/TestPaths.h"

// The widget's controls, as its layout places them, in the widget's points.
namespace {

constexpr double kArtworkX = 52, kArtworkY = 52;

const JsonValue& artwork(const JsonValue& dump) {
    return control(dump, "UIImageView", 10, 10);
}
const JsonValue& titleLine(const JsonValue& dump) {
    return control(dump, "MarqueeLabel", 110, 10);
}
const JsonValue& playButton(const JsonValue& dump) {
    return control(dump, "UIButton", 202, 42);
}
const JsonValue& volumeView(const JsonValue& dump) {
    return control(dump, "MPVolumeView", 130, 75);
}
const JsonValue& timeSlider(const JsonValue& dump) {
    return control(dump, "UISlider", 150, 75);
}
std::string elapsed(const JsonValue& dump) {
    return control(dump, "UILabel", 111, 75)["text"].string();
}
std::string remaining(const JsonValue& dump) {
    return control(dump, "UILabel", 270, 75)["text"].string();
}
std::string title(const JsonValue& dump) {
    return titleLine(dump)["text"].string();
}

const std::string kFirstTitle =
    "Nightfall Over the Harbour Lights (Extended Midnight Version) - The Lighthouse Keepers";

class EndToEndTest : public TrillboxRunTest {};

TEST_F(EndToEndTest, PresentationStartsTheTimerThatMovesTheTimeLabelsUntilDismissal) {
    const auto dumps = script("dump\npresent\nwait 0.6\ndump\nwait 2\ndump\ndismiss\nwait 2\ndump\n");
    ASSERT_EQ(dumps.size(), 4u);
    EXPECT_FALSE(dumps[0]["presented"].boolean());
    EXPECT_EQ(elapsed(dumps[0]), "-_-");
    EXPECT_EQ(dumps[0]["view"]["frame"].items().size(), 4u);
    EXPECT_EQ(dumps[0]["view"]["frame"][2].number(), 320);
    EXPECT_EQ(dumps[0]["view"]["frame"][3].number(), 105);

    EXPECT_TRUE(dumps[1]["presented"].boolean());
    EXPECT_DOUBLE_EQ(dumps[1]["time"].number(), 0.6);
    EXPECT_EQ(title(dumps[1]), kFirstTitle);
    EXPECT_EQ(playButton(dumps[1])["image"].string(), "pause");
    EXPECT_EQ(elapsed(dumps[1]), "00:00");
    EXPECT_EQ(remaining(dumps[1]), "03:33");
    EXPECT_EQ(elapsed(dumps[2]), "00:02");
    EXPECT_EQ(remaining(dumps[2]), "03:31");
    EXPECT_DOUBLE_EQ(timeSlider(dumps[2])["maximumValue"].number(), 214);
    EXPECT_DOUBLE_EQ(timeSlider(dumps[2])["value"].number(), 2.5);

    EXPECT_FALSE(dumps[3]["presented"].boolean());
    EXPECT_EQ(elapsed(dumps[3]), "00:02");
}

TEST_F(EndToEndTest, ThePlayButtonPausesAndResumesThePlayer) {
    const auto dumps = script("present\nwait 0.6\ntap 210 52\nwait 2\ndump\ntap 210 52\nwait 1\ndump\n");
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_EQ(playButton(dumps[0])["image"].string(), "play");
    EXPECT_EQ(playButton(dumps[1])["image"].string(), "pause");
    // Paused from 0.65 s to 2.7 s: 1.65 s played by 3.7 s.
    EXPECT_EQ(elapsed(dumps[1]), "00:01");
}

TEST_F(EndToEndTest, NextAndPreviousChangeTrackAndWrapAround) {
    const auto dumps = script("present\nwait 3\ntap 284 52\ndump\ntap 136 52\ndump\ntap 136 52\ndump\n");
    ASSERT_EQ(dumps.size(), 3u);
    EXPECT_EQ(title(dumps[0]), "Paper Boats - Mira Sol");
    EXPECT_EQ(artwork(dumps[0])["image"].string(), "no_cover");
    EXPECT_DOUBLE_EQ(timeSlider(dumps[0])["value"].number(), 0);
    EXPECT_EQ(title(dumps[1]), kFirstTitle);
    EXPECT_EQ(std::filesystem::path(artwork(dumps[1])["image"].string()),
              std::filesystem::path(TRILLBOX_DEMO_DIR) / "demo-artwork-1.png");
    EXPECT_EQ(title(dumps[2]), "Tidal - Neon Gardens");
}

TEST_F(EndToEndTest, ADoubleTapSwitchesRowsAndASingleTapRaisesThePlayer) {
    const auto dumps =
        script("present\ndump\ndoubletap 52 52\nwait 0.5\ndump\ndoubletap 52 52\nwait 0.5\ndump\n"
               "tap 52 52\nwait 0.5\ndump\n");
    ASSERT_EQ(dumps.size(), 4u);
    EXPECT_TRUE(volumeView(dumps[0])["hidden"].boolean());
    EXPECT_FALSE(timeSlider(dumps[0])["hidden"].boolean());
    EXPECT_FALSE(volumeView(dumps[1])["hidden"].boolean());
    EXPECT_TRUE(timeSlider(dumps[1])["hidden"].boolean());
    EXPECT_TRUE(volumeView(dumps[2])["hidden"].boolean());
    // Double taps never launch; a single tap does once no second tap follows.
    EXPECT_EQ(dumps[1]["log"].size() + dumps[2]["log"].size(), 0u);
    ASSERT_EQ(dumps[3]["log"].size(), 2u);
    EXPECT_EQ(dumps[3]["log"][0].string(), "Trillbox Demo Player: brought to the front");
    EXPECT_EQ(dumps[3]["log"][1].string(),
              "********************* [Trillbox] nowPlayingApplication -> Trillbox Demo Player");
}

TEST_F(EndToEndTest, ALongPressSharesTheTrackAndBeforeAnythingPlaysExplains) {
    const auto dumps = script("present\nwait 1\nlongpress 52 52\ndump\nlongpress 52 52 0.8\ndump\n"
                              "player stop\nlongpress 52 52\ndump\nlongpress 52 52\ndump\n");
    ASSERT_EQ(dumps.size(), 4u);
    ASSERT_EQ(dumps[0]["shown"].size(), 1u);
    const JsonValue& share = dumps[0]["shown"][0];
    EXPECT_EQ(share["type"].string(), "share");
    ASSERT_EQ(share["items"].size(), 2u);
    EXPECT_EQ(share["items"][0]["text"].string(),
              "#np Nightfall Over the Harbour Lights (Extended Midnight Version) by The Lighthouse Keepers "
              "via Trillbox");
    EXPECT_EQ(std::filesystem::path(share["items"][1]["image"].string()),
              std::filesystem::path(TRILLBOX_DEMO_DIR) / "demo-artwork-1.png");
    // The sheet was closed, so the next press shares again.
    EXPECT_EQ(dumps[1]["shown"].size(), 1u);

    for (const auto& dump : {dumps[2], dumps[3]}) {
        ASSERT_EQ(dump["shown"].size(), 1u);
        const JsonValue& alert = dump["shown"][0];
        EXPECT_EQ(alert["type"].string(), "alert");
        EXPECT_EQ(alert["title"].string(), "Trillbox");
        EXPECT_EQ(alert["message"].string(), "Please start playing a track first before you share.");
        EXPECT_EQ(alert["cancel"].string(), "Ok");
    }
}

TEST_F(EndToEndTest, SettingsWrittenWithTheSettingsCommandTakeEffect) {
    for (const auto& [key, value] :
         std::vector<std::pair<std::string, std::string>>{{"startView", "volume"},
                                                          {"roundedCornersValue", "12"},
                                                          {"showSeperators", "true"},
                                                          {"shareArtwork", "false"}}) {
        const ProcessResult written = run({"settings", key, value});
        ASSERT_EQ(written.exitStatus, 0) << written.err;
    }
    const ProcessResult shown = run({"settings"});
    EXPECT_NE(shown.out.find("startView = volume\n"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find(deviceRoot.path() + "/var/mobile/Library/Preferences/"), std::string::npos);

    const auto dumps = script("present\nwait 1\nlongpress 52 52\ndump\n");
    ASSERT_EQ(dumps.size(), 1u);
    const JsonValue& root = dumps[0]["view"];
    EXPECT_EQ(root["subviews"][0]["class"].string(), "UIView");
    EXPECT_DOUBLE_EQ(root["subviews"][0]["frame"][1].number(), 0.1);
    EXPECT_DOUBLE_EQ(root["subviews"][1]["frame"][1].number(), 103.5);
    EXPECT_DOUBLE_EQ(artwork(dumps[0])["cornerRadius"].number(), 12);
    EXPECT_TRUE(artwork(dumps[0])["masksToBounds"].boolean());
    EXPECT_FALSE(volumeView(dumps[0])["hidden"].boolean());
    EXPECT_TRUE(timeSlider(dumps[0])["hidden"].boolean());
    ASSERT_EQ(dumps[0]["shown"].size(), 1u);
    EXPECT_EQ(dumps[0]["shown"][0]["items"].size(), 1u); // text only

    ASSERT_EQ(run({"settings", "--reset"}).exitStatus, 0);
    const auto defaults = script("dump\n");
    EXPECT_FALSE(artwork(defaults[0]).has("cornerRadius") &&
                 artwork(defaults[0])["cornerRadius"].number() != 0);
    EXPECT_TRUE(volumeView(defaults[0])["hidden"].boolean());
}

TEST_F(EndToEndTest, TheLongTitleScrollsLeftWithItsCopyFollowing) {
    const auto dumps = script("present\nwait 1.5\ndump\nwait 1\ndump\n");
    ASSERT_EQ(dumps.size(), 2u);
    std::vector<std::pair<double, double>> positions; // (text, copy) x
    for (const auto& dump : dumps) {
        const JsonValue& label = titleLine(dump);
        const JsonValue& text = findView(label, [](const JsonValue& v) { return v["tag"].number() == 700; });
        const JsonValue& copy = findView(label, [](const JsonValue& v) { return v["tag"].number() == 701; });
        ASSERT_FALSE(text.isNull());
        ASSERT_FALSE(copy.isNull());
        EXPECT_EQ(text["text"].string(), kFirstTitle);
        EXPECT_EQ(copy["text"].string(), kFirstTitle);
        positions.emplace_back(text["presentationFrame"][0].number(), copy["presentationFrame"][0].number());
    }
    // One cycle takes the text from its home at the fade (20) to -(width + 40) in
    // twice |away x| / 50 s, and the copy from one spacing behind it to home, so
    // both move left and the copy follows at least a text width and the gap behind.
    const double width =
        findView(titleLine(dumps[0]), [](const JsonValue& v) { return v["tag"].number() == 700; })["frame"][2]
            .number();
    const double cycle = 2 * (width + 40) / 50;
    EXPECT_NEAR(positions[0].first - positions[1].first, (width + 60) / cycle, 0.01);
    EXPECT_NEAR(positions[0].second - positions[1].second, (width + 40) / cycle, 0.01);
    for (const auto& [text, copy] : positions) {
        EXPECT_GE(copy - text, width + 20);
    }
}

TEST_F(EndToEndTest, DraggingTheTimeSliderSeeksAndTheTimerFollowsAfterwards) {
    // The slider takes touches once the first tick found a system application playing.
    const auto dumps = script("present\nwait 0.6\ndrag 157 85 230 85 0.5\nwait 0.6\ndump\nwait 1\ndump\n");
    ASSERT_EQ(dumps.size(), 2u);
    const double seeked = timeSlider(dumps[0])["value"].number();
    EXPECT_GT(seeked, 100);
    EXPECT_LT(seeked, 214);
    EXPECT_NEAR(timeSlider(dumps[1])["value"].number(), seeked + 1, 1e-3);
    EXPECT_NE(elapsed(dumps[0]), elapsed(dumps[1]));
}

TEST_F(EndToEndTest, StoppingThePlayerShowsNotPlaying) {
    const auto dumps = script("present\nwait 1\nplayer stop\ndump\nplayer play\nwait 0.6\ndump\n");
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_EQ(title(dumps[0]), "Not Playing");
    EXPECT_EQ(elapsed(dumps[0]), "-_-");
    EXPECT_EQ(remaining(dumps[0]), "-_-");
    EXPECT_EQ(artwork(dumps[0])["image"].string(), "no_cover");
    EXPECT_EQ(title(dumps[1]), kFirstTitle);
}

TEST_F(EndToEndTest, PlayerCommandsFromOutsideTheWidgetReachIt) {
    const auto dumps = script("present\nplayer next\nplayer next\ndump\nplayer seek 93\nwait 0.5\ndump\n"
                              "player pause\nwait 3\ndump\nplayer toggle\nwait 2\ndump\n");
    ASSERT_EQ(dumps.size(), 4u);
    EXPECT_EQ(title(dumps[0]), "Field Recording No. 7 - ");
    EXPECT_EQ(elapsed(dumps[1]), "01:33");
    EXPECT_EQ(elapsed(dumps[2]), "01:33");
    // Seeked to 93 of 95 s: the track ended and the next one plays.
    EXPECT_EQ(title(dumps[3]), "Tidal - Neon Gardens");
}

TEST_F(EndToEndTest, APlaylistFileReplacesTheBuiltInOne) {
    std::ofstream(work.file("list.plist")) << R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><array>
  <dict><key>title</key><string>Solo</string><key>artist</key><string>Me</string>
        <key>duration</key><integer>3</integer></dict>
  <dict><key>title</key><string>Encore</string></dict>
</array></plist>)";
    const auto dumps = script("present\ndump\nwait 3.2\ndump\n", {"--playlist", work.file("list.plist")});
    ASSERT_EQ(dumps.size(), 2u);
    EXPECT_EQ(title(dumps[0]), "Solo - Me");
    EXPECT_EQ(artwork(dumps[0])["image"].string(), "no_cover");
    EXPECT_EQ(title(dumps[1]), "Encore - ");
}

TEST_F(EndToEndTest, TheHostApplicationsStatesAndRotationLeaveTheWidgetWorking) {
    const auto dumps = script("present\nwait 2\nbackground\nwait 1\nforeground\nrotate\nwait 0.5\ndump\n");
    ASSERT_EQ(dumps.size(), 1u);
    EXPECT_EQ(elapsed(dumps[0]), "00:03");
    EXPECT_EQ(title(dumps[0]), kFirstTitle);
}

TEST_F(EndToEndTest, TheOlderHostShowsAStripAsWideAsItselfAndHandsTapsOverAsLocations) {
    const auto dumps = script("present\ndump\ntap 100 30\ndump\nrotate\nwait 0.5\ndump\n", {"--legacy"});
    ASSERT_EQ(dumps.size(), 3u);
    const JsonValue& strip = dumps[0]["view"];
    EXPECT_EQ(strip["class"].string(), "TrillboxView");
    EXPECT_EQ(strip["frame"][2].number(), 320);
    EXPECT_EQ(strip["frame"][3].number(), 70);
    const JsonValue& background = strip["subviews"][0];
    EXPECT_EQ(background["image"].string(), "Background");
    EXPECT_EQ(background["frame"][0].number(), 2);
    EXPECT_EQ(background["frame"][2].number(), 316);

    ASSERT_EQ(dumps[1]["log"].size(), 1u);
    EXPECT_EQ(dumps[1]["log"][0].string(), "tap at {100, 30}: nothing to open");
    // Turned to landscape, the host is 480 points wide and so is the strip.
    EXPECT_EQ(dumps[2]["view"]["frame"][2].number(), 480);
    EXPECT_EQ(dumps[2]["view"]["subviews"][0]["frame"][2].number(), 476);

    const ProcessResult press = run({"--legacy", "script", "-"}, "present\nlongpress 100 30\n");
    EXPECT_EQ(press.exitStatus, 1);
    EXPECT_EQ(press.err,
              "trillbox: standard input:2: a long press is not possible under the older host, which "
              "reports taps only\n");
}

TEST_F(EndToEndTest, SnapshotsAndRecordingsArePngsAtTheRequestedScale) {
    const ProcessResult snapshot = run({"snapshot", "widget.png", "--at", "2", "--scale", "1"});
    ASSERT_EQ(snapshot.exitStatus, 0) << snapshot.err;
    const auto picture = UIImage::imageWithContentsOfFile(NSStr(work.file("widget.png")));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(picture->cairoSurface()), 320);
    EXPECT_EQ(cairo_image_surface_get_height(picture->cairoSurface()), 105);

    const ProcessResult record = run({"record", "frames", "--seconds", "0.5", "--fps", "10"});
    ASSERT_EQ(record.exitStatus, 0) << record.err;
    const std::vector<std::string> expected = {"animation.png",  "frame-0000.png", "frame-0001.png",
                                               "frame-0002.png", "frame-0003.png", "frame-0004.png",
                                               "frame-0005.png"};
    EXPECT_EQ(filesUnder(work.file("frames")), expected);
    const auto frame = UIImage::imageWithContentsOfFile(NSStr(work.file("frames/frame-0005.png")));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(frame->cairoSurface()), 640);
    std::ifstream animation(work.file("frames/animation.png"), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(animation), {});
    EXPECT_NE(bytes.find("acTL"), std::string::npos);

    // The same moment twice gives the same picture.
    ASSERT_EQ(run({"script", "-"}, "present\nwait 0.5\nsnapshot a.png\n").exitStatus, 0);
    std::ifstream first(work.file("a.png"), std::ios::binary);
    std::ifstream second(work.file("frames/frame-0005.png"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(first), {}),
              std::string(std::istreambuf_iterator<char>(second), {}));
}

TEST_F(EndToEndTest, HelpAndVersionAnswerOnStandardOutput) {
    const ProcessResult help = run({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("Usage: trillbox [OPTIONS] COMMAND"), std::string::npos);
    const ProcessResult scriptHelp = run({"script", "--help"});
    EXPECT_EQ(scriptHelp.exitStatus, 0);
    EXPECT_NE(scriptHelp.out.find("longpress X Y [SECONDS]"), std::string::npos);
    const ProcessResult version = run({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out.rfind("trillbox ", 0), 0u);
}

} // namespace
