#include <cairo.h>
#include <gtest/gtest.h>

#include "DemoPlaylist.h"
#include "HostFailure.h"
#include "support/TestSupport.h"

namespace {

using host::loadPlaylist;

std::string plist(std::string_view body) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">)" +
           std::string(body) + "</plist>";
}

void writePng(const std::string& path) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
}

// The message of the failure `load` throws; empty when it throws none.
template <class Load> std::string failureOf(Load load) {
    try {
        load();
    } catch (const host::HostFailure& failure) {
        return failure.what();
    }
    return "";
}

TEST(PlaylistTest, ReadsTracksWithOptionalFieldsAndArtworkRelativeToTheFile) {
    TemporaryDirectory files;
    std::filesystem::create_directories(files.file("covers"));
    writePng(files.file("covers/one.png"));
    const std::string path = files.write("list.plist", plist(R"(<array>
  <dict><key>title</key><string>One</string><key>artist</key><string>Band</string>
        <key>duration</key><integer>125</integer><key>artwork</key><string>covers/one.png</string></dict>
  <dict><key>title</key><string>Two</string><key>duration</key><real>61.5</real></dict>
</array>)"));
    const auto tracks = loadPlaylist(path);
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0].title, "One");
    EXPECT_EQ(tracks[0].artist, "Band");
    EXPECT_DOUBLE_EQ(tracks[0].duration, 125);
    EXPECT_EQ(tracks[0].artworkPath, files.file("covers/one.png"));
    EXPECT_EQ(tracks[1].artist, std::nullopt);
    EXPECT_DOUBLE_EQ(tracks[1].duration, 61.5);
    EXPECT_EQ(tracks[1].artworkPath, "");
}

TEST(PlaylistTest, EachFaultNamesTheFileAndTheEntry) {
    TemporaryDirectory files;
    const auto failure = [&](std::string_view contents) {
        const std::string path = files.write("bad.plist", contents);
        return failureOf([&] { loadPlaylist(path); });
    };
    EXPECT_EQ(failureOf([&] { loadPlaylist(files.file("missing.plist")); }),
              "cannot read the playlist " + files.file("missing.plist"));
    EXPECT_EQ(failure("not a plist"),
              "the playlist " + files.file("bad.plist") + " is not a property-list array");
    EXPECT_EQ(failure(plist("<dict/>")),
              "the playlist " + files.file("bad.plist") + " is not a property-list array");
    EXPECT_EQ(failure(plist("<array/>")), "the playlist " + files.file("bad.plist") + " has no tracks");
    const std::string entry2 = "the playlist " + files.file("bad.plist") + ", entry 2: ";
    const std::string good = "<dict><key>title</key><string>ok</string></dict>";
    EXPECT_EQ(failure(plist("<array>" + good + "<string>x</string></array>")), entry2 + "not a dictionary");
    EXPECT_EQ(failure(plist("<array>" + good + "<dict><key>artist</key><string>a</string></dict></array>")),
              entry2 + "\"title\" must be a non-empty string");
    EXPECT_EQ(failure(plist("<array>" + good + "<dict><key>title</key><string></string></dict></array>")),
              entry2 + "\"title\" must be a non-empty string");
    EXPECT_EQ(failure(plist("<array>" + good +
                            "<dict><key>title</key><string>t</string><key>artist</key><integer>3</integer>"
                            "</dict></array>")),
              entry2 + "\"artist\" must be a string");
    EXPECT_EQ(failure(plist("<array>" + good +
                            "<dict><key>title</key><string>t</string><key>duration</key><integer>-1</integer>"
                            "</dict></array>")),
              entry2 + "\"duration\" must be a number of seconds, 0 or more");
    EXPECT_EQ(
        failure(plist("<array>" + good +
                      "<dict><key>title</key><string>t</string><key>duration</key><true/></dict></array>")),
        entry2 + "\"duration\" must be a number of seconds, 0 or more");
    EXPECT_EQ(
        failure(plist("<array>" + good +
                      "<dict><key>title</key><string>t</string><key>artwork</key><string>nope.png</string>"
                      "</dict></array>")),
        entry2 + "the artwork " + files.file("nope.png") + " is not a readable PNG");
}

TEST(PlaylistTest, TheBuiltInPlaylistHasEveryKindOfTrackTheWidgetShows) {
    TemporaryDirectory artwork;
    for (const char* name : {"demo-artwork-1.png", "demo-artwork-2.png", "demo-artwork-3.png"}) {
        writePng(artwork.file(name));
    }
    const auto tracks = host::builtInPlaylist(artwork.path());
    ASSERT_GE(tracks.size(), 3u);
    // Wider than the 200-point title line in any font of size 16.
    EXPECT_GT(tracks[0].title.size() + tracks[0].artist.value_or("").size(), 40u);
    EXPECT_FALSE(tracks[0].artworkPath.empty());
    EXPECT_TRUE(
        std::any_of(tracks.begin(), tracks.end(), [](const auto& t) { return t.artworkPath.empty(); }));
    EXPECT_TRUE(std::any_of(tracks.begin(), tracks.end(), [](const auto& t) { return !t.artist; }));
    for (const auto& track : tracks) {
        EXPECT_GT(track.duration, 0) << track.title;
    }
    // Without the artwork directory every track goes without.
    for (const auto& track : host::builtInPlaylist("")) {
        EXPECT_EQ(track.artworkPath, "");
    }
}

} // namespace
