#include "MediaPlayer/MPSystemVolume.h"

#include "Foundation/NSNotificationCenter.h"

namespace {

Ptr<MPSystemVolume>& installedService() {
    static Ptr<MPSystemVolume> service;
    return service;
}

} // namespace

Ptr<MPSystemVolume> MPSystemVolume::sharedService() {
    return installedService();
}

void MPSystemVolume::setSharedService(const Ptr<MPSystemVolume>& service) {
    if (installedService() == service) {
        return;
    }
    installedService() = service;
    NSNotificationCenter::defaultCenter()->postNotificationName(MPSystemVolumeDidChangeNotification, service);
}

void MPSystemVolume::volumeDidChange() {
    NSNotificationCenter::defaultCenter()->postNotificationName(MPSystemVolumeDidChangeNotification,
                                                                self<MPSystemVolume>());
}
