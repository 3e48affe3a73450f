#include "mpris/MprisBusConnection.h"

#include <algorithm>
#include <cstdlib>
#include <thread>
#include <utility>

#include "Foundation/NSLog.h"
#include "Foundation/NSRunLoop.h"
#include "host/SessionBusAddress.h"

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

// Runs a handler of bus traffic, dropping what a malformed message makes it throw.
template <class Handler> void guarded(Handler&& handler) {
    try {
        handler();
    } catch (const sdbus::Error&) {
    } catch (const std::exception&) {
    }
}

// Whether a player's waiting change may give way to `next` in its place: only for
// the same track in the same state, so that players are seen starting (and tracks
// changing) in the order they did.
bool mayBeReplaced(const MprisPlayerSnapshot& waiting, const MprisPlayerSnapshot& next) {
    const auto& a = waiting.metadata;
    const auto& b = next.metadata;
    return waiting.status == next.status && a.trackId == b.trackId && a.url == b.url && a.title == b.title &&
           a.artist == b.artist;
}

} // namespace

MprisSharedCompletion makeMainThreadCompletion(MprisPlayerCommands::Completion completion) {
    if (!completion) {
        return nullptr;
    }
    return MprisSharedCompletion(
        new MprisPlayerCommands::Completion(std::move(completion)),
        [mainThread = std::this_thread::get_id()](const MprisPlayerCommands::Completion* dying) {
            if (std::this_thread::get_id() == mainThread) {
                delete dying;
                return;
            }
            // A task dropped unrun is destroyed on the main thread as well.
            NSRunLoop::mainRunLoop()->postFromAnyThread(
                [owned = std::shared_ptr<const MprisPlayerCommands::Completion>(dying)] {});
        });
}

void MprisBusEventQueue::playerChanged(const MprisPlayerSnapshot& player) {
    add({.kind = Kind::changed, .text = player.owner, .player = player});
}

void MprisBusEventQueue::playerRemoved(const std::string& owner) {
    add({.kind = Kind::removed, .text = owner});
}

void MprisBusEventQueue::positionRead(const std::string& owner, std::int64_t positionMicroseconds,
                                      bool fromSeeked) {
    add({.kind = fromSeeked ? Kind::seeked : Kind::position,
         .text = owner,
         .position = positionMicroseconds});
}

void MprisBusEventQueue::log(std::string message) {
    add({.kind = Kind::log, .text = std::move(message)});
}

void MprisBusEventQueue::completion(MprisSharedCompletion completion, bool accepted) {
    if (completion) {
        add({.kind = Kind::completion, .completion = std::move(completion), .accepted = accepted});
    }
}

void MprisBusEventQueue::busUnavailable(std::string reason) {
    add({.kind = Kind::busUnavailable, .text = std::move(reason)});
}

void MprisBusEventQueue::discoveryFinished() {
    add({.kind = Kind::discoveryFinished});
}

std::size_t MprisBusEventQueue::mostWaiting() const {
    std::lock_guard lock(_mutex);
    return _mostWaiting;
}

std::uint64_t MprisBusEventQueue::tasksPosted() const {
    std::lock_guard lock(_mutex);
    return _tasksPosted;
}

void MprisBusEventQueue::add(Event event) {
    std::uint64_t serial = 0;
    {
        std::lock_guard lock(_mutex);
        auto* player = event.kind == Kind::changed || event.kind == Kind::removed ||
                               event.kind == Kind::position || event.kind == Kind::seeked
                           ? &_players[event.text]
                           : nullptr;
        switch (event.kind) {
        case Kind::changed:
            if (player->changed && mayBeReplaced((*player->changed)->player, event.player)) {
                (*player->changed)->player = std::move(event.player);
            } else {
                drop(player->changed);
                append(std::move(event), &player->changed);
            }
            break;
        case Kind::position:
        case Kind::seeked:
            drop(player->position);
            append(std::move(event), &player->position);
            break;
        case Kind::removed:
            drop(player->changed);
            drop(player->position);
            // A removal already waiting says it all: nothing of the player waits after it.
            if (!player->removed) {
                append(std::move(event), &player->removed);
            }
            break;
        case Kind::log:
            if (_logLines == kMaxLogLines) {
                ++_droppedLogLines;
            } else {
                ++_logLines;
                append(std::move(event), nullptr);
            }
            break;
        default:
            append(std::move(event), nullptr);
            break;
        }
        if (_outstanding != 0) {
            return;
        }
        serial = _outstanding = ++_tasksPosted;
    }
    // Whether it runs or is dropped unrun (a run loop reset), the task tells when it
    // is gone, so that the next event posts another.
    const auto self = shared_from_this();
    const std::shared_ptr<MprisBusEventQueue> task(
        self.get(), [self, serial](MprisBusEventQueue*) { self->taskEnded(serial); });
    NSRunLoop::mainRunLoop()->postFromAnyThread([task] { task->deliver(); });
}

