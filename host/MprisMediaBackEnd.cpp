#include "host/MprisMediaBackEnd.h"

#include <utility>

#include "Foundation/NSRuntime.h"
#include "host/HostFailure.h"
#include "mpris/MprisHostServices.h"

namespace host {

MprisMediaBackEnd::MprisMediaBackEnd(std::optional<std::string> playerName) {
    _controller = registerMprisHostServices(std::move(playerName));
    if (!_controller) {
        throw HostFailure("cannot reach the MPRIS players on the session bus");
    }
    const WeakPtr<MprisMediaController> weak = _controller;
    _uiController = alloc<HostUIController>()->initWithActivation([weak](const Ptr<SBApplication>& app) {
        if (const auto controller = weak.lock()) {
            controller->activateApplication(app);
        }
    });
    registerUIController(_uiController);
    // The MPRIS services install the followed player's volume as the system volume.
}

MprisMediaBackEnd::~MprisMediaBackEnd() {
    MPSystemVolume::setSharedService(nullptr);
    unregisterMprisHostServices();
    objc_unregisterClass("SBUIController");
}

void MprisMediaBackEnd::setPresented(bool presented) {
    _controller->setPresented(presented ? YES : NO);
}

} // namespace host
