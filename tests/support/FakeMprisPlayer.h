#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

// A property value of any type a (mis)behaving player might send.
using FakeValue = std::variant<bool, std::int32_t, std::uint32_t, std::int64_t, std::uint64_t, double,
                               std::string, sdbus::ObjectPath, std::vector<std::string>,
                               std::vector<std::uint8_t>, std::map<std::string, sdbus::Variant>>;
using FakeProperties = std::map<std::string, FakeValue>;
using FakeMetadata = std::map<std::string, sdbus::Variant>;

// An MPRIS player of the test's own on a private bus, serving its properties
// with exactly the types it was given and recording the calls it receives. It
// plays along like a real player: PlayPause flips a string PlaybackStatus,
// Seek and SetPosition (with the current track id) move Position and emit Seeked.
class FakeMprisPlayer {
public:
    struct Spec {
        // The full bus name, e.g. "org.mpris.MediaPlayer2.fake".
        std::string busName;
        FakeProperties root;
        FakeProperties player;
        // A player without the player interface answers GetAll on it with an error.
        bool hasPlayerInterface = true;
    };

    // A well-behaved player playing `title` by `artist` (track "/track/1", 180 s).
    static Spec playing(const std::string& suffix, const std::string& title,
                        const std::string& artist = "Artist");
    static FakeMetadata metadata(const std::string& title, const std::string& artist,
                                 const std::string& trackId, std::int64_t lengthMicroseconds,
                                 const std::string& artUrl = "");

    // Connects to the bus at `address`, publishes the object and takes the name.
    FakeMprisPlayer(const std::string& address, Spec spec);
    // Leaves the bus: the name disappears with the connection.
    ~FakeMprisPlayer();
    FakeMprisPlayer(const FakeMprisPlayer&) = delete;
    FakeMprisPlayer& operator=(const FakeMprisPlayer&) = delete;

    // Changes a property (keeping the type it was published with) and announces
    // the new value with PropertiesChanged.
    void set(const std::string& interface, const std::string& name, FakeValue value);
    // Changes a property without announcing it.
    void store(const std::string& interface, const std::string& name, FakeValue value);
    // Emits PropertiesChanged with whatever content is given.
    void emitPropertiesChanged(const std::string& interface, const FakeMetadata& changed,
                               const std::vector<std::string>& invalidated = {});
    // Emits Seeked with a position of any type.
    template <class T> void emitSeeked(const T& position) {
        auto signal = _object->createSignal(kPlayerInterface, "Seeked");
        signal << position;
        _object->emitSignal(signal);
    }
    // While set, method calls are recorded but never answered.
    void setHangs(bool hangs);

    // The calls received so far: "PlayPause", "Seek -5000000", "SetPosition /track/1 20000000",
    // "Raise", "Volume 0.5"...
    std::vector<std::string> calls() const;
    std::size_t heldCallCount() const;
    std::string uniqueName() const { return _connection->getUniqueName(); }

    static constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
    static constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";

private:
    // Serves the connection until stopped; a broken connection just ends the serving.
    void serve();
    void publish(const std::string& interface, const FakeProperties& properties);
    void addMethod(const std::string& interface, const std::string& name, const std::string& signature);
    void handle(sdbus::MethodCall call, const std::string& name);
    std::optional<std::int64_t> integerValue(const std::string& interface, const std::string& name) const;
    std::optional<std::string> stringValue(const std::string& interface, const std::string& name) const;

    Spec _spec;
    std::unique_ptr<sdbus::IConnection> _connection;
    std::unique_ptr<sdbus::IObject> _object;
    mutable std::mutex _mutex;
    std::map<std::string, FakeProperties> _values;
    std::vector<std::string> _calls;
    std::vector<sdbus::MethodCall> _held;
    bool _hangs = false;
    std::atomic<bool> _stopping{false};
    int _wakeFd = -1;
    std::thread _loop;
};
