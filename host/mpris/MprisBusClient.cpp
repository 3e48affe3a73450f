#include "MprisBusClient.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <map>
#include <poll.h>
#include <sdbus-c++/sdbus-c++.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "Foundation/NSLog.h"
#include "Foundation/NSRunLoop.h"
#include "MprisParsing.h"

namespace {

constexpr const char* kBusService = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";
constexpr const char* kPropertiesInterface = "org.freedesktop.DBus.Properties";
// playerctld republishes whichever player it considers active under a name of
// its own; following it as well would show every player twice.
constexpr std::string_view kPlayerctldSuffix = "playerctld";
// Messages handled before the thread looks at its requests again, so that a
// player flooding the bus cannot starve commands.
constexpr int kMaxMessagesPerBatch = 64;

bool isPlayerName(std::string_view name) {
    const std::string_view prefix = kMprisBusNamePrefix;
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) {
        return false;
    }
    const auto suffix = name.substr(prefix.size());
    return suffix != kPlayerctldSuffix && !suffix.starts_with(std::string(kPlayerctldSuffix) + ".");
}

// Errors that mean the peer is no longer on the bus.
bool isGoneError(const sdbus::Error& error) {
    const auto& name = error.getName();
    return name == "org.freedesktop.DBus.Error.ServiceUnknown" ||
           name == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
           name == "org.freedesktop.DBus.Error.Disconnected";
}

// The session bus address sd-bus would use when none is given.
std::optional<std::string> defaultSessionBusAddress() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address) {
        return std::string(address);
    }
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        return "unix:path=" + std::string(runtime) + "/bus";
    }
    return std::nullopt;
}

// D-Bus address values escape bytes as %XX.
std::string unescapeAddressValue(std::string_view value) {
    std::string plain;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size()) {
            plain.push_back(static_cast<char>(std::stoi(std::string(value.substr(i + 1, 2)), nullptr, 16)));
            i += 2;
        } else {
            plain.push_back(value[i]);
        }
    }
    return plain;
}

// Whether something listens at the first transport of `address`, when it is a
// Unix socket (path or abstract); other transports are left to the library. The
// library leaks its bus object on every failed attempt, so a missing bus is
// found out here.
bool mayBeListening(const std::string& address) {
    const std::string_view first = std::string_view(address).substr(0, address.find(';'));
    if (!first.starts_with("unix:")) {
        return true;
    }
    sockaddr_un socketAddress{};
    socketAddress.sun_family = AF_UNIX;
    std::string name;
    bool abstract = false;
    std::string_view rest = first.substr(5);
    while (!rest.empty()) {
        const auto pair = rest.substr(0, rest.find(','));
        rest.remove_prefix(std::min(rest.size(), pair.size() + 1));
        const auto equals = pair.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const auto key = pair.substr(0, equals);
        if (key == "path" || key == "abstract") {
            try {
                name = unescapeAddressValue(pair.substr(equals + 1));
            } catch (const std::exception&) {
                return true;
            }
            abstract = key == "abstract";
        }
    }
    if (name.empty() || name.size() + (abstract ? 1 : 0) >= sizeof socketAddress.sun_path) {
        return true;
    }
    std::copy(name.begin(), name.end(), socketAddress.sun_path + (abstract ? 1 : 0));
    const auto length =
        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size() + (abstract ? 1 : 0));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return true;
    }
    const bool listening = ::connect(fd, reinterpret_cast<const sockaddr*>(&socketAddress), length) == 0;
    ::close(fd);
    return listening;
}

// Runs a handler of bus traffic, dropping what a malformed message makes it throw.
template <class Handler> void guarded(Handler&& handler) {
    try {
        handler();
    } catch (const sdbus::Error&) {
    } catch (const std::exception&) {
    }
}

} // namespace

class MprisBusClient::Bus {
public:
    explicit Bus(MprisBusClient& client) : _client(client) {}
    Bus(const Bus&) = delete;
    Bus& operator=(const Bus&) = delete;
    ~Bus() { disconnect(false); }

