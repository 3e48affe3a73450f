#pragma once

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "FakeMprisPlayer.h"
#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSRunLoop.h"
#include "MprisMediaController.h"
#include "MprisSession.h"
#include "MprisSystemVolume.h"

// A child process started directly (no shell), stopped by its process id.
class ChildProcess {
public:
    ChildProcess() = default;
    // Starts `argv` with the current environment plus `environment` ("NAME=value",
    // replacing variables of the same name). With `captureOutput`, standard output
    // goes to a pipe read by readLine / readAll; with `discardErrors`, standard
    // error goes to /dev/null. Empty when it could not start.
    static ChildProcess start(const std::vector<std::string>& argv,
                              const std::vector<std::string>& environment = {}, bool captureOutput = false,
                              bool discardErrors = false);
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    explicit operator bool() const { return _pid > 0; }
    pid_t pid() const { return _pid; }
    // One line of output (without its newline), waiting at most `seconds`.
    std::optional<std::string> readLine(double seconds);
    // Everything up to the end of output, waiting at most `seconds`.
    std::string readAll(double seconds);
    // Waits at most `seconds` for the process to end; answers its exit status, or
    // nothing when it is still running.
    std::optional<int> wait(double seconds);
    // SIGTERM, then SIGKILL if it has not ended within two seconds; reaps it.
    void stop();

private:
    pid_t _pid = -1;
    int _pidFd = -1;
    int _output = -1;
    std::string _buffered;
};

// Runs a program to its end (at most `seconds`) and answers its exit status and output.
struct CommandResult {
    int status = -1;
    std::string output;
};
CommandResult runCommand(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment = {}, double seconds = 10);

// A private session bus of the test's own, listening on a socket in `directory`.
// It can be stopped and started again at the same address.
class PrivateBus {
public:
    explicit PrivateBus(const std::filesystem::path& directory);
    ~PrivateBus() { stop(); }

    bool start();
    void stop();
    bool isRunning() const { return bool(_daemon); }
    const std::string& address() const { return _address; }
    // "DBUS_SESSION_BUS_ADDRESS=..." for child processes.
    std::string environment() const { return "DBUS_SESSION_BUS_ADDRESS=" + _address; }

private:
    std::filesystem::path _socket;
    std::string _address;
    ChildProcess _daemon;
};

// A directory under /tmp removed with everything in it.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    const std::filesystem::path& path() const { return _path; }

private:
    std::filesystem::path _path;
};

// Runs the main run loop on the system clock until `predicate` holds or `seconds` passed.
bool waitFor(const std::function<bool()>& predicate, double seconds = 5);

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
        return waitFor([&] { return title() == expected; }, seconds);
    }

    TemporaryDirectory _directory;
    std::unique_ptr<PrivateBus> _bus;
    std::vector<std::unique_ptr<FakeMprisPlayer>> _players;
    Ptr<MprisSession> _session;
    Ptr<MprisMediaController> _controller;
    Ptr<MprisSystemVolume> _volume;
};
