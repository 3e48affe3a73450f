#include "host/MediaBackEnd.h"

#include "host/DemoMediaBackEnd.h"
#include "host/HostModules.h"

namespace host {

std::unique_ptr<MediaBackEnd> makeMediaBackEnd(const MediaBackEndOptions& options) {
    switch (options.kind) {
    case PlayerKind::mpris: {
        // The MPRIS players, and the bus library, are loaded only for the runs that use them.
        using Factory = MediaBackEnd*(const PlayerPreference&);
        return std::unique_ptr<MediaBackEnd>(
            hostModuleFunction<Factory>(HostModule::mpris, "trillbox_mpris_back_end")(options.players));
    }
    case PlayerKind::demo:
        break;
    }
    return std::make_unique<DemoMediaBackEnd>(options.playlistPath);
}

bool mediaBackEndNeedsSystemClock(PlayerKind kind) {
    return kind == PlayerKind::mpris;
}

} // namespace host
