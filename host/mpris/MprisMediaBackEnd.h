#pragma once

#include "host/HostServices.h"
#include "host/MediaBackEnd.h"
#include "mpris/MprisMediaController.h"

namespace host {

// The MPRIS players of the session bus: their media controller, the followed
// player's volume as the system volume, and a UI controller that raises them.
// The playing position is re-read only while the widget is presented.
class MprisMediaBackEnd : public MediaBackEnd {
public:
    // Registers the services; throws HostFailure when the session bus cannot be reached.
    explicit MprisMediaBackEnd(const PlayerPreference& players);
    ~MprisMediaBackEnd() override;
    MprisMediaBackEnd(const MprisMediaBackEnd&) = delete;
    MprisMediaBackEnd& operator=(const MprisMediaBackEnd&) = delete;

    void setPresented(bool presented) override;
    std::vector<PlayerListing> players() const override;
    bool movePlayer(PlayerMove move) override;
    bool followPlayer(const std::string& name) override;
    void setPlayersChangedHandler(std::function<void()> handler) override;

private:
    Ptr<MprisMediaController> _controller;
    // Registered as the host's UI controller, which holds it weakly.
    Ptr<HostUIController> _uiController;
};

} // namespace host
