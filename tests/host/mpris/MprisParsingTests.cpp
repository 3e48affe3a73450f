#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "MprisParsing.h"

namespace {

using mpris::PropertyMap;
using mpris::sanitizeText;

TEST(MprisTextTest, InvalidUtf8BecomesReplacementCharacters) {
    // A stray continuation byte, a truncated sequence at the end, an overlong '/',
    // an encoded surrogate and a code point past U+10FFFF.
    EXPECT_EQ(sanitizeText("a\x80z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(sanitizeText("ab\xE2\x82"), "ab\xEF\xBF\xBD");
    EXPECT_EQ(sanitizeText("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(sanitizeText("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(sanitizeText("\xF4\x90\x80\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    // Valid multi-byte text passes unchanged.
    EXPECT_EQ(sanitizeText("Björk – Jóga 🎵"), "Björk – Jóga 🎵");
}

TEST(MprisTextTest, ControlCharactersAndSurroundingSpaceGo) {
    EXPECT_EQ(sanitizeText("  Line one\nline\ttwo\r\n"), "Line one line two");
    EXPECT_EQ(sanitizeText("bell\x07 del\x7F c1\xC2\x85x\xC2\x9B"), "bell del c1 x");
}

TEST(MprisTextTest, LongTextIsCutAtACharacterBoundary) {
    std::string huge;
    for (int i = 0; i < 500'000; ++i) {
        huge += "é"; // two bytes each
    }
    const auto cut = sanitizeText(huge, 1001);
    EXPECT_EQ(cut.size(), 1000u);
    EXPECT_EQ(sanitizeText(cut), cut);
    EXPECT_EQ(sanitizeText(huge).size(), mpris::kMaxTextBytes);
}

TEST(MprisTextTest, ObjectPathsAreChecked) {
    EXPECT_TRUE(mpris::isValidObjectPath("/"));
    EXPECT_TRUE(mpris::isValidObjectPath("/org/mpris/MediaPlayer2/Track/42"));
    EXPECT_FALSE(mpris::isValidObjectPath(""));
    EXPECT_FALSE(mpris::isValidObjectPath("track/1"));
    EXPECT_FALSE(mpris::isValidObjectPath("/a//b"));
    EXPECT_FALSE(mpris::isValidObjectPath("/a/"));
    EXPECT_FALSE(mpris::isValidObjectPath("/spotify:track:1"));
}

TEST(MprisValueTest, NumbersAreReadFromAnyNumericType) {
    EXPECT_EQ(mpris::readInteger(sdbus::Variant(std::int64_t{-5})), -5);
    EXPECT_EQ(mpris::readInteger(sdbus::Variant(std::uint64_t{180'000'000})), 180'000'000);
    EXPECT_EQ(mpris::readInteger(sdbus::Variant(std::uint64_t{UINT64_MAX})), INT64_MAX);
    EXPECT_EQ(mpris::readInteger(sdbus::Variant(std::int32_t{-7})), -7);
    EXPECT_EQ(mpris::readInteger(sdbus::Variant(std::uint32_t{4'000'000'000u})), 4'000'000'000);
    EXPECT_EQ(mpris::readInteger(sdbus::Variant(2.6)), 3);
    EXPECT_FALSE(mpris::readInteger(sdbus::Variant(std::nan(""))));
    EXPECT_FALSE(mpris::readInteger(sdbus::Variant(std::string("12"))));
    EXPECT_FALSE(mpris::readInteger(sdbus::Variant()));
    EXPECT_EQ(mpris::readBool(sdbus::Variant(std::int32_t{1})), true);
    EXPECT_FALSE(mpris::readBool(sdbus::Variant(std::string("true"))));
    EXPECT_FALSE(mpris::readDouble(sdbus::Variant(std::numeric_limits<double>::infinity())));
}

TEST(MprisMetadataTest, WellFormedMetadataIsRead) {
    PropertyMap metadata{
        {"mpris:trackid", sdbus::Variant(sdbus::ObjectPath("/org/mpris/MediaPlayer2/Track/7"))},
        {"mpris:length", sdbus::Variant(std::int64_t{215'000'000})},
        {"mpris:artUrl", sdbus::Variant(std::string("file:///music/cover.jpg"))},
        {"xesam:title", sdbus::Variant(std::string("Teardrop"))},
        {"xesam:artist", sdbus::Variant(std::vector<std::string>{"Massive Attack", "Elizabeth Fraser"})},
        {"xesam:url", sdbus::Variant(std::string("file:///music/teardrop.flac"))},
    };
    const auto track = mpris::parseMetadata(metadata);
    EXPECT_EQ(track.title, "Teardrop");
    EXPECT_EQ(track.artist, "Massive Attack, Elizabeth Fraser");
    EXPECT_EQ(track.lengthMicroseconds, 215'000'000);
    EXPECT_EQ(track.trackId, "/org/mpris/MediaPlayer2/Track/7");
    EXPECT_EQ(track.artUrl, "file:///music/cover.jpg");
    EXPECT_EQ(track.url, "file:///music/teardrop.flac");
}

TEST(MprisMetadataTest, WrongTypesFromRealPlayersAreAccepted) {
    PropertyMap metadata{
        {"mpris:trackid", sdbus::Variant(std::string("/com/spotify/track/4uLU6hMCjMI75M1A2tKUQC"))},
        {"mpris:length", sdbus::Variant(std::uint64_t{180'000'000})},
        {"xesam:artist", sdbus::Variant(std::string("Plain String Artist"))},
        {"xesam:title", sdbus::Variant(std::vector<std::uint8_t>{'O', 'k', 0xFF})},
    };
    const auto track = mpris::parseMetadata(metadata);
    EXPECT_EQ(track.trackId, "/com/spotify/track/4uLU6hMCjMI75M1A2tKUQC");
    EXPECT_EQ(track.lengthMicroseconds, 180'000'000);
    EXPECT_EQ(track.artist, "Plain String Artist");
    EXPECT_EQ(track.title, "Ok\xEF\xBF\xBD");
}

TEST(MprisMetadataTest, UnusableValuesAreDropped) {
    PropertyMap metadata{
        {"mpris:trackid", sdbus::Variant(std::string("spotify:track:4uLU6hMC"))},
        {"mpris:length", sdbus::Variant(std::int64_t{-1})},
        {"xesam:title", sdbus::Variant(std::int32_t{42})},
        {"xesam:artist", sdbus::Variant(std::vector<std::string>(100'000, "Someone"))},
        {"mpris:artUrl", sdbus::Variant(std::int32_t{1})},
    };
    const auto track = mpris::parseMetadata(metadata);
    EXPECT_EQ(track.trackId, "");
    EXPECT_EQ(track.lengthMicroseconds, 0);
    EXPECT_EQ(track.title, "");
    EXPECT_LE(track.artist.size(), mpris::kMaxTextBytes);
    EXPECT_TRUE(track.artist.starts_with("Someone, Someone"));
    EXPECT_EQ(track.artUrl, "");

    // The "no track" path is not a track id either, and metadata that is not a
    // dictionary reads as empty.
    EXPECT_EQ(mpris::parseMetadata(
                  PropertyMap{{"mpris:trackid", sdbus::Variant(sdbus::ObjectPath(
                                                    "/org/mpris/MediaPlayer2/TrackList/NoTrack"))}})
                  .trackId,
              "");
    EXPECT_EQ(mpris::parseMetadata(sdbus::Variant(std::string("not a dictionary"))), MprisMetadata{});
    EXPECT_EQ(mpris::parseMetadata(PropertyMap{}), MprisMetadata{});
}

TEST(MprisPropertiesTest, PlayerPropertiesAreReadTolerantly) {
    MprisPlayerSnapshot player;
    mpris::applyPlayerProperties(
        {
            {"PlaybackStatus", sdbus::Variant(std::string("Playing"))},
            {"Rate", sdbus::Variant(1.5)},
            {"Volume", sdbus::Variant(0.25)},
            {"CanSeek", sdbus::Variant(true)},
            {"CanGoNext", sdbus::Variant(std::int32_t{1})},
        },
        player);
    EXPECT_EQ(player.status, MprisPlaybackStatus::playing);
    EXPECT_DOUBLE_EQ(player.rate, 1.5);
    EXPECT_DOUBLE_EQ(player.volume, 0.25);
    EXPECT_TRUE(player.canSeek);
    EXPECT_TRUE(player.canGoNext);

    // Nonsense leaves a usable state: an unknown status is stopped, a rate of 0 is
    // 1, a status of the wrong type and a mistyped flag change nothing.
    mpris::applyPlayerProperties({{"PlaybackStatus", sdbus::Variant(std::int32_t{2})},
                                  {"Rate", sdbus::Variant(0.0)},
                                  {"CanSeek", sdbus::Variant(std::string("no"))}},
                                 player);
    EXPECT_EQ(player.status, MprisPlaybackStatus::playing);
    EXPECT_DOUBLE_EQ(player.rate, 1.0);
    EXPECT_TRUE(player.canSeek);
    mpris::applyPlayerProperties({{"PlaybackStatus", sdbus::Variant(std::string("Buffering"))}}, player);
    EXPECT_EQ(player.status, MprisPlaybackStatus::stopped);

    mpris::applyRootProperties({{"Identity", sdbus::Variant(std::string(" VLC\nmedia player "))},
                                {"CanRaise", sdbus::Variant(true)}},
                               player);
    EXPECT_EQ(player.identity, "VLC media player");
    EXPECT_TRUE(player.canRaise);
    // An empty Identity keeps the name the player had.
    mpris::applyRootProperties({{"Identity", sdbus::Variant(std::string(""))}}, player);
    EXPECT_EQ(player.identity, "VLC media player");
}

} // namespace
