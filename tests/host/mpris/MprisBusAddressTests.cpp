#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "host/ReconnectBackoff.h"
#include "host/SessionBusAddress.h"
#include "support/TemporaryDirectory.h"

namespace {

using host::BusSocket;
using Kind = BusSocket::Kind;

TEST(SessionBusAddressTest, EntriesReadAsTheSocketsToProbe) {
    const BusSocket unprobed{};
    const struct {
        std::string address;
        std::vector<BusSocket> sockets;
    } cases[] = {
        {"unix:path=/run/user/1000/bus", {{Kind::path, "/run/user/1000/bus"}}},
        {"unix:abstract=/tmp/dbus-Xy,guid=0f1e", {{Kind::abstract, "/tmp/dbus-Xy"}}},
        {"unix:guid=0f1e,path=/tmp/a%20b%2c%3Bc", {{Kind::path, "/tmp/a b,;c"}}},
        {"tcp:host=localhost,port=4;unix:path=/b", {unprobed, {Kind::path, "/b"}}},
        {";unix:path=/a;;unix:abstract=b;", {{Kind::path, "/a"}, {Kind::abstract, "b"}}},
        {"", {}},
        // Escapes cut short or not hex, no name, two names, no key, no transport, a
        // directory to listen in: left to the bus library.
        {"unix:path=/cut%4", {unprobed}},
        {"unix:path=/bad%zz;unix:path=/ok", {unprobed, {Kind::path, "/ok"}}},
        {"unix:path=", {unprobed}},
        {"unix:path=/a,abstract=b", {unprobed}},
        {"unix:path", {unprobed}},
        {"/run/user/1000/bus", {unprobed}},
        {"unix:tmpdir=/tmp", {unprobed}},
        {"launchd:env=X", {unprobed}},
    };
    for (const auto& [address, sockets] : cases) {
        EXPECT_EQ(host::parseBusAddress(address), sockets) << address;
    }
}

TEST(SessionBusAddressTest, DefaultAddressPrefersTheVariableAndEscapesTheRuntimeDirectory) {
    EXPECT_EQ(host::defaultSessionBusAddress("unix:path=/x", "/run/user/5"), "unix:path=/x");
    EXPECT_EQ(host::defaultSessionBusAddress(nullptr, nullptr), std::nullopt);
    EXPECT_EQ(host::defaultSessionBusAddress("", ""), std::nullopt);
    // Whatever the directory's name, it parses back to the socket inside it.
    for (const std::string directory : {"/run/user/1000", "/tmp/a,b;c=d", "/tmp/caf\xc3\xa9 %41"}) {
        const auto address = host::defaultSessionBusAddress("", directory.c_str());
        ASSERT_TRUE(address);
        EXPECT_EQ(host::parseBusAddress(*address), (std::vector<BusSocket>{{Kind::path, directory + "/bus"}}))
            << *address;
    }
}

TEST(SessionBusAddressTest, ProbeFindsAListeningSocketInAnyEntry) {
    TemporaryDirectory directory;
    const std::string path = directory.file("bus");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);

    const std::string missing = "unix:path=" + directory.file("none");
    const struct {
        std::string address;
        bool mayBeListening;
    } cases[] = {
        {"unix:path=" + path, true},
        {missing, false},
        {missing + ";unix:path=" + path, true},
        {"unix:abstract=" + directory.file("none"), false},
        {missing + ";tcp:host=localhost,port=1", true},
        {"unix:path=/" + std::string(200, 'x'), true},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(host::busMayBeListening(text), expected) << text;
    }
    ::close(listener);
}

TEST(ReconnectBackoffTest, DelaysDoubleUpToTheCapAndStartOverAfterASuccess) {
    ManualClock clock;
    host::ReconnectBackoff backoff(NanosecondsFromSeconds(2), NanosecondsFromSeconds(30));
    EXPECT_TRUE(backoff.isDue(clock.now()));
    enum class Step { failed, succeeded, lost };
    const struct {
        double at;
        Step step;
        // When the next attempt is due; 0 for none pending.
        double nextDue;
    } timeline[] = {
        {0, Step::failed, 2},     {2, Step::failed, 6},     {6, Step::failed, 14},     {14, Step::failed, 30},
        {30, Step::failed, 60},   {60, Step::failed, 90},   {90, Step::succeeded, 0},  {200, Step::lost, 202},
        {202, Step::failed, 204}, {204, Step::failed, 208}, {208, Step::succeeded, 0}, {300, Step::lost, 302},
    };
    for (const auto& [at, step, nextDue] : timeline) {
        clock.set(NanosecondsFromSeconds(at));
        step == Step::failed      ? backoff.attemptFailed(clock.now())
        : step == Step::succeeded ? backoff.attemptSucceeded()
                                  : backoff.connectionLost(clock.now());
        if (nextDue == 0) {
            continue;
        }
        const auto due = NanosecondsFromSeconds(nextDue);
        EXPECT_EQ(backoff.timeUntilDue(clock.now()), due - clock.now()) << "at " << at;
        EXPECT_FALSE(backoff.isDue(due - 1)) << "at " << at;
        EXPECT_TRUE(backoff.isDue(due)) << "at " << at;
        EXPECT_EQ(backoff.timeUntilDue(due + 1), 0) << "at " << at;
    }
}

} // namespace
