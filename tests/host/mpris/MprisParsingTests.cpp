#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "mpris/MprisParsing.h"

namespace {

using namespace std::string_literals;
using sdbus::Variant;

const std::string kBad = "\xEF\xBF\xBD";

std::string repeat(const std::string& text, std::size_t count, const std::string& separator = "") {
    std::string repeated = text;
    for (std::size_t i = 1; i < count; ++i) {
        repeated += separator + text;
    }
    return repeated;
}

TEST(MprisParsingTest, TextBecomesValidUtf8OfBoundedLength) {
    const std::pair<std::string, std::string> cases[] = {
        // A stray continuation, a cut sequence, an overlong '/', a surrogate, past U+10FFFF.
        {"a\x80z", "a" + kBad + "z"},
        {"ab\xE2\x82", "ab" + kBad},
        {"\xC0\xAF", repeat(kBad, 2)},
        {"\xED\xA0\x80", repeat(kBad, 3)},
        {"\xF4\x90\x80\x80", repeat(kBad, 4)},
        {"Björk – Jóga 🎵", "Björk – Jóga 🎵"},
        // Line breaks and tabs become spaces, other controls go, and so does surrounding space.
        {"  Line one\nline\ttwo\r\n", "Line one line two"},
        {"bell\x07 del\x7F c1\xC2\x85x\xC2\x9B", "bell del c1 x"},
        // Long text is cut at a character boundary.
        {repeat("é", 600), repeat("é", 500)},
    };
    for (const auto& [raw, clean] : cases) {
        EXPECT_EQ(mpris::sanitizeText(raw, 1001), clean) << raw.substr(0, 30);
    }
}

TEST(MprisParsingTest, MetadataKeepsWhatCanBeUnderstood) {
    const struct {
        const char* key;
        Variant value;
        MprisMetadata track;
    } cases[] = {
        {"xesam:title", Variant("Teardrop"s), {.title = "Teardrop"}},
        {"xesam:artist", Variant(std::vector{"Portishead"s, "Tricky"s}), {.artist = "Portishead, Tricky"}},
        {"mpris:length", Variant(std::int64_t{215'000'000}), {.lengthMicroseconds = 215'000'000}},
        {"mpris:trackid", Variant(sdbus::ObjectPath("/track/7")), {.trackId = "/track/7"}},
        {"mpris:artUrl", Variant("file:///cover.jpg"s), {.artUrl = "file:///cover.jpg"}},
        {"xesam:url", Variant("file:///song.flac"s), {.url = "file:///song.flac"}},
        // Other types that players send.
        {"mpris:trackid", Variant("/com/spotify/track/4uLU"s), {.trackId = "/com/spotify/track/4uLU"}},
        {"xesam:artist", Variant("Plain"s), {.artist = "Plain"}},
        {"xesam:title", Variant(std::vector<std::uint8_t>{'O', 'k', 0xFF}), {.title = "Ok" + kBad}},
        {"mpris:length", Variant(2.6), {.lengthMicroseconds = 3}},
        {"mpris:length",
         Variant(~std::uint64_t{0}),
         {.lengthMicroseconds = std::numeric_limits<std::int64_t>::max()}},
        {"xesam:album", Variant(std::vector{"Album"s}), {.album = "Album"}},
        // What cannot be used is dropped; huge texts are cut.
        {"mpris:trackid", Variant("spotify:track:4uLU"s), {}},
        {"mpris:trackid", Variant(sdbus::ObjectPath("/org/mpris/MediaPlayer2/TrackList/NoTrack")), {}},
        {"mpris:length", Variant(std::int64_t{-1}), {}},
        {"mpris:length", Variant(std::nan("")), {}},
        {"mpris:length", Variant("12"s), {}},
        {"xesam:title", Variant(repeat("ü", 100'000)), {.title = repeat("ü", 512)}},
        {"xesam:artist", Variant(std::vector(100'000, "Someone"s)), {.artist = repeat("Someone", 114, ", ")}},
    };
    for (const auto& entry : cases) {
        EXPECT_TRUE(mpris::parseMetadata({{entry.key, entry.value}}) == entry.track)
            << "row " << &entry - cases;
    }
}

TEST(MprisParsingTest, PlayerPropertiesAreReadTolerantly) {
    using Player = MprisPlayerSnapshot;
    Player before{.identity = "Old", .metadata = {.title = "Song"}, .rate = 1.5};
    before.status = MprisPlaybackStatus::playing;
    const auto same = [](Player&) {};
    const auto rateOne = [](Player& player) { player.rate = 1; };
    const struct {
        const char* key;
        Variant value;
        std::function<void(Player&)> change;
    } cases[] = {
        {"PlaybackStatus", Variant("paused"s),
         [](Player& player) { player.status = MprisPlaybackStatus::paused; }},
        {"PlaybackStatus", Variant("Buffering"s),
         [](Player& player) { player.status = MprisPlaybackStatus::stopped; }},
        {"PlaybackStatus", Variant(std::int32_t{2}), same},
        {"Metadata", Variant("title=Nope"s), [](Player& player) { player.metadata = {}; }},
        {"Rate", Variant(std::int32_t{2}), [](Player& player) { player.rate = 2; }},
        // A rate that would stop the clock, or cannot be read, reads as 1.
        {"Rate", Variant(0.0), rateOne},
        {"Rate", Variant("fast"s), rateOne},
        {"Volume", Variant(-0.5), [](Player& player) { player.volume = 0; }},
        {"CanSeek", Variant(std::int32_t{1}), [](Player& player) { player.canSeek = true; }},
        {"CanSeek", Variant("no"s), same},
        {"CanPause", Variant(false), [](Player& player) { player.canPause = false; }},
        {"CanPlay", Variant(std::int32_t{0}), [](Player& player) { player.canPlay = false; }},
        {"Identity", Variant(" VLC\nmedia player "s),
         [](Player& player) { player.identity = "VLC media player"; }},
        {"Identity", Variant(""s), same},
    };
    for (const auto& entry : cases) {
        auto expected = before;
        entry.change(expected);
        auto player = before;
        mpris::applyRootProperties({{entry.key, entry.value}}, player);
        mpris::applyPlayerProperties({{entry.key, entry.value}}, player);
        EXPECT_TRUE(player == expected) << "row " << &entry - cases;
    }
}

} // namespace
