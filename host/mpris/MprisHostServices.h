#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/HostOptions.h"

#include "mpris/MprisMediaController.h"
#include "mpris/MprisSystemVolume.h"

struct MprisHostOptions {
    // Which players take part, in what order.
    host::PlayerPreference players;
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
Ptr<MprisMediaController> registerMprisHostServices(const host::PlayerPreference& players);
Ptr<MprisMediaController> registerMprisHostServices(const MprisHostOptions& options);

// The registered controller, or nil.
Ptr<MprisMediaController> registeredMprisMediaController();

// Removes the registrations and releases the controller, which stops its bus and
// artwork threads. Does nothing when nothing is registered.
void unregisterMprisHostServices();
