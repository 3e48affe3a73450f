#include "support/FakeMprisPlayer.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

sdbus::Variant toVariant(const FakeValue& value) {
    return std::visit([](const auto& content) { return sdbus::Variant(content); }, value);
}

std::string signatureOf(const FakeValue& value) {
    return std::visit(
        [](const auto& content) { return sdbus::signature_of<std::decay_t<decltype(content)>>::str(); },
        value);
}

// A copy that shares no message with `value`: copies of a variant share one
// message, whose reading position is not safe to move from two threads.
FakeValue deepCopy(const FakeValue& value) {
    if (const auto* dictionary = std::get_if<FakeMetadata>(&value)) {
        return sdbus::Variant(*dictionary).get<FakeMetadata>();
    }
    return value;
}

// The track id of a metadata dictionary, whatever its type.
std::string trackIdOf(const FakeValue& metadata) {
    const auto* dictionary = std::get_if<FakeMetadata>(&metadata);
    if (!dictionary) {
        return {};
    }
    const auto found = dictionary->find("mpris:trackid");
    if (found == dictionary->end()) {
        return {};
    }
    if (found->second.containsValueOfType<sdbus::ObjectPath>()) {
        return found->second.get<sdbus::ObjectPath>();
    }
    if (found->second.containsValueOfType<std::string>()) {
        return found->second.get<std::string>();
    }
    return {};
}

} // namespace

FakeMprisPlayer::Spec FakeMprisPlayer::playing(const std::string& suffix, const std::string& title,
                                               const std::string& artist) {
    Spec spec;
    spec.busName = "org.mpris.MediaPlayer2." + suffix;
    spec.root = {{"Identity", std::string("Fake " + suffix)}, {"CanRaise", true}};
    spec.player = {
        {"PlaybackStatus", std::string("Playing")},
        {"Metadata", metadata(title, artist, "/track/1", 180'000'000)},
        {"Position", std::int64_t{0}},
        {"Rate", 1.0},
        {"Volume", 1.0},
        {"CanSeek", true},
        {"CanGoNext", true},
        {"CanGoPrevious", true},
        {"CanControl", true},
    };
    return spec;
}

FakeMetadata FakeMprisPlayer::metadata(const std::string& title, const std::string& artist,
                                       const std::string& trackId, std::int64_t lengthMicroseconds,
                                       const std::string& artUrl) {
    FakeMetadata metadata{
        {"mpris:trackid", sdbus::Variant(sdbus::ObjectPath(trackId))},
        {"mpris:length", sdbus::Variant(lengthMicroseconds)},
        {"xesam:title", sdbus::Variant(title)},
        {"xesam:artist", sdbus::Variant(std::vector<std::string>{artist})},
    };
    if (!artUrl.empty()) {
        metadata.emplace("mpris:artUrl", sdbus::Variant(artUrl));
    }
    return metadata;
}

FakeMprisPlayer::FakeMprisPlayer(const std::string& address, Spec spec) : _spec(std::move(spec)) {
    for (const auto& [name, value] : _spec.root) {
        _values[kRootInterface][name] = deepCopy(value);
    }
    for (const auto& [name, value] : _spec.player) {
        _values[kPlayerInterface][name] = deepCopy(value);
    }
    _connection = sdbus::createSessionBusConnectionWithAddress(address);
    _object = sdbus::createObject(*_connection, "/org/mpris/MediaPlayer2");
    publish(kRootInterface, _spec.root);
    addMethod(kRootInterface, "Raise", "");
    if (_spec.hasPlayerInterface) {
        publish(kPlayerInterface, _spec.player);
        for (const char* method : {"PlayPause", "Play", "Pause", "Stop", "Next", "Previous"}) {
            addMethod(kPlayerInterface, method, "");
        }
        addMethod(kPlayerInterface, "Seek", "x");
        addMethod(kPlayerInterface, "SetPosition", "ox");
        _object->registerSignal(kPlayerInterface, "Seeked", "x");
    }
    _object->finishRegistration();
    _connection->requestName(_spec.busName);
    _wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    _loop = std::thread([this] { serve(); });
}

FakeMprisPlayer::~FakeMprisPlayer() {
    _stopping = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(_wakeFd, &one, sizeof one);
    _loop.join();
    ::close(_wakeFd);
    // Released outside our lock: releasing a message takes the library's own lock,
    // which the property getters hold while they take ours.
    std::vector<sdbus::MethodCall> held;
    {
        std::lock_guard lock(_mutex);
        held.swap(_held);
    }
    held.clear();
    _object.reset();
    _connection.reset();
}

