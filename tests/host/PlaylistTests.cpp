#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cairo.h>
#include <sys/stat.h>

#include "host/DemoPlaylist.h"
#include "host/HostFailure.h"
#include "render/Snapshot.h"
#include "support/TestPaths.h"
#include "support/TestSupport.h"

namespace {

std::string plist(std::string_view body) {
    return R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0">)" + std::string(body) + "</plist>";
}

TEST(PlaylistTest, ReadsTracksWithOptionalFieldsAndArtworkRelativeToTheFile) {
    TemporaryDirectory files;
    std::filesystem::create_directories(files.file("covers"));
    std::filesystem::copy_file(TRILLBOX_DEMO_DIR "/demo-artwork-1.png", files.file("covers/one.png"));
    std::filesystem::copy_file(TRILLBOX_SOURCE_DIR "/tests/host/samples/cover.jpg", files.file("three.jpg"));
    const auto tracks = host::loadPlaylist(files.write("list.plist", plist(R"(<array>
  <dict><key>title</key><string>One</string><key>artist</key><string>Band</string>
        <key>duration</key><integer>125</integer><key>artwork</key><string>covers/one.png</string></dict>
  <dict><key>title</key><string>Two</string><key>duration</key><real>61.5</real></dict>
  <dict><key>title</key><string>Three</string><key>artwork</key><string>three.jpg</string></dict>
</array>)")));
    ASSERT_EQ(tracks.size(), 3u);
    using Fields = std::tuple<std::string, std::optional<std::string>, double, std::string>;
    const auto fields = [](const host::DemoTrack& track) {
        return Fields(track.title, track.artist, track.duration, track.artworkPath);
    };
    EXPECT_EQ(fields(tracks[0]), Fields("One", "Band", 125, files.file("covers/one.png")));
    EXPECT_EQ(fields(tracks[1]), Fields("Two", std::nullopt, 61.5, ""));
    EXPECT_EQ(host::loadArtwork(tracks[2].artworkPath)->size(), CGSizeMake(48, 32));
}

TEST(PlaylistTest, EachFaultNamesTheFileAndTheEntry) {
    // A playlist whose second entry is `entry`, or a track titled "t" with `more`.
    const auto second = [](const std::string& entry) {
        return plist("<array><dict><key>title</key><string>ok</string></dict>" + entry + "</array>");
    };
    const auto track = [&](const std::string& more) {
        return second("<dict><key>title</key><string>t</string>" + more + "</dict>");
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        // The reader's own problem, passed on (its cases are the property-list tests').
        {"not a plist", " is not a property list"},
        {plist("<dict/>"), " is not a property-list array"},
        {plist("<array/>"), " has no tracks"},
        {second("<string>x</string>"), ", entry 2: not a dictionary"},
        {second("<dict><key>artist</key><string>a</string></dict>"),
         ", entry 2: \"title\" must be a non-empty string"},
        {second("<dict><key>title</key><string></string></dict>"),
         ", entry 2: \"title\" must be a non-empty string"},
        {track("<key>artist</key><integer>3</integer>"), ", entry 2: \"artist\" must be a string"},
        {track("<key>duration</key><integer>-1</integer>"),
         ", entry 2: \"duration\" must be a number of seconds, 0 or more"},
        {track("<key>duration</key><true/>"),
         ", entry 2: \"duration\" must be a number of seconds, 0 or more"},
        {track("<key>artwork</key><string>nope.png</string>"),
         ", entry 2: the artwork ~/nope.png is not a readable PNG or JPEG"},
        {track("<key>artwork</key><string>broken.jpg</string>"),
         ", entry 2: the artwork ~/broken.jpg is not a readable PNG or JPEG"},
        // A few kilobytes that would decode into 144 MB.
        {track("<key>artwork</key><string>huge.png</string>"),
         ", entry 2: the artwork ~/huge.png is not a readable PNG or JPEG"},
        {"~", ": it is a directory"},
        {"~/missing", ": No such file or directory"},
        {"~/fifo", ": it is a FIFO, not a regular file"},
    };
    const std::vector<unsigned char> huge =
        render::encodePNG(UICairoSurface(cairo_image_surface_create(CAIRO_FORMAT_A1, 6001, 6001)));
    for (auto [contents, fault] : cases) {
        TemporaryDirectory files;
        files.write("broken.jpg", "\xFF\xD8\xFF\xE0 not the rest of a JPEG");
        files.write("huge.png", std::string_view(reinterpret_cast<const char*>(huge.data()), huge.size()));
        ::mkfifo(files.file("fifo").c_str(), 0600);
        // "~...": the playlist is that path in the directory, not a file of these contents.
        const std::string path =
            contents[0] == '~' ? files.path() + contents.substr(1) : files.write("bad.plist", contents);
        if (const auto at = fault.find('~'); at != std::string::npos) {
            fault.replace(at, 1, files.path());
        }
        EXPECT_THAT([&] { host::loadPlaylist(path); },
                    ::testing::ThrowsMessage<host::HostFailure>(
                        fault[0] == ':' ? "cannot read the playlist " + path + fault
                                        : "the playlist " + path + fault));
    }
}

} // namespace
