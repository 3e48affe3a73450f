#include <gmock/gmock.h>
#include <sys/resource.h>
#include <unistd.h>

#include "support/MprisBusTestSupport.h"
#include "support/TestSupport.h"

namespace {

using Player = FakeMprisPlayer;
using sdbus::Variant;

class MprisDiscoveryBusTest : public MprisBusTest {};

TEST_F(MprisDiscoveryBusTest, PlayersAreFollowedAsTheyComeAndGoWhileOneHangs) {
    // playerctld republishes other players under a name of its own: never followed.
    addPlayer(Player::playing("playerctld", "Proxy Copy"));
    auto& hanging = addPlayer(Player::playing("hanging", "Already Playing"));
    connect();
    // Found by listing the bus.
    ASSERT_TRUE(waitForTitle("Already Playing"));
    hanging.setHangs(true);
    _controller->togglePlayPause();
    _controller->setCurrentTrackTime(30.0f);
    ASSERT_TRUE(waitUntil([&] { return hanging.calls().size() == 2; }));

    // Unanswered calls hold up nothing: a new player is found, followed and commanded.
    auto& second = addPlayer(Player::playing("second", "Just Started"));
    ASSERT_TRUE(waitForTitle("Just Started"));
    _controller->changeTrack(1);
    ASSERT_TRUE(waitUntil([&] { return second.calls() == std::vector<std::string>{"Next"}; }));
    // A player that only says a property changed is asked for all of them again.
    second.store(Player::kPlayerInterface, "Metadata", Player::metadata("Renamed", "/track/2"));
    second.emitPropertiesChanged(Player::kPlayerInterface, {}, {"Metadata"});
    ASSERT_TRUE(waitForTitle("Renamed"));

    removePlayer(second);
    ASSERT_TRUE(waitForTitle("Already Playing"));
    // Gone in the middle of its calls.
    removePlayer(hanging);
    ASSERT_TRUE(waitUntil([&] { return !_controller->nowPlayingApplication(); }));
}

TEST_F(MprisDiscoveryBusTest, BusGoingAwayLeavesNothingPlayingUntilItIsBack) {
    LogCapture log;
    addPlayer(Player::playing("fake", "Before"));
    connect();
    ASSERT_TRUE(waitForTitle("Before"));
    _bus.stop();
    ASSERT_TRUE(waitUntil([&] { return !_controller->nowPlayingApplication(); }));
    _players.clear();

    // The client connects again by itself.
    ASSERT_TRUE(_bus.start());
    addPlayer(Player::playing("fake", "After"));
    ASSERT_TRUE(waitForTitle("After", 10));
    EXPECT_THAT(log.messages(), ::testing::Contains("MPRIS: lost the session bus"));
}

class MprisFaultBusTest : public MprisBusTest {};

// Keeps the process from opening another file descriptor while it lives.
class DescriptorsExhausted {
public:
    DescriptorsExhausted() {
        ::getrlimit(RLIMIT_NOFILE, &_saved);
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit limit = _saved;
        limit.rlim_cur = static_cast<rlim_t>(lowestFree);
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    ~DescriptorsExhausted() { ::setrlimit(RLIMIT_NOFILE, &_saved); }
    DescriptorsExhausted(const DescriptorsExhausted&) = delete;
    DescriptorsExhausted& operator=(const DescriptorsExhausted&) = delete;

private:
    rlimit _saved{};
};

TEST_F(MprisFaultBusTest, ClientWithoutAWakeUpEventSaysSoAndStillServesAndStops) {
    LogCapture log;
    auto& player = addPlayer(Player::playing("fake", "Unwoken"));
    {
        DescriptorsExhausted exhausted;
        connect();
    }
    ASSERT_TRUE(waitForTitle("Unwoken", 10));
    _controller->togglePlayPause();
    ASSERT_TRUE(waitUntil([&] { return player.calls() == std::vector<std::string>{"PlayPause"}; }));
    EXPECT_EQ(std::ranges::count_if(
                  log.messages(),
                  [](const std::string& line) { return line.find("wake-up") != std::string::npos; }),
              1);
    // The client goes with the test, and must not wait for a wake-up to stop.
}

// How wrong values read is the parser's business; here none of them may cost the player.
TEST_F(MprisFaultBusTest, MisbehavingPlayerLeavesAUsableClient) {
    auto& broken = addPlayer({.busName = "org.mpris.MediaPlayer2.broken",
                              .root = {{"Identity", std::int32_t{7}}, {"CanRaise", std::string("yes")}},
                              .player = {{"PlaybackStatus", std::int32_t{1}},
                                         {"Metadata", std::string("title=Nope")},
                                         {"Position", std::uint64_t{5'000'000}},
                                         {"CanSeek", std::string("maybe")}}});
    connect();
    // The position comes in a moment after the player itself.
    ASSERT_TRUE(waitUntil(
        [&] { return _controller->nowPlayingApplication() && _controller->trackElapsedTime() == 5.0; }));
    EXPECT_EQ(_controller->nowPlayingApplication()->description(), "broken");

    // Signals of every wrong shape: another interface, wrong types, an unsigned Seeked (the
    // fake's Position moves first, so that a read on its way agrees) and a string one.
    broken.emitPropertiesChanged("org.example.Other", {{"PlaybackStatus", Variant(std::string("Playing"))}});
    broken.emitPropertiesChanged(Player::kPlayerInterface,
                                 {{"PlaybackStatus", Variant(std::vector<std::string>{"Playing", "x"})},
                                  {"Rate", Variant(0.0)},
                                  {"Metadata", Variant(std::int64_t{3})}});
    broken.store(Player::kPlayerInterface, "Position", std::uint64_t{9'000'000});
    broken.emitSeeked(std::uint64_t{9'000'000});
    ASSERT_TRUE(waitUntil([&] { return _controller->trackElapsedTime() == 9.0; }));
    // One that cannot be read makes the client read the position afresh.
    broken.store(Player::kPlayerInterface, "Position", std::uint64_t{5'000'000});
    broken.emitSeeked(std::string("ten seconds"));
    ASSERT_TRUE(waitUntil([&] { return _controller->trackElapsedTime() == 5.0; }));

    // A well-formed change still gets through.
    broken.emitPropertiesChanged(Player::kPlayerInterface,
                                 {{"Metadata", Variant(Player::metadata("Finally", "/t"))}});
    ASSERT_TRUE(waitForTitle("Finally"));
}

} // namespace
