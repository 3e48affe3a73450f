#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <sdbus-c++/sdbus-c++.h>
#include <string>
#include <string_view>
#include <vector>

#include "mpris/MprisParsing.h"
#include "mpris/MprisPlayerCommands.h"
#include "mpris/MprisPlayerState.h"

// What the bus client reports; every callback runs on the main run loop.
struct MprisBusEvents {
    // A player appeared (once its properties are known) or its properties changed.
    std::function<void(const MprisPlayerSnapshot& player)> playerChanged;
    // A player left the bus, or the bus went away.
    std::function<void(const std::string& owner)> playerRemoved;
    // The position read from the player's Position property.
    std::function<void(const std::string& owner, std::int64_t positionMicroseconds)> positionRead;
    // The position the player announced with Seeked.
    std::function<void(const std::string& owner, std::int64_t positionMicroseconds)> playerSeeked;
    // The bus cannot be reached, and why; once for a series of failed attempts.
    std::function<void(const std::string& reason)> busUnavailable;
    // Every player on a newly reached bus is known: the bus was listed and each
    // player on it was announced or found gone. Once per connection.
    std::function<void()> discoveryFinished;
};

// A completion handed to the bus thread: however many copies that thread makes and
// drops, the function itself is called and destroyed on the main run loop.
using MprisSharedCompletion = std::shared_ptr<const MprisPlayerCommands::Completion>;
// Wraps `completion` (nil stays nil); call on the main thread.
MprisSharedCompletion makeMainThreadCompletion(MprisPlayerCommands::Completion completion);

// The hand-over of bus events from the bus thread to the main run loop, bounded
// however fast players talk. Per player only its latest properties and its latest
// position wait (a newer one replaces the waiting one); a removal drops what waits
// for its player. Log lines wait up to kMaxLogLines, the rest are only counted;
// completions, each one a request of the user's, all wait. At most one main-thread
// task is outstanding, and it delivers everything waiting in one pass, in the order
// the events happened (a replaced change keeps its place unless the player's status
// or track changed with it). Events are delivered only while the events object is alive.
class MprisBusEventQueue : public std::enable_shared_from_this<MprisBusEventQueue> {
public:
    static constexpr std::size_t kMaxLogLines = 16;

    explicit MprisBusEventQueue(std::weak_ptr<MprisBusEvents> events) : _events(std::move(events)) {}
    MprisBusEventQueue(const MprisBusEventQueue&) = delete;
    MprisBusEventQueue& operator=(const MprisBusEventQueue&) = delete;

    // From any thread.
    void playerChanged(const MprisPlayerSnapshot& player);
    void playerRemoved(const std::string& owner);
    void positionRead(const std::string& owner, std::int64_t positionMicroseconds, bool fromSeeked);
    void log(std::string message);
    void completion(MprisSharedCompletion completion, bool accepted);
    void busUnavailable(std::string reason);
    void discoveryFinished();

    // The most events that ever waited at once, and the main-thread tasks posted so far.
    std::size_t mostWaiting() const;
    std::uint64_t tasksPosted() const;

private:
    enum class Kind {
        changed,
        removed,
        position,
        seeked,
        log,
        completion,
        busUnavailable,
        discoveryFinished
    };
    struct Event {
        Kind kind;
        // The owner, the log line or the reason.
        std::string text{};
        MprisPlayerSnapshot player{};
        std::int64_t position = 0;
        MprisSharedCompletion completion{};
        bool accepted = false;
    };
    using Events = std::list<Event>;
    // What waits for one player.
    struct Waiting {
        std::optional<Events::iterator> changed;
        std::optional<Events::iterator> position;
        std::optional<Events::iterator> removed;
    };

    // Queues `event` and, unless a task is outstanding, posts one.
    void add(Event event);
    // Called with the lock held.
    void append(Event event, std::optional<Events::iterator>* slot);
    void drop(std::optional<Events::iterator>& slot);
    // Main thread: delivers everything waiting.
    void deliver();
    // The task `serial` ran or was dropped unrun.
    void taskEnded(std::uint64_t serial);

    std::weak_ptr<MprisBusEvents> _events;
    mutable std::mutex _mutex;
    Events _waiting;
    std::map<std::string, Waiting> _players;
    std::size_t _logLines = 0;
    std::size_t _droppedLogLines = 0;
    // The outstanding task's serial; 0 when none is.
    std::uint64_t _outstanding = 0;
    std::uint64_t _tasksPosted = 0;
    std::size_t _mostWaiting = 0;
};

