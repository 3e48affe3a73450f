// `trillbox players`: the MPRIS players on the session bus, read once, as a person
// and a bug report need them, and which of them the widget would follow and why.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/NSRunLoop.h"
#include "Foundation/NSWhileAlive.h"
#include "host/CommandLine.h"
#include "host/HostFailure.h"
#include "host/Json.h"
#include "mpris/MprisArtwork.h"
#include "mpris/MprisBusClient.h"
#include "mpris/MprisSession.h"

namespace host {
namespace {

// Discovery takes milliseconds; a player that does not answer holds it up for at
// most a call's time-out, and the listing then goes without that player.
constexpr NSTimeInterval kDiscoveryTimeout = MprisBusConnection::kCallTimeoutMicroseconds / 1e6 + 1;

// The listing only reads: it sends no request to a player and loads no artwork.
class PlayersListingRequests final : public MprisPlayerCommands {
public:
    void playPause(const std::string&) override {}
    void next(const std::string&) override {}
    void previous(const std::string&) override {}
    void setPosition(const std::string&, const std::string&, std::int64_t, Completion) override {}
    void seek(const std::string&, std::int64_t, Completion) override {}
    void raise(const std::string&) override {}
    void setVolume(const std::string&, double) override {}
    void readPosition(const std::string&) override {}
};

class PlayersListingArtwork final : public MprisArtworkSource {
public:
    void load(std::string, Completion) override {}
};

// What one reading of the bus found.
struct PlayersReading {
    // Every player on the bus.
    std::vector<MprisPlayerSnapshot> players;
    std::optional<std::string> busProblem;
    bool discovered = false;
};

// One player as the listing shows it.
struct ListedPlayer {
    MprisPlayerSnapshot snapshot;
    // The preference lets the widget follow it.
    bool takesPart = false;
    bool followed = false;
};

struct PlayersReport {
    std::vector<ListedPlayer> players;
    // Why the followed player is followed; "" when none is.
    std::string reason;
};

// Reads the players on the session bus and lets a session with `preference` choose
// among them. Throws HostFailure when there is no session bus.
PlayersReport readPlayers(const PlayerPreference& preference) {
    auto reading = std::make_shared<PlayersReading>();
    auto session = alloc<MprisSession>();
    MprisBusEvents events;
    events.playerChanged =
        NSWhileAlive(session, [reading](const Ptr<MprisSession>& alive, const MprisPlayerSnapshot& player) {
            auto& players = reading->players;
            const auto found = std::ranges::find(players, player.owner, &MprisPlayerSnapshot::owner);
            if (found == players.end()) {
                players.push_back(player);
            } else {
                *found = player;
            }
            alive->playerChanged(player);
        });
    events.playerRemoved =
        NSWhileAlive(session, [reading](const Ptr<MprisSession>& alive, const std::string& owner) {
            std::erase_if(reading->players, [&](const auto& player) { return player.owner == owner; });
            alive->playerRemoved(owner);
        });
    events.busUnavailable = [reading](const std::string& reason) { reading->busProblem = reason; };
    events.discoveryFinished = [reading] { reading->discovered = true; };
    MprisSession::Options options;
    options.players = preference;
    session->initWithCommands(std::make_unique<MprisBusClient>(std::nullopt, std::move(events)),
                              std::make_unique<PlayersListingArtwork>(), options);
    NSRunLoop::mainRunLoop()->runUntil([&] { return reading->discovered || reading->busProblem.has_value(); },
                                       kDiscoveryTimeout);
    if (reading->busProblem) {
        throw HostFailure("no session bus, so no MPRIS player (" + *reading->busProblem + ")");
    }

    PlayersReport report;
    const std::vector<MprisPlayerSnapshot> taking = session->listedPlayers();
    const MprisPlayerSnapshot* followed = session->followedPlayer();
    for (const auto& player : reading->players) {
        report.players.push_back(
            {player, std::ranges::find(taking, player.owner, &MprisPlayerSnapshot::owner) != taking.end(),
             followed && followed->owner == player.owner});
    }
    // By name, so that two listings of the same players read alike.
    std::ranges::sort(report.players, {}, [](const ListedPlayer& player) { return player.snapshot.busName; });
    report.reason = session->followReason();
    return report;
}

const char* statusName(MprisPlaybackStatus status) {
    switch (status) {
    case MprisPlaybackStatus::playing:
        return "Playing";
    case MprisPlaybackStatus::paused:
        return "Paused";
    case MprisPlaybackStatus::stopped:
        break;
    }
    return "Stopped";
}

// A data: URL as its type and size ("data:image/png (12345 bytes)"); other URLs as they are.
std::string artworkSummary(const std::string& url) {
    if (url.size() < 5 || !std::equal(url.begin(), url.begin() + 5, "data:", [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == b;
        })) {
        return url;
    }
    const std::size_t typeEnd = std::min(url.find_first_of(";,", 5), url.size());
    const std::string type = url.substr(0, typeEnd);
    const auto bytes = mpris::readArtworkBytes(url);
    return type + (bytes ? " (" + std::to_string(bytes->size()) + " bytes)" : " (unreadable)");
}

// "3:07", "1:02:03"; "unknown" for 0.
std::string lengthText(std::int64_t microseconds) {
    if (microseconds <= 0) {
        return "unknown";
    }
    const std::int64_t seconds = (microseconds + 500'000) / 1'000'000;
    const auto twoDigits = [](std::int64_t value) { return (value < 10 ? "0" : "") + std::to_string(value); };
    if (seconds >= 3600) {
        return std::to_string(seconds / 3600) + ":" + twoDigits(seconds / 60 % 60) + ":" +
               twoDigits(seconds % 60);
    }
    return std::to_string(seconds / 60) + ":" + twoDigits(seconds % 60);
}

struct Capability {
    const char* name;
    bool MprisPlayerSnapshot::*flag;
};
constexpr Capability kCapabilities[] = {
    {"CanPlay", &MprisPlayerSnapshot::canPlay},
    {"CanPause", &MprisPlayerSnapshot::canPause},
    {"CanSeek", &MprisPlayerSnapshot::canSeek},
    {"CanGoNext", &MprisPlayerSnapshot::canGoNext},
    {"CanGoPrevious", &MprisPlayerSnapshot::canGoPrevious},
    {"CanRaise", &MprisPlayerSnapshot::canRaise},
};

void printText(const PlayersReport& report, std::ostream& out) {
    if (report.players.empty()) {
        out << "no players\n";
        return;
    }
    const ListedPlayer* followed = nullptr;
    for (const auto& player : report.players) {
        const MprisPlayerSnapshot& snapshot = player.snapshot;
        const MprisMetadata& track = snapshot.metadata;
        std::string capabilities;
        for (const auto& capability : kCapabilities) {
            if (snapshot.*capability.flag) {
                capabilities += (capabilities.empty() ? "" : " ") + std::string(capability.name);
            }
        }
        out << snapshot.busName << (player.followed ? "  (followed)" : "")
            << (player.takesPart ? "" : "  (left out by the player preference)") << '\n'
            << "  identity:     " << snapshot.identity << '\n'
            << "  status:       " << statusName(snapshot.status) << '\n'
            << "  capabilities: " << (capabilities.empty() ? "none" : capabilities) << '\n'
            << "  title:        " << track.title << '\n'
            << "  artist:       " << track.artist << '\n'
            << "  length:       " << lengthText(track.lengthMicroseconds) << '\n'
            << "  artwork:      " << (track.artUrl.empty() ? "none" : artworkSummary(track.artUrl)) << '\n';
        if (player.followed) {
            followed = &player;
        }
    }
    if (followed) {
        out << "Trillbox follows " << followed->snapshot.busName << ": " << report.reason << '\n';
    } else {
        out << "Trillbox follows none of them: the player preference leaves them all out\n";
    }
}

void printJson(const PlayersReport& report, std::ostream& out) {
    JsonWriter json;
    json.beginObject().key("players").beginArray();
    const ListedPlayer* followed = nullptr;
    for (const auto& player : report.players) {
        const MprisPlayerSnapshot& snapshot = player.snapshot;
        const MprisMetadata& track = snapshot.metadata;
        json.beginObject()
            .key("busName")
            .string(snapshot.busName)
            .key("identity")
            .string(snapshot.identity)
            .key("status")
            .string(statusName(snapshot.status));
        for (const auto& capability : kCapabilities) {
            json.key(capability.name).boolean(snapshot.*capability.flag);
        }
        json.key("title").string(track.title).key("artist").string(track.artist).key("length");
        if (track.lengthMicroseconds > 0) {
            json.number(static_cast<double>(track.lengthMicroseconds) / 1e6);
        } else {
            json.null();
        }
        json.key("artwork");
        if (track.artUrl.empty()) {
            json.null();
        } else {
            json.string(artworkSummary(track.artUrl));
        }
        json.key("takesPart").boolean(player.takesPart).key("followed").boolean(player.followed).endObject();
        if (player.followed) {
            followed = &player;
        }
    }
    json.endArray().key("followed");
    if (followed) {
        json.string(followed->snapshot.busName).key("reason").string(report.reason);
    } else {
        json.null().key("reason").null();
    }
    out << json.endObject().text() << '\n';
}

} // namespace
} // namespace host

// The players command's entry, found by name when the host loads the MPRIS module.
// Throws HostFailure when there is no session bus.
extern "C" int trillbox_mpris_players(const host::CommandLine& line, std::ostream& out) {
    const host::CommandArguments arguments(line.arguments, {}, {"--json"});
    if (!arguments.positional().empty()) {
        throw host::UsageFailure("unexpected argument; usage: trillbox players [--json]");
    }
    const host::PlayersReport report = host::readPlayers(line.host.players);
    if (arguments.has("--json")) {
        host::printJson(report, out);
    } else {
        host::printText(report, out);
    }
    return 0;
}
