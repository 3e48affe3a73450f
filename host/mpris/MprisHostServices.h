#pragma once

#include <functional>
#include <optional>
#include <string>

#include "mpris/MprisMediaController.h"
#include "mpris/MprisSystemVolume.h"

struct MprisHostOptions {
    // Follow only the player of this bus-name suffix or Identity; nil follows every player.
    std::optional<std::string> playerName;
    // The session bus to use; nil uses the process's session bus.
    std::optional<std::string> busAddress;
    // Told the lines for the user about a missing bus or player (see
    // MprisSession::setNoticeHandler); nil drops them.
    std::function<void(const std::string& line)> notice;
};

// Creates the one MPRIS media controller and registers it with the runtime under
// "SBMediaController", with the class operation `sharedInstance` and the instance
// variable "_nowPlayingInfo"; installs the followed player's volume as the
// system volume service (MPSystemVolume). Registrations made before (by this or
// another back-end) are replaced. Answers the controller; the host's UI
// controller calls its `activateApplication` and the host tells it
// `setPresented`. Main thread only.
Ptr<MprisMediaController> registerMprisHostServices(std::optional<std::string> playerName);
Ptr<MprisMediaController> registerMprisHostServices(const MprisHostOptions& options);

// The registered controller, or nil.
Ptr<MprisMediaController> registeredMprisMediaController();

// Removes the registrations and releases the controller, which stops its bus and
// artwork threads. Does nothing when nothing is registered.
void unregisterMprisHostServices();
