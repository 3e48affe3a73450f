#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Foundation/NSObject.h"
#include "host/HostOptions.h"

namespace host {

class DemoPlayer;

// One player a back-end can follow, as front-ends list it.
struct PlayerListing {
    // The bus name ("org.mpris.MediaPlayer2.vlc").
    std::string name;
    // What the player calls itself ("VLC media player"); the name's suffix when it sends none.
    std::string identity;
    // "Playing", "Paused" or "Stopped".
    std::string status;
    bool followed = false;
    bool operator==(const PlayerListing&) const = default;
};

// A user's move among the players: the next or previous in the listed order, or
// back to the automatic choice.
enum class PlayerMove { next, previous, automatic };

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

    // The players the user can choose among, in the order next and previous walk
    // them; empty for the demo player.
    virtual std::vector<PlayerListing> players() const { return {}; }
    // Follows the next or previous player (wrapping around), or goes back to the
    // automatic choice. A user's choice holds until its player vanishes. Answers
    // whether there was a player to move to.
    virtual bool movePlayer(PlayerMove) { return false; }
    // Follows the player that `name` matches (as a --player name does); false when none does.
    virtual bool followPlayer(const std::string& /*name*/) { return false; }
    // Called on the main thread, at most once a pass, after players came, went or
    // changed status, or another one is followed.
    virtual void setPlayersChangedHandler(std::function<void()> /*handler*/) {}
};

// What a back-end needs to start.
struct MediaBackEndOptions {
    PlayerKind kind = PlayerKind::demo;
    // The demo player's playlist; empty: the built-in one.
    std::string playlistPath;
    // With the MPRIS players: which of them take part, in what order.
    PlayerPreference players;
};

// Makes the back-end of `options.kind` and registers its services, replacing
// earlier registrations. Throws HostFailure naming what could not be reached or read.
std::unique_ptr<MediaBackEnd> makeMediaBackEnd(const MediaBackEndOptions& options);

// YES when the back-end's music plays outside the process, so time must be the
// system clock's.
bool mediaBackEndNeedsSystemClock(PlayerKind kind);

} // namespace host