    bool connected() const { return _connection != nullptr; }

    // Connects, subscribes and lists the players; false (and nothing kept) on failure.
    bool connect() {
        const auto address = _client._address ? _client._address : defaultSessionBusAddress();
        if (address && !mayBeListening(*address)) {
            reportFailure("nothing listens at " + *address);
            return false;
        }
        try {
            _connection = address ? sdbus::createSessionBusConnectionWithAddress(*address)
                                  : sdbus::createSessionBusConnection();
            // Applies to the calls the library makes itself (AddMatch).
            _connection->setMethodCallTimeout(kCallTimeoutMicroseconds);
            _busProxy = sdbus::createProxy(*_connection, kBusService, kBusPath);
            // Subscribing before listing: a player that comes or goes in between
            // shows up in the signals that follow the list.
            _matches.push_back(_connection->addMatch(
                std::string("type='signal',sender='") + kBusService + "',interface='" + kBusService +
                    "',member='NameOwnerChanged',arg0namespace='org.mpris.MediaPlayer2'",
                [this](sdbus::Message& message) { guarded([&] { nameOwnerChanged(message); }); }));
            _matches.push_back(_connection->addMatch(
                std::string("type='signal',interface='") + kPropertiesInterface +
                    "',member='PropertiesChanged',path='" + kMprisObjectPath + "'",
                [this](sdbus::Message& message) { guarded([&] { propertiesChanged(message); }); }));
            _matches.push_back(_connection->addMatch(
                std::string("type='signal',interface='") + kMprisPlayerInterface +
                    "',member='Seeked',path='" + kMprisObjectPath + "'",
                [this](sdbus::Message& message) { guarded([&] { seeked(message); }); }));
            call(*_busProxy, kBusService, "ListNames", nullptr,
                 [this](sdbus::MethodReply& reply, const sdbus::Error* error) {
                     if (!error) {
                         listed(reply);
                     }
                 });
        } catch (const sdbus::Error& error) {
            disconnect(false);
            reportFailure(error.getMessage());
            return false;
        }
        _reportedFailure = false;
        return true;
    }

    // Forgets the connection and every player; with `report`, tells the main
    // thread that each player is gone.
    void disconnect(bool report) {
        if (report && _connection) {
            postLog("MPRIS: lost the session bus");
            for (const auto& [owner, player] : _players) {
                if (player->announced) {
                    postRemoved(owner);
                }
            }
        }
        // Proxies and match slots go before the connection they belong to.
        _players.clear();
        _nameOwners.clear();
        _graveyard.clear();
        _matches.clear();
        _busProxy.reset();
        _connection.reset();
    }

    // Handles one batch of incoming messages; answers whether more may be waiting.
    // Throws sdbus::Error when the connection is broken.
    bool process() {
        for (int handled = 0; handled < kMaxMessagesPerBatch; ++handled) {
            if (!_connection->processPendingRequest()) {
                buryDead();
                return false;
            }
            buryDead();
        }
        return true;
    }

    sdbus::IConnection::PollData pollData() const { return _connection->getEventLoopPollData(); }

    // Proxies of removed players, destroyed here, outside of any of their callbacks.
    void buryDead() { _graveyard.clear(); }

    void callPlayer(const std::string& owner, const char* interface, const char* method,
                    std::function<void(sdbus::MethodCall&)> arguments, Completion completion) {
        auto* player = find(owner);
        if (!player) {
            postCompletion(std::move(completion), false);
            return;
        }
        try {
            call(*player->proxy, interface, method, std::move(arguments),
                 [this, completion](sdbus::MethodReply&, const sdbus::Error* error) {
                     postCompletion(completion, error == nullptr);
                 });
        } catch (const sdbus::Error&) {
            postCompletion(std::move(completion), false);
        }
    }

