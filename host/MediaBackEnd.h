#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Foundation/NSObject.h"
#include "host/HostOptions.h"

namespace host {

class DemoPlayer;

// Where the widget's music comes from: the host's media services (the
// "SBMediaController" class and its one instance the widget finds by name, the
// UI controller that brings a player to the front, the system volume) are
// registered while a back-end lives and unregistered when it goes. One at a
// time; main thread only.
class MediaBackEnd {
public:
    virtual ~MediaBackEnd() = default;

    // The notification centre with the widget was shown (YES) or hidden (NO).
    virtual void setPresented(bool presented) = 0;
    // The built-in player that scripts' `player ...` commands drive; nil when the
    // music comes from elsewhere.
    virtual Ptr<DemoPlayer> demoPlayer() const { return nullptr; }
};

// What a back-end needs to start.
struct MediaBackEndOptions {
    PlayerKind kind = PlayerKind::demo;
    // The demo player's playlist; empty: the built-in one.
    std::string playlistPath;
    // With the MPRIS players: follow only this one (bus-name suffix or Identity).
    std::optional<std::string> mprisPlayerName;
};

// Makes the back-end of `options.kind` and registers its services, replacing
// earlier registrations. Throws HostFailure naming what could not be reached or read.
std::unique_ptr<MediaBackEnd> makeMediaBackEnd(const MediaBackEndOptions& options);

// YES when the back-end's music plays outside the process, so time must be the
// system clock's.
bool mediaBackEndNeedsSystemClock(PlayerKind kind);

} // namespace host
