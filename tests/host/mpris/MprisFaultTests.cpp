#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "MprisParsing.h"
#include "support/MprisBusTestSupport.h"

namespace {

using Player = FakeMprisPlayer;

class MprisFaultBusTest : public MprisBusTest {
protected:
    // Replaces the player's metadata and waits until the controller shows `title`.
    void showMetadata(Player& player, const FakeMetadata& metadata, const std::string& title) {
        player.set(Player::kPlayerInterface, "Metadata", metadata);
        ASSERT_TRUE(waitForTitle(title)) << "title never became " << title;
    }
};

TEST_F(MprisFaultBusTest, MistypedAndMissingMetadataIsAccepted) {
    auto spec = Player::playing("fake", "unused");
    // A track id as a plain string, a plain-string artist, an unsigned length, no title.
    spec.player["Metadata"] = FakeMetadata{
        {"mpris:trackid", sdbus::Variant(std::string("/com/fake/track/17"))},
        {"xesam:artist", sdbus::Variant(std::string("Plain Artist"))},
        {"mpris:length", sdbus::Variant(std::uint64_t{240'000'000})},
    };
    auto& player = addPlayer(spec);
    connect();
    ASSERT_TRUE(waitUntil([&] { return artist() == "Plain Artist"; }));
    EXPECT_EQ(_controller->nowPlayingTitle(), nullptr);
    EXPECT_DOUBLE_EQ(_controller->trackDuration(), 240.0);
    // The string track id is a valid path: SetPosition uses it.
    _controller->setCurrentTrackTime(5.0f);
    ASSERT_TRUE(waitUntil([&] { return !player.calls().empty(); }));
    EXPECT_EQ(player.calls().front(), "SetPosition /com/fake/track/17 5000000");

    // Every field missing: nothing playing as far as the widget is concerned.
    showMetadata(player, Player::metadata("Marker", "A", "/t", 1), "Marker");
    player.set(Player::kPlayerInterface, "Metadata", FakeMetadata{});
    ASSERT_TRUE(
        waitUntil([&] { return !_controller->nowPlayingTitle() && !_controller->nowPlayingArtist(); }));
    EXPECT_EQ(_controller->trackDuration(), 0);
}

TEST_F(MprisFaultBusTest, HugeAndInvalidTextIsCleanedUp) {
    auto& player = addPlayer(Player::playing("fake", "Start"));
    connect();
    ASSERT_TRUE(waitForTitle("Start"));

    // The bus refuses invalid UTF-8 in strings, so a player can only send it as bytes.
    auto bytes = Player::metadata("", "Artist", "/t/1", 1'000'000);
    bytes["xesam:title"] = sdbus::Variant(std::vector<std::uint8_t>{'B', 'a', 'd', 0xC3, 0x28, '!', '\n'});
    showMetadata(player, bytes, "Bad\xEF\xBF\xBD(!");

    std::string huge;
    // 200 times the longest text kept.
    for (int i = 0; i < 100'000; ++i) {
        huge += "ü";
    }
    auto big = Player::metadata(huge, "Artist", "/t/2", 1'000'000);
    big["xesam:artist"] = sdbus::Variant(std::vector<std::string>(2'000, huge.substr(0, 100)));
    player.set(Player::kPlayerInterface, "Metadata", big);
    ASSERT_TRUE(waitUntil([&] { return title().size() == mpris::kMaxTextBytes; }));
    EXPECT_TRUE(mpris::sanitizeText(title()) == title());
    EXPECT_LE(artist().size(), mpris::kMaxTextBytes);
    EXPECT_TRUE(waitUntil([&] {
        return NSStringText(as<NSString>(_controller->nowPlayingInfo()->objectForKey("title"))) == title();
    }));
}

TEST_F(MprisFaultBusTest, PropertiesOfTheWrongTypeLeaveAUsablePlayer) {
    Player::Spec spec;
    spec.busName = "org.mpris.MediaPlayer2.broken";
    spec.root = {{"Identity", std::int32_t{7}}, {"CanRaise", std::string("yes")}};
    spec.player = {
        {"PlaybackStatus", std::int32_t{1}},    {"Metadata", std::string("title=Nope")},
        {"Position", std::uint64_t{5'000'000}}, {"Rate", std::string("fast")},
        {"Volume", std::string("loud")},        {"CanSeek", std::string("maybe")},
    };
    auto& broken = addPlayer(spec);
    connect();
    // The position comes in a moment after the player itself.
    ASSERT_TRUE(waitUntil([&] {
        return _controller->nowPlayingApplication() != nullptr && _controller->trackElapsedTime() == 5.0;
    }));
    // The player is there, described by its bus name, with nothing to show.
    EXPECT_EQ(_controller->nowPlayingApplication()->description(), "broken");
    EXPECT_FALSE(_controller->nowPlayingApplication()->isSystemApplication());
    EXPECT_FALSE(_controller->isPlaying());
    EXPECT_EQ(_controller->nowPlayingTitle(), nullptr);
    EXPECT_DOUBLE_EQ(_controller->trackElapsedTime(), 5.0);
    EXPECT_FALSE(_controller->activateApplication(_controller->nowPlayingApplication()));

    // Signals of every wrong shape: an interface of no interest, values of the
    // wrong type, a Seeked with an unsigned and one with a string position.
    broken.emitPropertiesChanged("org.example.Other",
                                 {{"PlaybackStatus", sdbus::Variant(std::string("Playing"))}});
    broken.emitPropertiesChanged(
        Player::kPlayerInterface,
        {{"PlaybackStatus", sdbus::Variant(std::vector<std::string>{"Playing", "x"})},
         {"Rate", sdbus::Variant(0.0)},
         {"Metadata", sdbus::Variant(std::int64_t{3})}});
    // (The fake's Position moves first, so that a read still on its way agrees.)
    broken.store(Player::kPlayerInterface, "Position", std::uint64_t{9'000'000});
    broken.emitSeeked(std::uint64_t{9'000'000});
    ASSERT_TRUE(waitUntil([&] { return _controller->trackElapsedTime() == 9.0; }));
    // A Seeked that cannot be read makes the client read the position afresh.
    broken.store(Player::kPlayerInterface, "Position", std::uint64_t{5'000'000});
    broken.emitSeeked(std::string("ten seconds"));
    ASSERT_TRUE(waitUntil([&] { return _controller->trackElapsedTime() == 5.0; }))
        << _controller->trackElapsedTime();
    // Then a well-formed change, which must still get through.
    broken.emitPropertiesChanged(
        Player::kPlayerInterface,
        {{"PlaybackStatus", sdbus::Variant(std::string("Playing"))},
         {"Metadata", sdbus::Variant(Player::metadata("Finally", "Fixed", "/t/1", 60'000'000))}});
    ASSERT_TRUE(waitForTitle("Finally"));
    EXPECT_TRUE(_controller->isPlaying());
}

TEST_F(MprisFaultBusTest, PlayerWithoutPlayerInterfaceGivesWayToARealOne) {
    auto spec = Player::playing("rootonly", "unused");
    spec.hasPlayerInterface = false;
    addPlayer(spec);
    connect();
    ASSERT_TRUE(waitUntil([&] { return _controller->nowPlayingApplication() != nullptr; }));
    EXPECT_EQ(_controller->nowPlayingTitle(), nullptr);
    EXPECT_FALSE(_controller->isPlaying());

    addPlayer(Player::playing("real", "Real Song"));
    ASSERT_TRUE(waitForTitle("Real Song"));
}

TEST_F(MprisFaultBusTest, BadArtworkGivesNoneAndGoodArtworkStillArrives) {
    const std::filesystem::path dir = _directory.path();
    writeSolidPng(dir / "good.png", 12, 10, 0, 0, 1);
    std::ofstream(dir / "text.png") << "this is not an image";
    { std::ofstream(dir / "huge.png") << "\x89PNG"; }
    ASSERT_EQ(::truncate((dir / "huge.png").c_str(), 64 * 1024 * 1024), 0);

    auto& player = addPlayer(Player::playing("fake", "Start"));
    connect();
    ASSERT_TRUE(waitForTitle("Start"));
    int step = 0;
    auto showArt = [&](const std::string& url) {
        const auto title = "Step " + std::to_string(++step);
        showMetadata(player, Player::metadata(title, "Artist", "/t/" + std::to_string(step), 1'000'000, url),
                     title);
    };
    auto expectGoodArtwork = [&] {
        ASSERT_TRUE(waitUntil([&] { return _controller->artwork() != nullptr; }));
        EXPECT_EQ(_controller->artwork()->size().width, 12);
        EXPECT_EQ(pixelOf(_controller->artwork()), 0xFF0000FFu);
    };
    for (const std::string& bad :
         {"file://" + (dir / "missing.png").string(), "file://" + (dir / "text.png").string(),
          "file://" + (dir / "huge.png").string(), std::string("https://example.com/a.png"),
          std::string("data:image/png;base64,!!!!")}) {
        showArt(bad);
        EXPECT_EQ(_controller->artwork(), nullptr) << bad;
        showArt("file://" + (dir / "good.png").string());
        expectGoodArtwork();
    }
}

TEST_F(MprisFaultBusTest, PlayerVanishingMidCallIsDroppedAndTheNextFollowed) {
    auto backupSpec = Player::playing("backup", "Backup Song");
    backupSpec.player["PlaybackStatus"] = std::string("Paused");
    addPlayer(backupSpec);
    auto& hanging = addPlayer(Player::playing("hanging", "Hanging Song"));
    connect();
    ASSERT_TRUE(waitForTitle("Hanging Song"));

    hanging.setHangs(true);
    EXPECT_TRUE(_controller->togglePlayPause());
    _controller->setCurrentTrackTime(30.0f);
    ASSERT_TRUE(waitUntil([&] { return hanging.heldCallCount() == 2; }));
    // Unanswered calls hold up nothing: the player's own signals still arrive.
    hanging.set(Player::kPlayerInterface, "Metadata",
                Player::metadata("Still Here", "A", "/track/1", 60'000'000));
    ASSERT_TRUE(waitForTitle("Still Here"));

    removePlayer(hanging);
    ASSERT_TRUE(waitForTitle("Backup Song"));
    EXPECT_FALSE(_controller->isPlaying());
    // The next one takes commands as usual.
    EXPECT_TRUE(_controller->togglePlayPause());
    ASSERT_TRUE(waitUntil([&] { return _controller->isPlaying(); }));
}

} // namespace