    void readPosition(const std::string& owner) {
        auto* player = find(owner);
        if (!player) {
            return;
        }
        call(
            *player->proxy, kPropertiesInterface, "Get",
            [](sdbus::MethodCall& message) {
                message << std::string(kMprisPlayerInterface) << std::string("Position");
            },
            [this, owner, serial = player->serial](sdbus::MethodReply& reply, const sdbus::Error* error) {
                auto* current = find(owner, serial);
                if (!current) {
                    return;
                }
                if (error) {
                    if (isGoneError(*error)) {
                        removePlayer(owner);
                    }
                    return;
                }
                sdbus::Variant value;
                reply >> value;
                if (const auto position = mpris::readPosition(value); position && current->announced) {
                    postPosition(owner, *position, false);
                }
            });
    }

private:
    struct Player {
        std::uint64_t serial = 0;
        std::vector<std::string> names;
        std::unique_ptr<sdbus::IProxy> proxy;
        MprisPlayerSnapshot snapshot;
        bool rootLoaded = false;
        bool playerLoaded = false;
        bool announced = false;
    };

    Player* find(const std::string& owner, std::optional<std::uint64_t> serial = std::nullopt) {
        const auto found = _players.find(owner);
        if (found == _players.end() || (serial && found->second->serial != *serial)) {
            return nullptr;
        }
        return found->second.get();
    }

    void call(sdbus::IProxy& proxy, const char* interface, const char* method,
              const std::function<void(sdbus::MethodCall&)>& arguments,
              std::function<void(sdbus::MethodReply&, const sdbus::Error*)> handler) {
        auto message = proxy.createMethodCall(interface, method);
        if (arguments) {
            arguments(message);
        }
        proxy.callMethod(
            message,
            [handler = std::move(handler)](sdbus::MethodReply& reply, const sdbus::Error* error) {
                guarded([&] { handler(reply, error); });
            },
            kCallTimeoutMicroseconds);
        _client._methodCallCount.fetch_add(1, std::memory_order_relaxed);
    }

    void post(std::function<void(MprisBusEvents&)> deliver) {
        NSRunLoop::mainRunLoop()->postFromAnyThread(
            [events = std::weak_ptr<MprisBusEvents>(_client._events), deliver = std::move(deliver)] {
                if (auto alive = events.lock()) {
                    deliver(*alive);
                }
            });
    }

    // Logs the first of a series of failed attempts.
    void reportFailure(const std::string& reason) {
        if (!_reportedFailure) {
            postLog("MPRIS: cannot use the session bus: " + reason);
            _reportedFailure = true;
        }
    }

    // The log is written from the main thread, where its sink expects to be called.
    void postLog(std::string message) {
        post([message = std::move(message)](MprisBusEvents&) { NSLog("%s", message.c_str()); });
    }

    void postCompletion(Completion completion, bool accepted) {
        if (!completion) {
            return;
        }
        post([completion = std::move(completion), accepted](MprisBusEvents&) { completion(accepted); });
    }

    void postChanged(const Player& player) {
        post([snapshot = player.snapshot](MprisBusEvents& events) {
            if (events.playerChanged) {
                events.playerChanged(snapshot);
            }
        });
    }

    void postRemoved(const std::string& owner) {
        post([owner](MprisBusEvents& events) {
            if (events.playerRemoved) {
                events.playerRemoved(owner);
            }
        });
    }

    void postPosition(const std::string& owner, std::int64_t position, bool fromSeeked) {
        post([owner, position, fromSeeked](MprisBusEvents& events) {
            auto& handler = fromSeeked ? events.playerSeeked : events.positionRead;
            if (handler) {
                handler(owner, position);
            }
        });
    }

    void listed(sdbus::MethodReply& reply) {
        std::vector<std::string> names;
        reply >> names;
        for (const auto& name : names) {
            if (!isPlayerName(name) || _nameOwners.contains(name)) {
                continue;
            }
            call(
                *_busProxy, kBusService, "GetNameOwner",
                [name](sdbus::MethodCall& message) { message << name; },
                [this, name](sdbus::MethodReply& ownerReply, const sdbus::Error* error) {
                    // A name that vanished since the list answers an error: nothing to add.
                    if (error) {
                        return;
                    }
                    std::string owner;
                    ownerReply >> owner;
                    addName(name, owner);
                });
        }
    }