// The session bus as the bus thread sees it: one sd-bus connection, the players on
// it with their cached properties, and the signals that keep them current. Lives
// and is used on that thread only; what it learns goes to the main run loop
// through `events`.
class MprisBusConnection {
public:
    // Time allowed for any one call.
    static constexpr std::int64_t kCallTimeoutMicroseconds = 2'000'000;

    // Connects to the bus at `address`, or to the process's session bus when nil,
    // once connect() is called; counts every method call it sends in `methodCallCount`.
    MprisBusConnection(std::optional<std::string> address, std::shared_ptr<MprisBusEventQueue> events,
                       std::atomic<std::uint64_t>& methodCallCount);
    ~MprisBusConnection();
    MprisBusConnection(const MprisBusConnection&) = delete;
    MprisBusConnection& operator=(const MprisBusConnection&) = delete;

    bool connected() const { return _connection != nullptr; }

    // Connects, subscribes and lists the players; false (and nothing kept) on failure.
    // The first of a series of failures is reported as busUnavailable.
    bool connect();
    // Forgets the connection and every player; with `report`, tells the main
    // thread that each player is gone.
    void disconnect(bool report);

    // Handles one batch of incoming messages; answers whether more may be waiting.
    // Throws sdbus::Error when the connection is broken.
    bool process();

    // What to wait for before calling process() again.
    struct Wait {
        int fd = -1;
        short events = 0;
        int timeoutMilliseconds = -1;
    };
    Wait wait() const;

    // Calls `method` on a player; `completion` learns whether it answered without error.
    void callPlayer(const std::string& owner, const char* interface, const char* method,
                    std::function<void(sdbus::MethodCall&)> arguments, MprisSharedCompletion completion);
    // Reads a player's Position; the answer goes out as a positionRead event. Asked
    // again while a read is on its way, it reads once more after that one answers.
    void readPosition(const std::string& owner);

private:
    struct Player {
        std::uint64_t serial = 0;
        std::vector<std::string> names;
        std::unique_ptr<sdbus::IProxy> proxy;
        MprisPlayerSnapshot snapshot;
        bool rootLoaded = false;
        bool playerLoaded = false;
        bool announced = false;
        // A Position read is on its way, and another was asked for meanwhile.
        bool readingPosition = false;
        bool positionWanted = false;
    };

    Player* find(const std::string& owner, std::optional<std::uint64_t> serial = std::nullopt);
    void call(sdbus::IProxy& proxy, const char* interface, const char* method,
              const std::function<void(sdbus::MethodCall&)>& arguments,
              std::function<void(sdbus::MethodReply&, const sdbus::Error*)> handler);
    // Proxies of removed players, destroyed here, outside of any of their callbacks.
    void buryDead() { _graveyard.clear(); }

    void reportFailure(const std::string& reason);

    void listed(sdbus::MethodReply& reply);
    void nameOwnerChanged(sdbus::Message& message);
    void addName(const std::string& name, const std::string& owner);
    void removeName(const std::string& name, const std::string& owner);
    void removePlayer(const std::string& owner);
    // Posts discoveryFinished once the listing and every player it found are settled.
    void checkDiscovery();
    void loadInterface(Player& player, const char* interface);
    std::optional<std::int64_t> apply(std::string_view interface, const mpris::PropertyMap& properties,
                                      MprisPlayerSnapshot& snapshot);
    void propertiesChanged(sdbus::Message& message);
    void seeked(sdbus::Message& message);

    std::optional<std::string> _address;
    std::shared_ptr<MprisBusEventQueue> _events;
    std::atomic<std::uint64_t>& _methodCallCount;
    std::unique_ptr<sdbus::IConnection> _connection;
    std::unique_ptr<sdbus::IProxy> _busProxy;
    std::vector<sdbus::Slot> _matches;
    std::map<std::string, std::unique_ptr<Player>> _players;
    std::map<std::string, std::string> _nameOwners;
    std::vector<std::unique_ptr<sdbus::IProxy>> _graveyard;
    std::uint64_t _nextSerial = 1;
    bool _reportedFailure = false;
    // Discovery on the current connection: not yet finished, the bus listed, and
    // owner look-ups of listed names still unanswered.
    bool _discovering = false;
    bool _listed = false;
    int _ownerLookups = 0;
};
