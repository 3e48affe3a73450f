#include "host/MediaBackEnd.h"

#include "host/DemoMediaBackEnd.h"
#include "host/MprisMediaBackEnd.h"

namespace host {

std::unique_ptr<MediaBackEnd> makeMediaBackEnd(const MediaBackEndOptions& options) {
    switch (options.kind) {
    case PlayerKind::mpris:
        return std::make_unique<MprisMediaBackEnd>(options.mprisPlayerName);
    case PlayerKind::demo:
        break;
    }
    return std::make_unique<DemoMediaBackEnd>(options.playlistPath);
}

bool mediaBackEndNeedsSystemClock(PlayerKind kind) {
    return kind == PlayerKind::mpris;
}

} // namespace host