    void nameOwnerChanged(sdbus::Message& message) {
        std::string name;
        std::string oldOwner;
        std::string newOwner;
        message >> name >> oldOwner >> newOwner;
        if (!isPlayerName(name)) {
            return;
        }
        if (!oldOwner.empty()) {
            removeName(name, oldOwner);
        }
        if (!newOwner.empty()) {
            addName(name, newOwner);
        }
    }

    void addName(const std::string& name, const std::string& owner) {
        if (owner.empty()) {
            return;
        }
        if (const auto known = _nameOwners.find(name); known != _nameOwners.end()) {
            if (known->second == owner) {
                return;
            }
            removeName(name, known->second);
        }
        _nameOwners[name] = owner;
        if (auto* player = find(owner)) {
            // One program owning several names is one player.
            player->names.push_back(name);
            return;
        }
        auto player = std::make_unique<Player>();
        player->serial = _nextSerial++;
        player->names.push_back(name);
        player->proxy = sdbus::createProxy(*_connection, owner, kMprisObjectPath);
        player->snapshot.owner = owner;
        player->snapshot.busName = name;
        player->snapshot.identity =
            mpris::sanitizeText(name.substr(std::string_view(kMprisBusNamePrefix).size()));
        auto& added = *_players.emplace(owner, std::move(player)).first->second;
        loadInterface(added, kMprisRootInterface);
        loadInterface(added, kMprisPlayerInterface);
    }

    void removeName(const std::string& name, const std::string& owner) {
        if (const auto known = _nameOwners.find(name); known != _nameOwners.end() && known->second == owner) {
            _nameOwners.erase(known);
        }
        auto* player = find(owner);
        if (!player) {
            return;
        }
        std::erase(player->names, name);
        if (player->names.empty()) {
            removePlayer(owner);
        } else if (player->snapshot.busName == name) {
            player->snapshot.busName = player->names.front();
            if (player->announced) {
                postChanged(*player);
            }
        }
    }

    void removePlayer(const std::string& owner) {
        const auto found = _players.find(owner);
        if (found == _players.end()) {
            return;
        }
        auto& player = *found->second;
        for (const auto& name : player.names) {
            if (const auto known = _nameOwners.find(name);
                known != _nameOwners.end() && known->second == owner) {
                _nameOwners.erase(known);
            }
        }
        if (player.announced) {
            postRemoved(owner);
        }
        // This may run inside one of the proxy's own callbacks: destroy it later.
        _graveyard.push_back(std::move(player.proxy));
        _players.erase(found);
    }

    void loadInterface(Player& player, const char* interface) {
        call(
            *player.proxy, kPropertiesInterface, "GetAll",
            [interface](sdbus::MethodCall& message) { message << std::string(interface); },
            [this, interface, owner = player.snapshot.owner,
             serial = player.serial](sdbus::MethodReply& reply, const sdbus::Error* error) {
                auto* current = find(owner, serial);
                if (!current) {
                    return;
                }
                if (error && isGoneError(*error)) {
                    removePlayer(owner);
                    return;
                }
                std::optional<std::int64_t> position;
                if (!error) {
                    // A reply of the wrong shape leaves the defaults: the player is shown
                    // with what it later signals.
                    guarded([&] {
                        mpris::PropertyMap properties;
                        reply >> properties;
                        position = apply(interface, properties, current->snapshot);
                    });
                }
                (std::string_view(interface) == kMprisRootInterface ? current->rootLoaded
                                                                    : current->playerLoaded) = true;
                if (!current->announced && current->rootLoaded && current->playerLoaded) {
                    current->announced = true;
                }
                if (current->announced) {
                    postChanged(*current);
                    if (position) {
                        postPosition(owner, *position, false);
                    }
                }
            });
    }

