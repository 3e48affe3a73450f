#include "mpris/MprisHostServices.h"

#include "Foundation/NSRuntime.h"

namespace {

constexpr const char* kMediaControllerClassName = "SBMediaController";

Ptr<MprisMediaController>& sharedController() {
    static Ptr<MprisMediaController> controller;
    return controller;
}

} // namespace

Ptr<MprisMediaController> registerMprisHostServices(const host::PlayerPreference& players) {
    MprisHostOptions options;
    options.players = players;
    return registerMprisHostServices(options);
}

Ptr<MprisMediaController> registerMprisHostServices(const MprisHostOptions& options) {
    unregisterMprisHostServices();
    MprisSession::Options sessionOptions;
    sessionOptions.players = options.players;
    auto session = MprisSession::sessionOnBus(options.busAddress, sessionOptions);
    session->setNoticeHandler(options.notice);
    auto controller = alloc<MprisMediaController>()->initWithSession(session);
    sharedController() = controller;
    MPSystemVolume::setSharedService(alloc<MprisSystemVolume>()->initWithSession(session));

    auto description = objc_describeClass<MprisMediaController>(kMediaControllerClassName);
    // There is one media controller: the class cannot make others.
    description.allocate = nullptr;
    description.createInstance = nullptr;
    description.sharedInstance = [] { return Ptr<NSObject>(sharedController()); };
    description.ivars.emplace("_nowPlayingInfo", [](NSObject& instance) -> Ptr<NSObject> {
        const auto* controller = dynamic_cast<MprisMediaController*>(&instance);
        return controller ? controller->nowPlayingInfo() : nullptr;
    });
    objc_registerClass(std::move(description));
    return controller;
}

Ptr<MprisMediaController> registeredMprisMediaController() {
    return sharedController();
}

void unregisterMprisHostServices() {
    if (const auto cls = NSClassFromString(kMediaControllerClassName);
        cls && cls->type == typeid(MprisMediaController)) {
        objc_unregisterClass(kMediaControllerClassName);
    }
    if (as<MprisSystemVolume>(MPSystemVolume::sharedService())) {
        MPSystemVolume::setSharedService(nullptr);
    }
    sharedController() = nullptr;
}
