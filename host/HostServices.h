#pragma once

#include <functional>

#include "MediaPlayer/MPSystemVolume.h"
#include "SpringBoard/SBMediaController.h"
#include "SpringBoard/SBUIController.h"
#include "host/DemoPlayer.h"

namespace host {

// Registers `player` with the runtime as the host's "SBMediaController": the
// class operation `sharedInstance` answers it and the instance variable
// "_nowPlayingInfo" reads its now-playing dictionary. The registration holds the
// player weakly (the caller owns it; once it is gone `sharedInstance` answers
// nil). Replaces an earlier registration under that name.
void registerDemoPlayer(const Ptr<DemoPlayer>& player);

// The host's UI controller: bringing an application to the front is the
// back-end's business, handed in as a function.
class HostUIController : public SBUIController {
public:
    using Activation = std::function<void(const Ptr<SBApplication>& application)>;
    Ptr<HostUIController> initWithActivation(Activation activation);
    void activateApplicationAnimated(const Ptr<SBApplication>& application) override;

private:
    Activation _activation;
};

// Registers `controller` with the runtime as "SBUIController" (class operation
// `sharedInstance`), replacing an earlier registration. The registration holds it
// weakly, as registerDemoPlayer its player.
void registerUIController(const Ptr<HostUIController>& controller);

// A system volume kept for the run: it starts at `initial` and remembers what
// the volume slider sets.
class HostSystemVolume : public MPSystemVolume {
public:
    Ptr<HostSystemVolume> initWithVolume(float initial);
    float volume() override { return _volume; }
    void setVolume(float volume) override;

private:
    float _volume = 0;
};

} // namespace host
