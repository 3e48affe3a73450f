#include "support/FakeMprisPlayer.h"

FakeMprisPlayer::Setup FakeMprisPlayer::playing(const std::string& suffix, const std::string& title) {
    return {.busName = "org.mpris.MediaPlayer2." + suffix,
            .root = {{"Identity", "Fake " + suffix}},
            .player = {{"PlaybackStatus", std::string("Playing")},
                       {"Metadata", metadata(title, "/track/1")},
                       {"Position", std::int64_t{0}},
                       {"CanSeek", true}}};
}

FakeMetadata FakeMprisPlayer::metadata(const std::string& title, const std::string& trackId) {
    return {{"mpris:trackid", sdbus::Variant(sdbus::ObjectPath(trackId))},
            {"mpris:length", sdbus::Variant(std::int64_t{180'000'000})},
            {"xesam:title", sdbus::Variant(title)},
            {"xesam:artist", sdbus::Variant(std::vector<std::string>{"Artist"})}};
}

FakeMprisPlayer::FakeMprisPlayer(const std::string& address, const Setup& setup)
    : _connection(sdbus::createSessionBusConnectionWithAddress(address)),
      _object(sdbus::createObject(*_connection, "/org/mpris/MediaPlayer2")) {
    for (const auto& [interface, properties] :
         {std::pair{kRootInterface, setup.root}, {kPlayerInterface, setup.player}}) {
        for (const auto& [name, value] : properties) {
            store(interface, name, value);
            const auto signature =
                std::visit([](const auto& content) { return sdbus::Variant(content); }, value)
                    .peekValueType();
            // Values are only touched under the lock: their messages are not thread-safe.
            _object->registerProperty(interface, name, signature,
                                      [this, interface, name](sdbus::PropertyGetReply& reply) {
                                          std::lock_guard lock(_mutex);
                                          std::visit([&](const auto& content) { reply << content; },
                                                     _values.at(interface).at(name));
                                      });
        }
    }
    for (const std::string name : {"Raise", "PlayPause", "Next", "Previous", "Seek", "SetPosition"}) {
        const auto signature = name == "Seek" ? "x" : name == "SetPosition" ? "ox" : "";
        _object->registerMethod(name == "Raise" ? kRootInterface : kPlayerInterface, name, signature, "",
                                [this, name](sdbus::MethodCall call) { handle(std::move(call), name); });
    }
    _object->registerSignal(kPlayerInterface, "Seeked", "x");
    _object->finishRegistration();
    _connection->requestName(setup.busName);
    // A bus that goes away ends the serving, and the player with it.
    _loop = std::thread([this] {
        try {
            _connection->enterEventLoop();
        } catch (const sdbus::Error&) {
        }
    });
}

FakeMprisPlayer::~FakeMprisPlayer() {
    _connection->leaveEventLoop();
    _loop.join();
    // Released outside our lock: releasing a message takes the library's own lock,
    // which the property getters hold while they take ours.
    std::vector<sdbus::MethodCall> held;
    std::lock_guard lock(_mutex);
    held.swap(_held);
}

void FakeMprisPlayer::handle(sdbus::MethodCall call, const std::string& name) {
    std::string description = name;
    if (name == "Seek") {
        std::int64_t offset = 0;
        call >> offset;
        description.append(" ").append(std::to_string(offset));
    }
    {
        std::lock_guard lock(_mutex);
        _calls.push_back(description);
        if (_hangs) {
            _held.push_back(std::move(call));
            return;
        }
    }
    call.createReply().send();
}

void FakeMprisPlayer::store(const std::string& interface, const std::string& name, const FakeValue& value) {
    // Copies of a variant share one message, which two threads may not read: copy deeply.
    const auto* dictionary = std::get_if<FakeMetadata>(&value);
    FakeValue copy = dictionary ? FakeValue(sdbus::Variant(*dictionary).get<FakeMetadata>()) : value;
    std::lock_guard lock(_mutex);
    _values[interface][name] = std::move(copy);
}

void FakeMprisPlayer::emitPropertiesChanged(const std::string& interface, const FakeMetadata& changed,
                                            const std::vector<std::string>& invalidated) {
    auto signal = _object->createSignal("org.freedesktop.DBus.Properties", "PropertiesChanged");
    signal << interface << changed << invalidated;
    _object->emitSignal(signal);
}

void FakeMprisPlayer::setHangs(bool hangs) {
    std::lock_guard lock(_mutex);
    _hangs = hangs;
}

std::vector<std::string> FakeMprisPlayer::calls() const {
    std::lock_guard lock(_mutex);
    return _calls;
}
