#pragma once

#include "MediaPlayer/MPSystemVolume.h"
#include "mpris/MprisSession.h"

// The system volume as the followed player's Volume: reading it answers the
// player's volume (0 when nothing is followed), setting it sets the player's.
// MPSystemVolumeDidChangeNotification is posted when it is set, and (on the main
// run loop) when the player reports another volume or another player is followed.
class MprisSystemVolume : public MPSystemVolume {
public:
    Ptr<MprisSystemVolume> initWithSession(const Ptr<MprisSession>& session);
    ~MprisSystemVolume() override;

    float volume() override;
    void setVolume(float volume) override;

private:
    Ptr<MprisSession> _session;
};
