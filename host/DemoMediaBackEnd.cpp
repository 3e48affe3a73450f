#include "host/DemoMediaBackEnd.h"

#include <utility>
#include <vector>

#include "Foundation/NSLog.h"
#include "Foundation/NSRuntime.h"
#include "host/BundleLoader.h"
#include "host/DemoPlayer.h"
#include "host/DemoPlaylist.h"
#include "host/HostServices.h"
#include "host/HostSystemVolume.h"

namespace host {
namespace {

constexpr float kDemoInitialSystemVolume = 0.5f;

} // namespace

DemoMediaBackEnd::DemoMediaBackEnd(const std::string& playlistPath) {
    std::vector<DemoTrack> tracks =
        playlistPath.empty() ? builtInPlaylist(findDataDirectory("demo")) : loadPlaylist(playlistPath);
    _player = alloc<DemoPlayer>()->initWithTracks(std::move(tracks));
    registerDemoPlayer(_player);
    _uiController = alloc<HostUIController>()->initWithActivation(
        [](const Ptr<SBApplication>& app) { NSLog("%@: brought to the front", app); });
    registerUIController(_uiController);
    MPSystemVolume::setSharedService(alloc<HostSystemVolume>()->initWithVolume(kDemoInitialSystemVolume));
}

DemoMediaBackEnd::~DemoMediaBackEnd() {
    MPSystemVolume::setSharedService(nullptr);
    // The registrations hold the services; they go with the back-end, not at exit.
    objc_unregisterClass("SBMediaController");
    objc_unregisterClass("SBUIController");
}

} // namespace host