void FakeMprisPlayer::serve() {
    try {
        while (!_stopping) {
            while (_connection->processPendingRequest()) {
            }
            const auto data = _connection->getEventLoopPollData();
            pollfd fds[2] = {{data.fd, data.events, 0}, {_wakeFd, POLLIN, 0}};
            ::poll(fds, 2, data.getPollTimeout());
        }
    } catch (const sdbus::Error&) {
        // The bus went away: the player is gone with it.
    }
}

void FakeMprisPlayer::publish(const std::string& interface, const FakeProperties& properties) {
    for (const auto& [name, initial] : properties) {
        // Values are only touched under the lock: their messages are not thread-safe.
        auto getter = [this, interface, name = name](sdbus::PropertyGetReply& reply) {
            std::lock_guard lock(_mutex);
            std::visit([&](const auto& content) { reply << content; }, _values.at(interface).at(name));
        };
        if (name == "Volume" && std::holds_alternative<double>(initial)) {
            _object->registerProperty(interface, name, signatureOf(initial), getter,
                                      [this, interface](sdbus::PropertySetCall& call) {
                                          double volume = 0;
                                          call >> volume;
                                          {
                                              std::lock_guard lock(_mutex);
                                              _calls.push_back("Volume " + std::to_string(volume));
                                          }
                                          store(interface, "Volume", volume);
                                      });
        } else {
            _object->registerProperty(interface, name, signatureOf(initial), getter);
        }
    }
}

void FakeMprisPlayer::addMethod(const std::string& interface, const std::string& name,
                                const std::string& signature) {
    _object->registerMethod(interface, name, signature, "",
                            [this, name](sdbus::MethodCall call) { handle(std::move(call), name); });
}

void FakeMprisPlayer::handle(sdbus::MethodCall call, const std::string& name) {
    std::string description = name;
    std::optional<std::int64_t> newPosition;
    if (name == "Seek") {
        std::int64_t offset = 0;
        call >> offset;
        description += " " + std::to_string(offset);
        if (const auto current = integerValue(kPlayerInterface, "Position")) {
            newPosition = std::max<std::int64_t>(0, *current + offset);
        }
    } else if (name == "SetPosition") {
        sdbus::ObjectPath track;
        std::int64_t position = 0;
        call >> track >> position;
        description += " " + track + " " + std::to_string(position);
        std::lock_guard lock(_mutex);
        if (track == trackIdOf(_values[kPlayerInterface]["Metadata"])) {
            newPosition = position;
        }
    }
    {
        std::lock_guard lock(_mutex);
        _calls.push_back(description);
        if (_hangs) {
            _held.push_back(std::move(call));
            return;
        }
    }
    if (name == "PlayPause") {
        if (const auto status = stringValue(kPlayerInterface, "PlaybackStatus")) {
            set(kPlayerInterface, "PlaybackStatus", std::string(*status == "Playing" ? "Paused" : "Playing"));
        }
    }
    if (newPosition) {
        store(kPlayerInterface, "Position", *newPosition);
        emitSeeked(*newPosition);
    }
    call.createReply().send();
}

std::optional<std::int64_t> FakeMprisPlayer::integerValue(const std::string& interface,
                                                          const std::string& name) const {
    std::lock_guard lock(_mutex);
    const auto& properties = _values.at(interface);
    const auto found = properties.find(name);
    const auto* integer = found == properties.end() ? nullptr : std::get_if<std::int64_t>(&found->second);
    return integer ? std::optional<std::int64_t>(*integer) : std::nullopt;
}

std::optional<std::string> FakeMprisPlayer::stringValue(const std::string& interface,
                                                        const std::string& name) const {
    std::lock_guard lock(_mutex);
    const auto& properties = _values.at(interface);
    const auto found = properties.find(name);
    const auto* text = found == properties.end() ? nullptr : std::get_if<std::string>(&found->second);
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

void FakeMprisPlayer::store(const std::string& interface, const std::string& name, FakeValue value) {
    auto copy = deepCopy(value);
    std::lock_guard lock(_mutex);
    _values[interface][name] = std::move(copy);
}

void FakeMprisPlayer::set(const std::string& interface, const std::string& name, FakeValue newValue) {
    const auto announced = toVariant(newValue);
    store(interface, name, std::move(newValue));
    emitPropertiesChanged(interface, {{name, announced}});
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

std::size_t FakeMprisPlayer::heldCallCount() const {
    std::lock_guard lock(_mutex);
    return _held.size();
}
