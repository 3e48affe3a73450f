#pragma once

#include <algorithm>
#include <cmath>

#include "MediaPlayer/MPSystemVolume.h"

namespace host {

// A system volume kept for the run: it starts at `initial` and remembers what
// the volume slider sets.
class HostSystemVolume : public MPSystemVolume {
public:
    // A volume that is not a number starts at the middle; others are clamped to 0...1.
    Ptr<HostSystemVolume> initWithVolume(float initial) {
        NSObject::init();
        _volume = std::isfinite(initial) ? std::clamp(initial, 0.0f, 1.0f) : 0.5f;
        return self<HostSystemVolume>();
    }

    float volume() override { return _volume; }

    // Clamped to 0...1; a volume that is not a number is ignored.
    void setVolume(float volume) override {
        if (!std::isfinite(volume)) {
            return;
        }
        volume = std::clamp(volume, 0.0f, 1.0f);
        if (volume == _volume) {
            return;
        }
        _volume = volume;
        volumeDidChange();
    }

private:
    float _volume = 0;
};

} // namespace host