void MprisBusEventQueue::append(Event event, std::optional<Events::iterator>* slot) {
    const auto added = _waiting.insert(_waiting.end(), std::move(event));
    if (slot) {
        *slot = added;
    }
    _mostWaiting = std::max(_mostWaiting, _waiting.size());
}

void MprisBusEventQueue::drop(std::optional<Events::iterator>& slot) {
    if (slot) {
        _waiting.erase(*slot);
        slot.reset();
    }
}

void MprisBusEventQueue::taskEnded(std::uint64_t serial) {
    std::lock_guard lock(_mutex);
    if (_outstanding == serial) {
        _outstanding = 0;
    }
}

void MprisBusEventQueue::deliver() {
    Events events;
    std::size_t dropped = 0;
    {
        std::lock_guard lock(_mutex);
        events.swap(_waiting);
        _players.clear();
        _logLines = 0;
        dropped = std::exchange(_droppedLogLines, 0);
        // Events from now on post a task of their own.
        _outstanding = 0;
    }
    const auto handlers = _events.lock();
    if (!handlers) {
        return;
    }
    const auto call = [](const auto& handler, const auto&... arguments) {
        if (handler) {
            handler(arguments...);
        }
    };
    for (const auto& event : events) {
        switch (event.kind) {
        case Kind::changed:
            call(handlers->playerChanged, event.player);
            break;
        case Kind::removed:
            call(handlers->playerRemoved, event.text);
            break;
        case Kind::position:
            call(handlers->positionRead, event.text, event.position);
            break;
        case Kind::seeked:
            call(handlers->playerSeeked, event.text, event.position);
            break;
        case Kind::log:
            // The log is written from the main thread, where its sink expects to be called.
            NSLog("%s", event.text.c_str());
            break;
        case Kind::completion:
            (*event.completion)(event.accepted);
            break;
        case Kind::busUnavailable:
            call(handlers->busUnavailable, event.text);
            break;
        case Kind::discoveryFinished:
            call(handlers->discoveryFinished);
            break;
        }
    }
    if (dropped > 0) {
        NSLog("MPRIS: %zu more messages from the bus thread were dropped", dropped);
    }
}

MprisBusConnection::MprisBusConnection(std::optional<std::string> address,
                                       std::shared_ptr<MprisBusEventQueue> events,
                                       std::atomic<std::uint64_t>& methodCallCount)
    : _address(std::move(address)), _events(std::move(events)), _methodCallCount(methodCallCount) {}

MprisBusConnection::~MprisBusConnection() {
    disconnect(false);
}

bool MprisBusConnection::connect() {
    const auto address = _address ? _address
                                  : host::defaultSessionBusAddress(std::getenv("DBUS_SESSION_BUS_ADDRESS"),
                                                                   std::getenv("XDG_RUNTIME_DIR"));
    if (address && !host::busMayBeListening(*address)) {
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
        _matches.push_back(
            _connection->addMatch(std::string("type='signal',interface='") + kMprisPlayerInterface +
                                      "',member='Seeked',path='" + kMprisObjectPath + "'",
                                  [this](sdbus::Message& message) { guarded([&] { seeked(message); }); }));
        _discovering = true;
        _listed = false;
        _ownerLookups = 0;
        call(*_busProxy, kBusService, "ListNames", nullptr,
             [this](sdbus::MethodReply& reply, const sdbus::Error* error) {
                 if (!error) {
                     listed(reply);
                 }
                 // A bus that cannot list its names has none to wait for.
                 _listed = true;
                 checkDiscovery();
             });
    } catch (const sdbus::Error& error) {
        disconnect(false);
        reportFailure(error.getMessage());
        return false;
    }
    _reportedFailure = false;
    return true;
}

void MprisBusConnection::disconnect(bool report) {
    if (report && _connection) {
        _events->log("MPRIS: lost the session bus");
        for (const auto& [owner, player] : _players) {
            if (player->announced) {
                _events->playerRemoved(owner);
            }
        }
    }
    _discovering = false;
    // Proxies and match slots go before the connection they belong to.
    _players.clear();
    _nameOwners.clear();
    _graveyard.clear();
    _matches.clear();
    _busProxy.reset();
    _connection.reset();
}

bool MprisBusConnection::process() {
    for (int handled = 0; handled < kMaxMessagesPerBatch; ++handled) {
        if (!_connection->processPendingRequest()) {
            buryDead();
            return false;
        }
        buryDead();
    }
    return true;
}

MprisBusConnection::Wait MprisBusConnection::wait() const {
    const auto poll = _connection->getEventLoopPollData();
    return {poll.fd, poll.events, poll.getPollTimeout()};
}

void MprisBusConnection::callPlayer(const std::string& owner, const char* interface, const char* method,
                                    std::function<void(sdbus::MethodCall&)> arguments,
                                    MprisSharedCompletion completion) {
    auto* player = find(owner);
    if (!player) {
        _events->completion(std::move(completion), false);
        return;
    }
    try {
        call(*player->proxy, interface, method, std::move(arguments),
             [this, completion](sdbus::MethodReply&, const sdbus::Error* error) {
                 _events->completion(completion, error == nullptr);
             });
    } catch (const sdbus::Error&) {
        _events->completion(std::move(completion), false);
    }
}

