#include <chrono>
#include <thread>

#include "mpris/MprisBusClient.h"
#include "support/MprisBusTestSupport.h"

namespace {

class MprisMisbehavingPlayerBusTest : public MprisBusTest {
protected:
    std::size_t listed() const { return _controller->session()->listedPlayers().size(); }
    // Open descriptors, threads and live platform objects.
    static std::vector<std::size_t> resources() {
        const auto count = [](auto path) { return std::size_t(std::ranges::distance(path)); };
        return {count(std::filesystem::directory_iterator("/proc/self/fd")),
                count(std::filesystem::directory_iterator("/proc/self/task")), NSObject::liveInstanceCount()};
    }
};

// A player killed and started again a hundred times, then fifty at once: once they
// are gone the client holds what it held before.
TEST_F(MprisMisbehavingPlayerBusTest, PlayersComingAndGoingAreFollowedAndLeaveNothingBehind) {
    connect({.players = {.names = {"p41", "%any"}}});
    _controller->setPresented(true);
    std::vector<std::size_t> before;
    for (int run = 0; run <= 100; ++run) {
        const auto& player = addPlayer(FakeMprisPlayer::playing("phoenix", "Life " + std::to_string(run)));
        ASSERT_TRUE(waitForTitle("Life " + std::to_string(run)));
        removePlayer(player);
        ASSERT_TRUE(waitUntil([&] { return listed() == 0; }));
        before = run == 0 ? resources() : before;
    }
    for (int index = 0; index < 50; ++index) {
        addPlayer(FakeMprisPlayer::playing("p" + std::to_string(index), "Song " + std::to_string(index)));
    }
    // All listed, and the first in the preference followed, though all play.
    ASSERT_TRUE(waitUntil([&] { return listed() == 50 && title() == "Song 41"; }, 10));
    _players.clear();
    ASSERT_TRUE(waitUntil([&] { return listed() == 0; }));
    EXPECT_EQ(resources(), before);
}

// One player never reads a message, one floods PropertiesChanged at 1,000 a second; the main
// thread runs a pass every 20 and keeps up (not waiting for calls), delivering once a pass at most.
TEST_F(MprisMisbehavingPlayerBusTest, SilentAndFloodingPlayersHoldUpNothing) {
    const auto silent = sdbus::createSessionBusConnectionWithAddress(_bus.address());
    silent->requestName("org.mpris.MediaPlayer2.silent");
    auto& flooder = addPlayer(FakeMprisPlayer::playing("flood", "Start"));
    connect();
    ASSERT_TRUE(waitForTitle("Start"));
    auto& client = dynamic_cast<MprisBusClient&>(*_controller->session()->commands());
    const auto tasksBefore = client.mainThreadTaskCount();
    const auto start = std::chrono::steady_clock::now();
    std::uint64_t passes = 0;
    for (int sent = 0; sent < 2000; ++sent) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(sent));
        const sdbus::Variant track(FakeMprisPlayer::metadata("Title " + std::to_string(sent), "/t"));
        flooder.emitPropertiesChanged(FakeMprisPlayer::kPlayerInterface, {{"Metadata", track}});
        passes += sent % 20 == 19 && NSRunLoop::mainRunLoop()->runPass() > 0 ? 1 : 0;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_LE(client.mainThreadTaskCount() - tasksBefore, passes + 1);
    // The silent one is listed once its reads time out, and not followed.
    ASSERT_TRUE(waitUntil([&] { return listed() == 2 && title() == "Title 1999"; }, 10));
    EXPECT_LE(client.mostWaitingEvents(), 5u); // Per player its latest properties and position.
}

} // namespace
