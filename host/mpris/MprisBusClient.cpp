#include "mpris/MprisBusClient.h"

namespace {

constexpr const char* kBusClientPropertiesInterface = "org.freedesktop.DBus.Properties";

} // namespace

MprisBusClient::MprisBusClient(std::optional<std::string> address, MprisBusEvents events,
                               std::shared_ptr<const Clock> clock)
    : _events(std::make_shared<MprisBusEvents>(std::move(events))),
      _queue(std::make_shared<MprisBusEventQueue>(_events)) {
    _thread = std::make_unique<MprisBusThread>(
        std::make_unique<MprisBusConnection>(std::move(address), _queue, _methodCallCount),
        clock ? std::move(clock) : std::make_shared<MonotonicClock>());
}

MprisBusClient::~MprisBusClient() {
    _thread.reset();
}

void MprisBusClient::playPause(const std::string& owner) {
    _thread->enqueue([owner](MprisBusConnection& bus) {
        bus.callPlayer(owner, kMprisPlayerInterface, "PlayPause", nullptr, nullptr);
    });
}

void MprisBusClient::next(const std::string& owner) {
    _thread->enqueue([owner](MprisBusConnection& bus) {
        bus.callPlayer(owner, kMprisPlayerInterface, "Next", nullptr, nullptr);
    });
}

void MprisBusClient::previous(const std::string& owner) {
    _thread->enqueue([owner](MprisBusConnection& bus) {
        bus.callPlayer(owner, kMprisPlayerInterface, "Previous", nullptr, nullptr);
    });
}

void MprisBusClient::setPosition(const std::string& owner, const std::string& trackId,
                                 std::int64_t positionMicroseconds, Completion completion) {
    _thread->enqueue([owner, trackId, positionMicroseconds,
                      completion = makeMainThreadCompletion(std::move(completion))](MprisBusConnection& bus) {
        bus.callPlayer(
            owner, kMprisPlayerInterface, "SetPosition",
            [trackId, positionMicroseconds](sdbus::MethodCall& message) {
                message << sdbus::ObjectPath(trackId) << positionMicroseconds;
            },
            completion);
    });
}

void MprisBusClient::seek(const std::string& owner, std::int64_t offsetMicroseconds, Completion completion) {
    _thread->enqueue([owner, offsetMicroseconds,
                      completion = makeMainThreadCompletion(std::move(completion))](MprisBusConnection& bus) {
        bus.callPlayer(
            owner, kMprisPlayerInterface, "Seek",
            [offsetMicroseconds](sdbus::MethodCall& message) { message << offsetMicroseconds; }, completion);
    });
}

void MprisBusClient::raise(const std::string& owner) {
    _thread->enqueue([owner](MprisBusConnection& bus) {
        bus.callPlayer(owner, kMprisRootInterface, "Raise", nullptr, nullptr);
    });
}

void MprisBusClient::setVolume(const std::string& owner, double volume) {
    _thread->enqueue([owner, volume](MprisBusConnection& bus) {
        bus.callPlayer(
            owner, kBusClientPropertiesInterface, "Set",
            [volume](sdbus::MethodCall& message) {
                message << std::string(kMprisPlayerInterface) << std::string("Volume")
                        << sdbus::Variant(volume);
            },
            nullptr);
    });
}

void MprisBusClient::readPosition(const std::string& owner) {
    _thread->enqueue([owner](MprisBusConnection& bus) { bus.readPosition(owner); });
}
