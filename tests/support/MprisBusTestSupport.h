#pragma once

#include <filesystem>
#include <gtest/gtest.h>

#include "Foundation/NSNotificationCenter.h"
#include "mpris/MprisMediaController.h"
#include "mpris/MprisSystemVolume.h"
#include "support/FakeMprisPlayer.h"
#include "support/Process.h"
#include "support/TemporaryDirectory.h"

// A session bus of the test's own at a socket in `directory`; it can be stopped and started again.
class PrivateBus {
public:
    explicit PrivateBus(const std::filesystem::path& directory)
        : _address("unix:path=" + (directory / "bus").string()) {
        start();
    }
    bool start();
    void stop() { _daemon.stop(); }
    bool isRunning() { return _daemon && !_daemon.wait(0); }
    const std::string& address() const { return _address; }

private:
    std::string _address;
    ChildProcess _daemon;
};

// A private bus per test, the system clock and the services made by `connect`; members go in
// reverse order: the controller (and its threads), the players, the bus.
class MprisBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSRunLoop::mainRunLoop()->reset();
        NSNotificationCenter::defaultCenter()->reset();
        ASSERT_TRUE(_bus.isRunning()) << "dbus-daemon did not start";
    }
    void connect(MprisSession::Options options = {}) {
        const auto session = MprisSession::sessionOnBus(_bus.address(), std::move(options));
        _controller = alloc<MprisMediaController>()->initWithSession(session);
        _volume = alloc<MprisSystemVolume>()->initWithSession(session);
    }
    FakeMprisPlayer& addPlayer(const FakeMprisPlayer::Setup& setup) {
        return *_players.emplace_back(std::make_unique<FakeMprisPlayer>(_bus.address(), setup));
    }
    void removePlayer(const FakeMprisPlayer& player) {
        std::erase_if(_players, [&](const auto& candidate) { return candidate.get() == &player; });
    }
    std::string title() const { return NSStringText(_controller->nowPlayingTitle()); }
    bool waitForTitle(const std::string& expected, double seconds = 5) {
        return waitUntil([&] { return title() == expected; }, seconds);
    }

    TemporaryDirectory _directory;
    PrivateBus _bus{_directory.path()};
    std::vector<std::unique_ptr<FakeMprisPlayer>> _players;
    Ptr<MprisMediaController> _controller;
    Ptr<MprisSystemVolume> _volume;
};
