#include "host/HostServices.h"

#include <algorithm>
#include <cmath>

#include "Foundation/NSRuntime.h"

namespace host {

void registerDemoPlayer(const Ptr<DemoPlayer>& player) {
    ObjCClass description = objc_describeClass<DemoPlayer>("SBMediaController");
    // The host makes the one player; the widget must not create a second.
    description.createInstance = nullptr;
    description.allocate = nullptr;
    // Class handles outlive the registration: a strong capture would keep the
    // player beyond its session.
    description.sharedInstance = [weak = WeakPtr<DemoPlayer>(player)] { return Ptr<NSObject>(weak.lock()); };
    description.ivars["_nowPlayingInfo"] = [](NSObject& instance) -> Ptr<NSObject> {
        const auto* demo = dynamic_cast<DemoPlayer*>(&instance);
        return demo ? demo->nowPlayingInfo() : nullptr;
    };
    objc_registerClass(std::move(description));
}

Ptr<HostUIController> HostUIController::initWithActivation(Activation activation) {
    NSObject::init();
    _activation = std::move(activation);
    return self<HostUIController>();
}

void HostUIController::activateApplicationAnimated(const Ptr<SBApplication>& application) {
    if (_activation) {
        _activation(application);
    }
}

void registerUIController(const Ptr<HostUIController>& controller) {
    ObjCClass description = objc_describeClass<HostUIController>("SBUIController");
    description.createInstance = nullptr;
    description.allocate = nullptr;
    description.sharedInstance = [weak = WeakPtr<HostUIController>(controller)] {
        return Ptr<NSObject>(weak.lock());
    };
    objc_registerClass(std::move(description));
}

Ptr<HostSystemVolume> HostSystemVolume::initWithVolume(float initial) {
    NSObject::init();
    _volume = std::isfinite(initial) ? std::clamp(initial, 0.0f, 1.0f) : 0.5f;
    return self<HostSystemVolume>();
}

void HostSystemVolume::setVolume(float volume) {
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

} // namespace host