    // Applies properties of `interface`; answers the position when they carry one.
    std::optional<std::int64_t> apply(std::string_view interface, const mpris::PropertyMap& properties,
                                      MprisPlayerSnapshot& snapshot) {
        if (interface == kMprisRootInterface) {
            mpris::applyRootProperties(properties, snapshot);
            return std::nullopt;
        }
        mpris::applyPlayerProperties(properties, snapshot);
        if (const auto found = properties.find("Position"); found != properties.end()) {
            return mpris::readPosition(found->second);
        }
        return std::nullopt;
    }

    void propertiesChanged(sdbus::Message& message) {
        auto* player = find(message.getSender());
        if (!player) {
            return;
        }
        std::string interface;
        mpris::PropertyMap changed;
        message >> interface >> changed;
        const char* knownInterface = interface == kMprisRootInterface     ? kMprisRootInterface
                                     : interface == kMprisPlayerInterface ? kMprisPlayerInterface
                                                                          : nullptr;
        if (!knownInterface) {
            return;
        }
        std::vector<std::string> invalidated;
        guarded([&] { message >> invalidated; });
        const auto position = apply(interface, changed, player->snapshot);
        if (!invalidated.empty()) {
            loadInterface(*player, knownInterface);
        }
        if (player->announced) {
            postChanged(*player);
            if (position) {
                postPosition(player->snapshot.owner, *position, false);
            }
        }
    }

    void seeked(sdbus::Message& message) {
        auto* player = find(message.getSender());
        if (!player || !player->announced) {
            return;
        }
        // Read as the signed position it should be, else as an unsigned one; a failed
        // read leaves the message where it was.
        std::optional<std::int64_t> position;
        try {
            std::int64_t value = 0;
            message >> value;
            position = value;
        } catch (const sdbus::Error&) {
            try {
                std::uint64_t value = 0;
                message >> value;
                position = static_cast<std::int64_t>(std::min<std::uint64_t>(value, INT64_MAX));
            } catch (const sdbus::Error&) {
            }
        }
        if (position) {
            postPosition(player->snapshot.owner, *position, true);
        } else {
            // A Seeked we cannot read still says the position jumped.
            readPosition(player->snapshot.owner);
        }
    }

    MprisBusClient& _client;
    std::unique_ptr<sdbus::IConnection> _connection;
    std::unique_ptr<sdbus::IProxy> _busProxy;
    std::vector<sdbus::Slot> _matches;
    std::map<std::string, std::unique_ptr<Player>> _players;
    std::map<std::string, std::string> _nameOwners;
    std::vector<std::unique_ptr<sdbus::IProxy>> _graveyard;
    std::uint64_t _nextSerial = 1;
    bool _reportedFailure = false;
};

MprisBusClient::MprisBusClient(std::optional<std::string> address, MprisBusEvents events)
    : _address(std::move(address)), _events(std::make_shared<MprisBusEvents>(std::move(events))) {
    _wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    _thread = std::thread([this] { run(); });
}

