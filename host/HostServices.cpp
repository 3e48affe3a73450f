#include "host/HostServices.h"

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

void registerUIController(const Ptr<HostUIController>& controller) {
    ObjCClass description = objc_describeClass<HostUIController>("SBUIController");
    description.createInstance = nullptr;
    description.allocate = nullptr;
    description.sharedInstance = [weak = WeakPtr<HostUIController>(controller)] {
        return Ptr<NSObject>(weak.lock());
    };
    objc_registerClass(std::move(description));
}

} // namespace host
