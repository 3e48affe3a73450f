#include "window/VolumeWheel.h"

#include <algorithm>

#include "MediaPlayer/MPSystemVolume.h"
#include "MediaPlayer/MPVolumeView.h"

namespace host {
namespace {

// The volume view on show under `view` that `point` (in `view`'s points) is over.
const MPVolumeView* volumeViewAt(const UIView& view, CGPoint point) {
    if (view.isHidden()) {
        return nullptr;
    }
    if (const auto* volumeView = dynamic_cast<const MPVolumeView*>(&view)) {
        return CGRectContainsPoint(volumeView->bounds(), point) ? volumeView : nullptr;
    }
    for (const auto& subview : view.subviews()) {
        if (const auto* found = volumeViewAt(*subview, view.convertPointToView(point, subview.get()))) {
            return found;
        }
    }
    return nullptr;
}

} // namespace

bool turnVolumeWheel(const UIView& root, CGPoint point, int notches) {
    const auto service = MPSystemVolume::sharedService();
    if (!service || notches == 0 || !volumeViewAt(root, point)) {
        return false;
    }
    service->setVolume(
        std::clamp(service->volume() + static_cast<float>(notches) * kVolumeWheelStep, 0.0f, 1.0f));
    return true;
}

} // namespace host
