#include "mpris/MprisMediaBackEnd.h"

#include <iostream>
#include <utility>

#include "Foundation/NSRuntime.h"
#include "Foundation/NSWhileAlive.h"
#include "host/HostFailure.h"
#include "mpris/MprisHostServices.h"

namespace host {

MprisMediaBackEnd::MprisMediaBackEnd(const PlayerPreference& players) {
    // The run goes on without a bus or a player, showing "Not Playing", but the
    // user learns why on standard error.
    _controller = registerMprisHostServices(MprisHostOptions{
        players, std::nullopt, [](const std::string& line) { std::cerr << "trillbox: " << line << '\n'; }});
    if (!_controller) {
        throw HostFailure("cannot reach the MPRIS players on the session bus");
    }
    _uiController = alloc<HostUIController>()->initWithActivation(
        NSWhileAlive(_controller, &MprisMediaController::activateApplication));
    registerUIController(_uiController);
    // The MPRIS services install the followed player's volume as the system volume.
}

MprisMediaBackEnd::~MprisMediaBackEnd() {
    MPSystemVolume::setSharedService(nullptr);
    unregisterMprisHostServices();
    objc_unregisterClass("SBUIController");
}

void MprisMediaBackEnd::setPresented(bool presented) {
    _controller->setPresented(presented);
}

std::vector<PlayerListing> MprisMediaBackEnd::players() const {
    const auto& session = _controller->session();
    const auto* followed = session->followedPlayer();
    std::vector<PlayerListing> listings;
    for (const auto& player : session->listedPlayers()) {
        const char* status = player.status == MprisPlaybackStatus::playing  ? "Playing"
                             : player.status == MprisPlaybackStatus::paused ? "Paused"
                                                                            : "Stopped";
        listings.push_back({.name = player.busName,
                            .identity = player.identity,
                            .status = status,
                            .followed = followed && followed->owner == player.owner});
    }
    return listings;
}

bool MprisMediaBackEnd::movePlayer(PlayerMove move) {
    const auto& session = _controller->session();
    switch (move) {
    case PlayerMove::next:
        return session->followAdjacentPlayer(1);
    case PlayerMove::previous:
        return session->followAdjacentPlayer(-1);
    case PlayerMove::automatic:
        return session->followAutomatically();
    }
    return false;
}

bool MprisMediaBackEnd::followPlayer(const std::string& name) {
    return _controller->session()->followPlayerNamed(name);
}

void MprisMediaBackEnd::setPlayersChangedHandler(std::function<void()> handler) {
    _controller->session()->setPlayersChangedHandler(std::move(handler));
}

} // namespace host

// The MPRIS module's entry, found by name when the host loads the module: a new
// back-end the caller owns (see MprisMediaBackEnd's constructor).
extern "C" host::MediaBackEnd* trillbox_mpris_back_end(const host::PlayerPreference& players) {
    return new host::MprisMediaBackEnd(players);
}