void MprisBusConnection::readPosition(const std::string& owner) {
    auto* player = find(owner);
    if (!player) {
        return;
    }
    // One read on its way per player: a player slow to answer (or never answering)
    // is read once more after it answers, however often it is asked meanwhile.
    if (player->readingPosition) {
        player->positionWanted = true;
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
            current->readingPosition = false;
            if (error) {
                if (isGoneError(*error)) {
                    removePlayer(owner);
                    return;
                }
            } else {
                sdbus::Variant value;
                reply >> value;
                if (const auto position = mpris::readPosition(value); position && current->announced) {
                    _events->positionRead(owner, *position, false);
                }
            }
            if (std::exchange(current->positionWanted, false)) {
                readPosition(owner);
            }
        });
    player->readingPosition = true;
}

MprisBusConnection::Player* MprisBusConnection::find(const std::string& owner,
                                                     std::optional<std::uint64_t> serial) {
    const auto found = _players.find(owner);
    if (found == _players.end() || (serial && found->second->serial != *serial)) {
        return nullptr;
    }
    return found->second.get();
}

void MprisBusConnection::call(sdbus::IProxy& proxy, const char* interface, const char* method,
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
    _methodCallCount.fetch_add(1, std::memory_order_relaxed);
}

// Reports the first of a series of failed attempts to the main thread.
void MprisBusConnection::reportFailure(const std::string& reason) {
    if (!_reportedFailure) {
        _events->busUnavailable(reason);
        _reportedFailure = true;
    }
}

void MprisBusConnection::listed(sdbus::MethodReply& reply) {
    std::vector<std::string> names;
    reply >> names;
    for (const auto& name : names) {
        if (!isPlayerName(name) || _nameOwners.contains(name)) {
            continue;
        }
        ++_ownerLookups;
        call(
            *_busProxy, kBusService, "GetNameOwner", [name](sdbus::MethodCall& message) { message << name; },
            [this, name](sdbus::MethodReply& ownerReply, const sdbus::Error* error) {
                --_ownerLookups;
                // A name that vanished since the list answers an error: nothing to add.
                if (!error) {
                    std::string owner;
                    ownerReply >> owner;
                    addName(name, owner);
                }
                checkDiscovery();
            });
    }
}

void MprisBusConnection::nameOwnerChanged(sdbus::Message& message) {
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

void MprisBusConnection::addName(const std::string& name, const std::string& owner) {
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

void MprisBusConnection::removeName(const std::string& name, const std::string& owner) {
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
            _events->playerChanged(player->snapshot);
        }
    }
}

void MprisBusConnection::removePlayer(const std::string& owner) {
    const auto found = _players.find(owner);
    if (found == _players.end()) {
        return;
    }
    auto& player = *found->second;
    for (const auto& name : player.names) {
        if (const auto known = _nameOwners.find(name); known != _nameOwners.end() && known->second == owner) {
            _nameOwners.erase(known);
        }
    }
    if (player.announced) {
        _events->playerRemoved(owner);
    }
    // This may run inside one of the proxy's own callbacks: destroy it later.
    _graveyard.push_back(std::move(player.proxy));
    _players.erase(found);
    checkDiscovery();
}

void MprisBusConnection::checkDiscovery() {
    if (!_discovering || !_listed || _ownerLookups > 0 ||
        std::any_of(_players.begin(), _players.end(),
                    [](const auto& entry) { return !entry.second->announced; })) {
        return;
    }
    _discovering = false;
    _events->discoveryFinished();
}

void MprisBusConnection::loadInterface(Player& player, const char* interface) {
    call(
        *player.proxy, kPropertiesInterface, "GetAll",
        [interface](sdbus::MethodCall& message) { message << std::string(interface); },
        [this, interface, owner = player.snapshot.owner, serial = player.serial](sdbus::MethodReply& reply,
                                                                                 const sdbus::Error* error) {
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
                _events->playerChanged(current->snapshot);
                if (position) {
                    _events->positionRead(owner, *position, false);
                }
            }
            checkDiscovery();
        });
}

// Applies properties of `interface`; answers the position when they carry one.
std::optional<std::int64_t> MprisBusConnection::apply(std::string_view interface,
                                                      const mpris::PropertyMap& properties,
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

void MprisBusConnection::propertiesChanged(sdbus::Message& message) {
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
        _events->playerChanged(player->snapshot);
        if (position) {
            _events->positionRead(player->snapshot.owner, *position, false);
        }
    }
}

void MprisBusConnection::seeked(sdbus::Message& message) {
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
        _events->positionRead(player->snapshot.owner, *position, true);
    } else {
        // A Seeked we cannot read still says the position jumped.
        readPosition(player->snapshot.owner);
    }
}
