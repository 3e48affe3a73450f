#pragma once

#include <optional>
#include <string>

#include "MprisMediaController.h"

struct MprisHostOptions {
    // Follow only the player of this bus-name suffix or Identity; nil follows every player.
    std::optional<std::string> playerName;
    // The session bus to use; nil uses the process's session bus.
    std::optional<std::string> busAddress;
};

// Creates the one MPRIS media controller and registers it with the runtime under
// "SBMediaController", with the class operation `sharedInstance` and the instance
// variable "_nowPlayingInfo". A registration made before (by this or another
// back-end) is replaced. Answers the controller; the host drives its hooks
// (`activateApplication`, `systemVolume`, `setSystemVolume`, `setPresented`).
// Main thread only.
Ptr<MprisMediaController> registerMprisHostServices(std::optional<std::string> playerName);
Ptr<MprisMediaController> registerMprisHostServices(const MprisHostOptions& options);

// The registered controller, or nil.
Ptr<MprisMediaController> registeredMprisMediaController();

// Removes the registration and releases the controller, which stops its bus and
// artwork threads. Does nothing when nothing is registered.
void unregisterMprisHostServices();