MprisBusClient::~MprisBusClient() {
    {
        std::lock_guard lock(_mutex);
        _stopping = true;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(_wakeFd, &one, sizeof one);
    _thread.join();
    ::close(_wakeFd);
}

void MprisBusClient::enqueue(Request request) {
    {
        std::lock_guard lock(_mutex);
        _requests.push_back(std::move(request));
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(_wakeFd, &one, sizeof one);
}

void MprisBusClient::run() {
    using Clock = std::chrono::steady_clock;
    Bus bus(*this);
    auto nextAttempt = Clock::now();
    // Doubles after each failed attempt, up to kMaxReconnectIntervalMilliseconds.
    int retryInterval = kReconnectIntervalMilliseconds;
    for (;;) {
        std::vector<Request> requests;
        {
            std::lock_guard lock(_mutex);
            if (_stopping) {
                break;
            }
            requests.swap(_requests);
        }
        if (!bus.connected() && Clock::now() >= nextAttempt) {
            if (bus.connect()) {
                retryInterval = kReconnectIntervalMilliseconds;
            } else {
                nextAttempt = Clock::now() + std::chrono::milliseconds(retryInterval);
                retryInterval = std::min(retryInterval * 2, kMaxReconnectIntervalMilliseconds);
            }
        }
        for (auto& request : requests) {
            guarded([&] { request(bus); });
        }
        requests.clear();

        pollfd fds[2] = {{_wakeFd, POLLIN, 0}, {-1, 0, 0}};
        nfds_t count = 1;
        int timeout = -1;
        if (bus.connected()) {
            try {
                const bool moreWaiting = bus.process();
                const auto poll = bus.pollData();
                fds[1] = {poll.fd, poll.events, 0};
                count = 2;
                timeout = moreWaiting ? 0 : poll.getPollTimeout();
            } catch (const sdbus::Error&) {
                bus.disconnect(true);
                nextAttempt = Clock::now() + std::chrono::milliseconds(retryInterval);
                continue;
            }
        } else {
            const auto wait =
                std::chrono::duration_cast<std::chrono::milliseconds>(nextAttempt - Clock::now());
            timeout = static_cast<int>(std::max<std::int64_t>(0, wait.count()));
        }
        if (::poll(fds, count, timeout) > 0 && (fds[0].revents & POLLIN)) {
            std::uint64_t wakeups = 0;
            [[maybe_unused]] auto got = ::read(_wakeFd, &wakeups, sizeof wakeups);
        }
    }
}

void MprisBusClient::playPause(const std::string& owner) {
    enqueue(
        [owner](Bus& bus) { bus.callPlayer(owner, kMprisPlayerInterface, "PlayPause", nullptr, nullptr); });
}

void MprisBusClient::next(const std::string& owner) {
    enqueue([owner](Bus& bus) { bus.callPlayer(owner, kMprisPlayerInterface, "Next", nullptr, nullptr); });
}

void MprisBusClient::previous(const std::string& owner) {
    enqueue(
        [owner](Bus& bus) { bus.callPlayer(owner, kMprisPlayerInterface, "Previous", nullptr, nullptr); });
}

void MprisBusClient::setPosition(const std::string& owner, const std::string& trackId,
                                 std::int64_t positionMicroseconds, Completion completion) {
    enqueue([owner, trackId, positionMicroseconds, completion = std::move(completion)](Bus& bus) mutable {
        bus.callPlayer(
            owner, kMprisPlayerInterface, "SetPosition",
            [trackId, positionMicroseconds](sdbus::MethodCall& message) {
                message << sdbus::ObjectPath(trackId) << positionMicroseconds;
            },
            std::move(completion));
    });
}

void MprisBusClient::seek(const std::string& owner, std::int64_t offsetMicroseconds, Completion completion) {
    enqueue([owner, offsetMicroseconds, completion = std::move(completion)](Bus& bus) mutable {
        bus.callPlayer(
            owner, kMprisPlayerInterface, "Seek",
            [offsetMicroseconds](sdbus::MethodCall& message) { message << offsetMicroseconds; },
            std::move(completion));
    });
}

void MprisBusClient::raise(const std::string& owner) {
    enqueue([owner](Bus& bus) { bus.callPlayer(owner, kMprisRootInterface, "Raise", nullptr, nullptr); });
}

void MprisBusClient::setVolume(const std::string& owner, double volume) {
    enqueue([owner, volume](Bus& bus) {
        bus.callPlayer(
            owner, kPropertiesInterface, "Set",
            [volume](sdbus::MethodCall& message) {
                message << std::string(kMprisPlayerInterface) << std::string("Volume")
                        << sdbus::Variant(volume);
            },
            nullptr);
    });
}

void MprisBusClient::readPosition(const std::string& owner) {
    enqueue([owner](Bus& bus) { bus.readPosition(owner); });
}
