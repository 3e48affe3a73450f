#pragma once

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include <sdbus-c++/sdbus-c++.h>

using FakeMetadata = std::map<std::string, sdbus::Variant>;
// A property value of any type a (mis)behaving player might send.
using FakeValue =
    std::variant<bool, std::int32_t, std::int64_t, std::uint64_t, double, std::string, FakeMetadata>;
using FakeProperties = std::map<std::string, FakeValue>;

// A player on a private bus that serves its properties with exactly the types given and records calls.
class FakeMprisPlayer {
public:
    struct Setup {
        std::string busName; // "org.mpris.MediaPlayer2.<suffix>"
        FakeProperties root;
        FakeProperties player;
    };
    // A well-behaved player playing `title` (track "/track/1", 180 s).
    static Setup playing(const std::string& suffix, const std::string& title);
    static FakeMetadata metadata(const std::string& title, const std::string& trackId);

    // Joins the bus at `address` under the name; leaves it, and the name, when destroyed.
    FakeMprisPlayer(const std::string& address, const Setup& setup);
    ~FakeMprisPlayer();
    FakeMprisPlayer(const FakeMprisPlayer&) = delete;
    FakeMprisPlayer& operator=(const FakeMprisPlayer&) = delete;

    // Changes a property without announcing it.
    void store(const std::string& interface, const std::string& name, const FakeValue& value);
    // Emits PropertiesChanged or Seeked with whatever content is given.
    void emitPropertiesChanged(const std::string& interface, const FakeMetadata& changed,
                               const std::vector<std::string>& invalidated = {});
    template <class T> void emitSeeked(const T& position) {
        auto signal = _object->createSignal(kPlayerInterface, "Seeked");
        signal << position;
        _object->emitSignal(signal);
    }
    // While set, method calls are recorded but never answered.
    void setHangs(bool hangs);
    // The calls received so far: "PlayPause", "Seek -5000000", "SetPosition"...
    std::vector<std::string> calls() const;

    static constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
    static constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";

private:
    void handle(sdbus::MethodCall call, const std::string& name);

    std::unique_ptr<sdbus::IConnection> _connection;
    std::unique_ptr<sdbus::IObject> _object;
    mutable std::mutex _mutex;
    std::map<std::string, FakeProperties> _values;
    std::vector<std::string> _calls;
    std::vector<sdbus::MethodCall> _held;
    bool _hangs = false;
    std::thread _loop;
};
