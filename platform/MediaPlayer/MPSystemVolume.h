#pragma once

#include "Foundation/NSObject.h"

// Posted (object: the service) whenever the system volume changes, whoever changed
// it, and when the host installs another service.
inline constexpr const char* MPSystemVolumeDidChangeNotification = "MPSystemVolumeDidChangeNotification";

// The system's output volume, provided by the host (a desktop mixer, a test
// service). Volume views read and set the volume through the shared service.
class MPSystemVolume : public NSObject {
public:
    // The output volume, 0 (silent) to 1 (full).
    virtual float volume() = 0;
    // Sets the output volume; `volume` is already within 0 to 1. A service whose
    // volume changes (by this call or from elsewhere) calls volumeDidChange.
    virtual void setVolume(float volume) = 0;

    // The service installed by the host; nil when there is none.
    static Ptr<MPSystemVolume> sharedService();
    // Installs `service` (nil uninstalls) and tells volume views to show its volume.
    static void setSharedService(const Ptr<MPSystemVolume>& service);

protected:
    // Posts MPSystemVolumeDidChangeNotification for this service.
    void volumeDidChange();
};
