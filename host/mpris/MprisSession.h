#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/NSObject.h"
#include "Foundation/NSRunLoop.h"
#include "UIKit/UIImage.h"
#include "host/HostOptions.h"
#include "mpris/MprisArtworkSource.h"
#include "mpris/MprisPlayerCommands.h"
#include "mpris/MprisPlayerState.h"
#include "mpris/MprisPositionTracker.h"

// The main thread's picture of the MPRIS players: which one is followed, what it
// plays, where in the track it is and its artwork. Events from the bus come in
// through the event operations; requests go out through the player commands.
// Everything here runs on the main thread; time is the main run loop's clock.
//
// The followed player is the user's choice while its player is there; else, among
// the players that take part, the first that a name of the preference matches
// (in the preference's order; "%any" holds the place of every player not named),
// and among equals the one that most recently started playing among those
// playing, else the one that most recently started playing at all, else the one
// that appeared last. Ignored players never take part, and of a player announced
// twice (a bridge and the player itself, with the same title and artist) only
// the one with the fuller metadata does.
class MprisSession : public NSObject {
public:
    struct Options {
        // The name "vlc" matches org.mpris.MediaPlayer2.vlc,
        // org.mpris.MediaPlayer2.vlc.instance42 and a player that calls itself "VLC".
        host::PlayerPreference players;
    };

    // A session that sends its requests to `commands` and loads artwork from `artwork`.
    Ptr<MprisSession> initWithCommands(std::unique_ptr<MprisPlayerCommands> commands,
                                       std::unique_ptr<MprisArtworkSource> artwork, Options options);
    // A session on the session bus at `address` (the process's session bus when nil),
    // with artwork decoded on a worker thread.
    static Ptr<MprisSession> sessionOnBus(std::optional<std::string> address, Options options);
    ~MprisSession() override;

    // Events from the bus.
    void playerChanged(const MprisPlayerSnapshot& player);
    void playerRemoved(const std::string& owner);
    void positionRead(const std::string& owner, std::int64_t positionMicroseconds);
    void playerSeeked(const std::string& owner, std::int64_t positionMicroseconds);
    void busUnavailable(const std::string& reason);
    void discoveryFinished();

    // The followed player, or null.
    const MprisPlayerSnapshot* followedPlayer() const;
    // The players that take part, in the order they appeared: the order the
    // user's moves walk.
    std::vector<MprisPlayerSnapshot> listedPlayers() const;
    // Why the followed player is followed, a short phrase for the user: "chosen by
    // the user", "the only player", "first in --player's list", "playing most
    // recently", "played most recently" or "appeared last"; "" when none is.
    std::string followReason() const;

    // The user's choice, which holds until its player vanishes. Follows the listed
    // player after (1) or before (-1) the followed one, wrapping around; answers
    // whether there was one.
    bool followAdjacentPlayer(int direction);
    // Follows the listed player that `name` matches as a preference name does (the
    // one the rule ranks first when several do); false when none does.
    bool followPlayerNamed(const std::string& name);
    // Drops the user's choice; answers whether a player is followed.
    bool followAutomatically();
    // The player with that owner, or null.
    const MprisPlayerSnapshot* player(const std::string& owner) const;
    bool isPlaying() const;
    // The followed track's length and the position extrapolated to now, in
    // seconds; 0 when nothing is followed. The position stays within the length.
    double durationSeconds() const;
    double elapsedSeconds() const;
    // The followed track's artwork, empty when there is none (yet).
    const UICairoSurface& artwork() const { return _artwork; }
    // Changes whenever the artwork changes.
    std::uint64_t artworkSerial() const { return _artworkSerial; }

    // Requests to the followed player; each answers whether it was sent. A request
    // the player says it cannot take (CanPlay, CanPause, CanGoNext, CanGoPrevious,
    // CanSeek, CanControl) is not sent, and the now-playing handler is called on
    // the next pass all the same, so that what pressed a control shows the truth.
    bool togglePlayPause();
    // -1 previous track, 1 next track.
    bool changeTrack(int delta);
    // Moves to `seconds` within the track (clamped to it), when the player can seek.
    // While one move is on its way, later ones are merged into the last of them.
    bool seekTo(double seconds);
    // Raises the player with that owner when it can be raised.
    bool raisePlayer(const std::string& owner);
    // The followed player's volume within 0...1 (0 when nothing is followed).
    double volume() const;
    // Sets the followed player's volume (clamped to 0...1); the new value is kept at
    // once and is not announced by the volume handler.
    bool setVolume(double volume);

    // The followed player's position is read at presentation and whenever its
    // status, rate or track changes; while presented, also when its tracker plans
    // a read (MprisPositionTracker): never while it is paused.
    void setPresented(bool presented);
    bool isPresented() const { return _presented; }

