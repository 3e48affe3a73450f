#pragma once

#include <cstdint>
#include <functional>
#include <string>

// Requests to players, addressed by the unique bus name of their connection.
// Every request returns at once; none waits for the player. Requests to a
// player that is gone are dropped.
class MprisPlayerCommands {
public:
    // Runs on the main run loop with whether the player accepted the request.
    using Completion = std::function<void(bool accepted)>;

    virtual ~MprisPlayerCommands() = default;

    virtual void playPause(const std::string& owner) = 0;
    virtual void next(const std::string& owner) = 0;
    virtual void previous(const std::string& owner) = 0;
    // Moves track `trackId` to an absolute position.
    virtual void setPosition(const std::string& owner, const std::string& trackId,
                             std::int64_t positionMicroseconds, Completion completion) = 0;
    // Moves the current track by an offset.
    virtual void seek(const std::string& owner, std::int64_t offsetMicroseconds, Completion completion) = 0;
    virtual void raise(const std::string& owner) = 0;
    virtual void setVolume(const std::string& owner, double volume) = 0;
    // Reads the position afresh; the answer comes back as a position event.
    virtual void readPosition(const std::string& owner) = 0;
};
