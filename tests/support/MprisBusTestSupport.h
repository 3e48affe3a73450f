#pragma once

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSRunLoop.h"
#include "MprisMediaController.h"
#include "MprisSession.h"
#include "MprisSystemVolume.h"
#include "support/FakeMprisPlayer.h"
#include "support/Process.h"
#include "support/TemporaryDirectory.h"

// A private session bus of the test's own, listening on a socket in `directory`.
// It can be stopped and started again at the same address.
class PrivateBus {
public:
    explicit PrivateBus(const std::filesystem::path& directory);
    ~PrivateBus() { stop(); }

    bool start();
    void stop();
    bool isRunning() { return _daemon && !_daemon.wait(0); }
    const std::string& address() const { return _address; }
    // "DBUS_SESSION_BUS_ADDRESS=..." for child processes.
    std::string environment() const { return "DBUS_SESSION_BUS_ADDRESS=" + _address; }

private:
    std::filesystem::path _socket;
    std::string _address;
    ChildProcess _daemon;
};

// The colour of an image's top-left pixel as 0xAARRGGBB.
std::uint32_t pixelOf(const Ptr<UIImage>& image);

// A PNG of one colour.
void writeSolidPng(const std::filesystem::path& path, int width, int height, double red, double green,
                   double blue);

// Each test gets its own private bus in its own directory, the system clock, and
// a media controller on that bus made by `connect`. Everything is stopped in
// reverse order at the end: the controller (and its threads), the fake players,
// the bus.
class MprisBusTest : public ::testing::Test {
protected:
    void SetUp() override {
        NSRunLoop::mainRunLoop()->reset();
        NSNotificationCenter::defaultCenter()->reset();
        _bus = std::make_unique<PrivateBus>(_directory.path());
        ASSERT_TRUE(_bus->isRunning()) << "dbus-daemon did not start";
    }
    void TearDown() override {
        _controller = nullptr;
        _volume = nullptr;
        _session = nullptr;
        _players.clear();
        _bus.reset();
        NSRunLoop::mainRunLoop()->reset();
        NSNotificationCenter::defaultCenter()->reset();
    }

    const Ptr<MprisMediaController>& connect(MprisSession::Options options = {}) {
        _session = MprisSession::sessionOnBus(_bus->address(), std::move(options));
        _controller = alloc<MprisMediaController>()->initWithSession(_session);
        _volume = alloc<MprisSystemVolume>()->initWithSession(_session);
        return _controller;
    }
    FakeMprisPlayer& addPlayer(FakeMprisPlayer::Spec spec) {
        _players.push_back(std::make_unique<FakeMprisPlayer>(_bus->address(), std::move(spec)));
        return *_players.back();
    }
    void removePlayer(const FakeMprisPlayer& player) {
        std::erase_if(_players, [&](const auto& candidate) { return candidate.get() == &player; });
    }
    std::string title() const { return NSStringText(_controller->nowPlayingTitle()); }
    std::string artist() const { return NSStringText(_controller->nowPlayingArtist()); }
    bool waitForTitle(const std::string& expected, double seconds = 5) {
        return waitUntil([&] { return title() == expected; }, seconds);
    }

    TemporaryDirectory _directory;
    std::unique_ptr<PrivateBus> _bus;
    std::vector<std::unique_ptr<FakeMprisPlayer>> _players;
    Ptr<MprisSession> _session;
    Ptr<MprisMediaController> _controller;
    Ptr<MprisSystemVolume> _volume;
};