    // Called (from the main run loop, at most once per pass) after the followed
    // player, its status, title, artist or artwork changed.
    void setNowPlayingChangedHandler(std::function<void()> handler) {
        _nowPlayingChanged = std::move(handler);
    }
    // Called (from the main run loop, at most once per pass) after the volume
    // answered by `volume` changed, other than by setVolume.
    void setVolumeChangedHandler(std::function<void()> handler) { _volumeChanged = std::move(handler); }
    // Called (from the main run loop, at most once per pass) after players came,
    // went or changed status, or another one is followed.
    void setPlayersChangedHandler(std::function<void()> handler) { _playersChanged = std::move(handler); }
    // Called with one line for the user when the session bus cannot be reached (once
    // for a series of failed attempts) and when, once the players on a newly
    // reached bus are known, none of them is followed; the widget then shows
    // "Not Playing". Without a handler a missing bus goes to the log.
    void setNoticeHandler(std::function<void(const std::string& line)> handler) {
        _notice = std::move(handler);
    }

    MprisPlayerCommands* commands() const { return _commands.get(); }

private:
    struct Player {
        MprisPlayerSnapshot snapshot;
        MprisPositionTracker position;
        // Order of the player's latest start of playback; 0 when never seen starting.
        std::uint64_t startedPlaying = 0;
        std::uint64_t appeared = 0;
    };
    // What the widget shows; a change of it is announced.
    struct Shown {
        std::string owner;
        MprisPlaybackStatus status = MprisPlaybackStatus::stopped;
        std::string title;
        std::string artist;
        std::uint64_t artworkSerial = 0;
        bool operator==(const Shown&) const = default;
    };
    // What a player list shows; a change of it is announced.
    struct ListedShown {
        std::vector<std::pair<std::string, MprisPlaybackStatus>> players;
        std::string followed;
        bool operator==(const ListedShown&) const = default;
    };
    struct TrackKey {
        std::string owner;
        std::string trackId;
        std::string url;
        std::string title;
        std::string artist;
        bool operator==(const TrackKey&) const = default;
    };

    Player* followed();
    const Player* followed() const;
    // The place of the first preference name that matches the player ("%any" for
    // one not named); nothing when the player takes no part.
    std::optional<std::size_t> preferenceRank(const MprisPlayerSnapshot& player) const;
    bool isDuplicateOfBetter(const Player& player) const;
    // The players that take part, in the order they appeared.
    std::vector<const Player*> listed() const;
    void follow();
    // Follows again after the players or the user's choice changed.
    void refollow();
    // For a request not sent: the now-playing handler runs on the next pass anyway.
    bool refuseRequest();
    void positionReported(const std::string& owner, std::int64_t positionMicroseconds, bool jumped);
    void refreshArtwork();
    void artworkLoaded(std::uint64_t request, UICairoSurface artwork);
    void sendSeek(const std::string& owner);
    void seekFinished(const std::string& owner);
    // Reads the followed player's position (unless our own seek is on its way: the
    // read after it settles the position).
    void readFollowedPosition();
    // Times the followed player's next planned read.
    void planPositionRead();
    void positionReadDue();
    void scheduleAnnouncement();
    void announceIfChanged();
    static TrackKey trackKey(const std::string& owner, const MprisMetadata& metadata);

    std::unique_ptr<MprisPlayerCommands> _commands;
    std::unique_ptr<MprisArtworkSource> _artworkSource;
    Options _options;
    std::map<std::string, Player> _players;
    std::string _followed;
    // The owner of the player the user chose; "" for the automatic choice.
    std::string _chosen;
    std::uint64_t _order = 0;

    UICairoSurface _artwork;
    std::uint64_t _artworkSerial = 0;
    std::optional<TrackKey> _artworkTrack;
    std::string _artworkUrl;
    // The local file's mpris::artworkFileStamp when `_artworkUrl` was loaded.
    std::string _artworkStamp;
    std::uint64_t _artworkRequest = 0;

    // A seek on its way to `_seekOwner`, the target to send after it, and where
    // the player was sent last (to turn a target into an offset).
    std::string _seekOwner;
    bool _seekInFlight = false;
    std::optional<std::int64_t> _pendingSeek;
    std::int64_t _sentTarget = 0;
    NSTimeInterval _sentTime = 0;

    bool _presented = false;
    NSRunLoop::TaskId _positionReadTask = 0;
    NSRunLoop::TaskId _announceTask = 0;
    Shown _announced;
    ListedShown _announcedPlayers;
    bool _requestRefused = false;
    double _announcedVolume = 0;
    std::function<void()> _nowPlayingChanged;
    std::function<void()> _volumeChanged;
    std::function<void()> _playersChanged;
    std::function<void(const std::string& line)> _notice;
};
