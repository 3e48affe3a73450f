#include "mpris/MprisSystemVolume.h"

#include "Foundation/NSWhileAlive.h"

Ptr<MprisSystemVolume> MprisSystemVolume::initWithSession(const Ptr<MprisSession>& session) {
    NSObject::init();
    _session = session;
    _session->setVolumeChangedHandler(
        NSWhileAlive(weakSelf<MprisSystemVolume>(), &MprisSystemVolume::volumeDidChange));
    return self<MprisSystemVolume>();
}

MprisSystemVolume::~MprisSystemVolume() {
    if (_session) {
        _session->setVolumeChangedHandler(nullptr);
    }
}

float MprisSystemVolume::volume() {
    return static_cast<float>(_session->volume());
}

void MprisSystemVolume::setVolume(float volume) {
    if (_session->setVolume(static_cast<double>(volume))) {
        volumeDidChange();
    }
}
