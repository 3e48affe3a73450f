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

} // namespace host

// The MPRIS module's entry, found by name when the host loads the module: a new
// back-end the caller owns (see MprisMediaBackEnd's constructor).
extern "C" host::MediaBackEnd* trillbox_mpris_back_end(const host::PlayerPreference& players) {
    return new host::MprisMediaBackEnd(players);
}
