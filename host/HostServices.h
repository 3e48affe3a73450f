#pragma once

#include "host/DemoPlayer.h"
#include "host/HostUIController.h"

namespace host {

// Registers `player` with the runtime as the host's "SBMediaController": the
// class operation `sharedInstance` answers it and the instance variable
// "_nowPlayingInfo" reads its now-playing dictionary. The registration holds the
// player weakly (the caller owns it; once it is gone `sharedInstance` answers
// nil). Replaces an earlier registration under that name.
void registerDemoPlayer(const Ptr<DemoPlayer>& player);

// Registers `controller` with the runtime as "SBUIController" (class operation
// `sharedInstance`), replacing an earlier registration. The registration holds it
// weakly, as registerDemoPlayer its player.
void registerUIController(const Ptr<HostUIController>& controller);

} // namespace host
