#pragma once

#include <string>

#include "host/DemoPlayer.h"
#include "host/HostUIController.h"
#include "host/MediaBackEnd.h"

namespace host {

// The built-in player: a playlist played on the run loop's clock, a system
// volume kept for the run, and applications "brought to the front" in the log.
class DemoMediaBackEnd : public MediaBackEnd {
public:
    // Reads `playlistPath` (empty: the built-in playlist) and registers the
    // services; throws HostFailure when the playlist cannot be read.
    explicit DemoMediaBackEnd(const std::string& playlistPath);
    ~DemoMediaBackEnd() override;
    DemoMediaBackEnd(const DemoMediaBackEnd&) = delete;
    DemoMediaBackEnd& operator=(const DemoMediaBackEnd&) = delete;

    void setPresented(bool) override {}
    Ptr<DemoPlayer> demoPlayer() const override { return _player; }

private:
    Ptr<DemoPlayer> _player;
    // Registered as the host's UI controller, which holds it weakly.
    Ptr<HostUIController> _uiController;
};

} // namespace host
