#include "mpris/MprisApplication.h"

Ptr<MprisApplication> MprisApplication::initWithPlayer(const Ptr<MprisSession>& session,
                                                       const MprisPlayerSnapshot& player) {
    NSObject::init();
    _session = session;
    _owner = player.owner;
    _busName = player.busName;
    return self<MprisApplication>();
}

BOOL MprisApplication::isSystemApplication() const {
    const auto session = _session.lock();
    const auto* player = session ? session->player(_owner) : nullptr;
    return player && player->canSeek;
}

std::string MprisApplication::description() const {
    const auto session = _session.lock();
    const auto* player = session ? session->player(_owner) : nullptr;
    return player ? player->identity : _busName;
}
