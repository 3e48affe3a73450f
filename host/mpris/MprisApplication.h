#pragma once

#include <string>

#include "SpringBoard/SBApplication.h"
#include "mpris/MprisSession.h"

// A player on the bus as the widget sees an application: its description is the
// player's Identity and it counts as a system application when the player can
// seek (the widget lets the time slider take touches only then). It reads the
// player's current properties on every call; once the player is gone it
// describes itself by its bus name and answers NO.
class MprisApplication : public SBApplication {
public:
    Ptr<MprisApplication> initWithPlayer(const Ptr<MprisSession>& session, const MprisPlayerSnapshot& player);

    BOOL isSystemApplication() const override;
    std::string description() const override;

    // The unique bus name of the player's connection.
    const std::string& owner() const { return _owner; }

private:
    WeakPtr<MprisSession> _session;
    std::string _owner;
    std::string _busName;
};
