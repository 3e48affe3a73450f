#include "mpris/MprisSession.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <tuple>

#include "Foundation/NSLog.h"
#include "Foundation/NSWhileAlive.h"
#include "mpris/MprisArtwork.h"
#include "mpris/MprisArtworkDecoder.h"
#include "mpris/MprisBusClient.h"

namespace {

NSRunLoop* mainLoop() {
    return NSRunLoop::mainRunLoop();
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

Ptr<MprisSession> MprisSession::initWithCommands(std::unique_ptr<MprisPlayerCommands> commands,
                                                 std::unique_ptr<MprisArtworkSource> artwork,
                                                 Options options) {
    NSObject::init();
    _commands = std::move(commands);
    _artworkSource = std::move(artwork);
    _options = std::move(options);
    return self<MprisSession>();
}

Ptr<MprisSession> MprisSession::sessionOnBus(std::optional<std::string> address, Options options) {
    auto session = alloc<MprisSession>();
    MprisBusEvents events;
    events.playerChanged = NSWhileAlive(session, &MprisSession::playerChanged);
    events.playerRemoved = NSWhileAlive(session, &MprisSession::playerRemoved);
    events.positionRead = NSWhileAlive(session, &MprisSession::positionRead);
    events.playerSeeked = NSWhileAlive(session, &MprisSession::playerSeeked);
    events.busUnavailable = NSWhileAlive(session, &MprisSession::busUnavailable);
    events.discoveryFinished = NSWhileAlive(session, &MprisSession::discoveryFinished);
    return session->initWithCommands(std::make_unique<MprisBusClient>(std::move(address), std::move(events)),
                                     std::make_unique<MprisArtworkDecoder>(), std::move(options));
}

MprisSession::~MprisSession() {
    mainLoop()->cancel(_positionReadTask);
    mainLoop()->cancel(_announceTask);
}

void MprisSession::busUnavailable(const std::string& reason) {
    // Told once: to the user when someone listens, else to the log.
    if (const auto notice = _notice) {
        notice("no session bus, so no MPRIS player (" + reason + "); the widget shows \"Not Playing\"");
    } else {
        NSLog("MPRIS: cannot use the session bus: %s", reason.c_str());
    }
}

void MprisSession::discoveryFinished() {
    if (followedPlayer()) {
        return;
    }
    std::string named;
    for (const auto& name : _options.players.names) {
        if (name != "%any") {
            named += (named.empty() ? "\"" : ", \"") + name + "\"";
        }
    }
    const bool anyOther = _options.players.names.empty() ||
                          std::ranges::find(_options.players.names, "%any") != _options.players.names.end();
    const std::string which =
        anyOther || named.empty() ? "no MPRIS player" : "no MPRIS player called " + named;
    if (const auto notice = _notice) {
        notice(which + " on the session bus; the widget shows \"Not Playing\" until one appears");
    }
}

MprisSession::TrackKey MprisSession::trackKey(const std::string& owner, const MprisMetadata& metadata) {
    return {owner, metadata.trackId, metadata.url, metadata.title, metadata.artist};
}

void MprisSession::playerChanged(const MprisPlayerSnapshot& snapshot) {
    const NSTimeInterval now = mainLoop()->now();
    auto [entry, inserted] = _players.try_emplace(snapshot.owner);
    Player& player = entry->second;
    bool trackChanged = false;
    if (inserted) {
        player.appeared = ++_order;
        if (snapshot.status == MprisPlaybackStatus::playing) {
            player.startedPlaying = ++_order;
        }
    } else {
        const auto& old = player.snapshot;
        const bool statusChanged = old.status != snapshot.status;
        trackChanged = trackKey(old.owner, old.metadata) != trackKey(snapshot.owner, snapshot.metadata);
        if (statusChanged && snapshot.status == MprisPlaybackStatus::playing) {
            player.startedPlaying = ++_order;
        }
    }
    // Whatever is called a new track here starts the position at 0.
    const bool positionMoved = player.position.playbackChanged(
        snapshot.status, snapshot.rate, snapshot.metadata.lengthMicroseconds, trackChanged, now);
    player.snapshot = snapshot;

    const std::string previouslyFollowed = _followed;
    follow();
    const bool followChanged = _followed != previouslyFollowed;
    if (followChanged || (positionMoved && _followed == snapshot.owner)) {
        readFollowedPosition();
    }
    planPositionRead();
    refreshArtwork();
    scheduleAnnouncement();
}

void MprisSession::playerRemoved(const std::string& removedOwner) {
    // A copy: the caller may hand in the removed player's own name.
    const std::string owner = removedOwner;
    if (_players.erase(owner) == 0) {
        return;
    }
    if (_seekOwner == owner) {
        _seekOwner.clear();
        _seekInFlight = false;
        _pendingSeek.reset();
    }
    if (_chosen == owner) {
        _chosen.clear();
    }
    refollow();
}

void MprisSession::positionRead(const std::string& owner, std::int64_t positionMicroseconds) {
    positionReported(owner, positionMicroseconds, false);
}

void MprisSession::playerSeeked(const std::string& owner, std::int64_t positionMicroseconds) {
    positionReported(owner, positionMicroseconds, true);
}

void MprisSession::positionReported(const std::string& owner, std::int64_t positionMicroseconds,
                                    bool jumped) {
    const auto found = _players.find(owner);
    // While our own seek is on its way, positions read before it would pull the
    // estimate back; the read after it settles the position.
    if (found == _players.end() || (_seekOwner == owner && (_seekInFlight || _pendingSeek))) {
        return;
    }
    auto& position = found->second.position;
    const NSTimeInterval now = mainLoop()->now();
    if (jumped) {
        position.jumped(positionMicroseconds, now);
    } else {
        position.positionRead(positionMicroseconds, now);
    }
    planPositionRead();
}

MprisSession::Player* MprisSession::followed() {
    const auto found = _players.find(_followed);
    return found == _players.end() ? nullptr : &found->second;
}

const MprisSession::Player* MprisSession::followed() const {
    const auto found = _players.find(_followed);
    return found == _players.end() ? nullptr : &found->second;
}

const MprisPlayerSnapshot* MprisSession::followedPlayer() const {
    const auto* player = followed();
    return player ? &player->snapshot : nullptr;
}

const MprisPlayerSnapshot* MprisSession::player(const std::string& owner) const {
    const auto found = _players.find(owner);
    return found == _players.end() ? nullptr : &found->second.snapshot;
}

namespace {

bool playerNameMatches(const MprisPlayerSnapshot& player, const std::string& name) {
    std::string_view suffix = player.busName;
    if (suffix.starts_with(kMprisBusNamePrefix)) {
        suffix.remove_prefix(std::string_view(kMprisBusNamePrefix).size());
    }
    const bool suffixMatches =
        equalsIgnoringCase(suffix, name) || (suffix.size() > name.size() && suffix[name.size()] == '.' &&
                                             equalsIgnoringCase(suffix.substr(0, name.size()), name));
    return suffixMatches || player.busName == name || equalsIgnoringCase(player.identity, name);
}

} // namespace

std::optional<std::size_t> MprisSession::preferenceRank(const MprisPlayerSnapshot& player) const {
    const auto& preference = _options.players;
    const auto matches = [&](const std::string& name) { return playerNameMatches(player, name); };
    if (std::ranges::any_of(preference.ignored, matches)) {
        return std::nullopt;
    }
    if (preference.names.empty()) {
        return 0;
    }
    std::optional<std::size_t> any;
    for (std::size_t index = 0; index < preference.names.size(); ++index) {
        if (preference.names[index] == "%any") {
            any = any.value_or(index);
        } else if (matches(preference.names[index])) {
            return index;
        }
    }
    return any;
}

namespace {

int filledMetadataFields(const MprisMetadata& metadata) {
    return !metadata.title.empty() + !metadata.artist.empty() + !metadata.album.empty() +
           !metadata.artUrl.empty() + (metadata.lengthMicroseconds > 0);
}

// Playing first; then the latest to start playing; then the latest to appear.
auto ruleRank(const MprisPlayerSnapshot& snapshot, std::uint64_t startedPlaying, std::uint64_t appeared) {
    return std::make_tuple(snapshot.status == MprisPlaybackStatus::playing, startedPlaying, appeared);
}

} // namespace

bool MprisSession::isDuplicateOfBetter(const Player& player) const {
    const auto& track = player.snapshot.metadata;
    if (track.title.empty()) {
        return false;
    }
    const int filled = filledMetadataFields(track);
    for (const auto& [owner, other] : _players) {
        const auto& otherTrack = other.snapshot.metadata;
        if (&other == &player || otherTrack.title != track.title || otherTrack.artist != track.artist ||
            !preferenceRank(other.snapshot)) {
            continue;
        }
        // Of two announcements of one track, the fuller one stays, else the earlier.
        const int otherFilled = filledMetadataFields(otherTrack);
        if (otherFilled > filled || (otherFilled == filled && other.appeared < player.appeared)) {
            return true;
        }
    }
    return false;
}

std::vector<const MprisSession::Player*> MprisSession::listed() const {
    std::vector<const Player*> players;
    for (const auto& [owner, player] : _players) {
        if (preferenceRank(player.snapshot) && !isDuplicateOfBetter(player)) {
            players.push_back(&player);
        }
    }
    std::ranges::sort(players, {}, &Player::appeared);
    return players;
}

std::vector<MprisPlayerSnapshot> MprisSession::listedPlayers() const {
    std::vector<MprisPlayerSnapshot> snapshots;
    for (const auto* player : listed()) {
        snapshots.push_back(player->snapshot);
    }
    return snapshots;
}

void MprisSession::follow() {
    const auto players = listed();
    if (!_chosen.empty() && std::ranges::any_of(players, [&](const Player* player) {
            return player->snapshot.owner == _chosen;
        })) {
        _followed = _chosen;
        return;
    }
    const Player* best = nullptr;
    std::size_t bestPlace = 0;
    for (const auto* player : players) {
        const std::size_t place = *preferenceRank(player->snapshot);
        if (!best || place < bestPlace ||
            (place == bestPlace && ruleRank(player->snapshot, player->startedPlaying, player->appeared) >
                                       ruleRank(best->snapshot, best->startedPlaying, best->appeared))) {
            best = player;
            bestPlace = place;
        }
    }
    _followed = best ? best->snapshot.owner : std::string();
}

void MprisSession::refollow() {
    const std::string previouslyFollowed = _followed;
    follow();
    if (_followed != previouslyFollowed) {
        readFollowedPosition();
    }
    planPositionRead();
    refreshArtwork();
    scheduleAnnouncement();
}

std::string MprisSession::followReason() const {
    const auto* player = followed();
    if (!player) {
        return "";
    }
    if (_followed == _chosen) {
        return "chosen by the user";
    }
    const auto players = listed();
    if (players.size() == 1) {
        return "the only player";
    }
    const std::size_t place = *preferenceRank(player->snapshot);
    const bool aheadOfAll = std::ranges::all_of(players, [&](const Player* other) {
        return other == player || *preferenceRank(other->snapshot) > place;
    });
    if (aheadOfAll) {
        return "first in --player's list";
    }
    if (player->snapshot.status == MprisPlaybackStatus::playing) {
        return "playing most recently";
    }
    return player->startedPlaying > 0 ? "played most recently" : "appeared last";
}

bool MprisSession::followAdjacentPlayer(int direction) {
    const auto players = listed();
    if (players.empty() || direction == 0) {
        return false;
    }
    const auto count = static_cast<std::ptrdiff_t>(players.size());
    const auto current = std::ranges::find_if(
        players, [&](const Player* player) { return player->snapshot.owner == _followed; });
    std::ptrdiff_t index = direction > 0 ? 0 : count - 1;
    if (current != players.end()) {
        index = ((current - players.begin()) + (direction > 0 ? 1 : -1) + count) % count;
    }
    _chosen = players[static_cast<std::size_t>(index)]->snapshot.owner;
    refollow();
    return true;
}

bool MprisSession::followPlayerNamed(const std::string& name) {
    const Player* best = nullptr;
    for (const auto* player : listed()) {
        if (playerNameMatches(player->snapshot, name) &&
            (!best || ruleRank(player->snapshot, player->startedPlaying, player->appeared) >
                          ruleRank(best->snapshot, best->startedPlaying, best->appeared))) {
            best = player;
        }
    }
    if (!best) {
        return false;
    }
    _chosen = best->snapshot.owner;
    refollow();
    return true;
}

bool MprisSession::followAutomatically() {
    _chosen.clear();
    refollow();
    return !_followed.empty();
}

bool MprisSession::isPlaying() const {
    const auto* player = followed();
    return player && player->snapshot.status == MprisPlaybackStatus::playing;
}

double MprisSession::durationSeconds() const {
    const auto* player = followed();
    return player ? static_cast<double>(player->snapshot.metadata.lengthMicroseconds) / 1e6 : 0.0;
}

double MprisSession::elapsedSeconds() const {
    const auto* player = followed();
    return player ? static_cast<double>(player->position.estimate(mainLoop()->now())) / 1e6 : 0.0;
}

bool MprisSession::togglePlayPause() {
    const auto* player = followed();
    if (!player) {
        return false;
    }
    const auto& snapshot = player->snapshot;
    if (!snapshot.canControl ||
        !(snapshot.status == MprisPlaybackStatus::playing ? snapshot.canPause : snapshot.canPlay)) {
        return refuseRequest();
    }
    _commands->playPause(snapshot.owner);
    return true;
}

bool MprisSession::changeTrack(int delta) {
    const auto* player = followed();
    if (!player || delta == 0) {
        return false;
    }
    const auto& snapshot = player->snapshot;
    if (!snapshot.canControl || !(delta < 0 ? snapshot.canGoPrevious : snapshot.canGoNext)) {
        return refuseRequest();
    }
    if (delta < 0) {
        _commands->previous(player->snapshot.owner);
    } else {
        _commands->next(player->snapshot.owner);
    }
    return true;
}

bool MprisSession::seekTo(double seconds) {
    auto* player = followed();
    // A player that cannot seek ignores seeks: showing the target would only make
    // the slider jump back.
    if (!player || !std::isfinite(seconds)) {
        return false;
    }
    if (!player->snapshot.canSeek || !player->snapshot.canControl) {
        return refuseRequest();
    }
    const std::int64_t length = player->snapshot.metadata.lengthMicroseconds;
    auto target = static_cast<std::int64_t>(std::llround(std::clamp(seconds, 0.0, 9.2e12) * 1e6));
    if (length > 0) {
        target = std::min(target, length);
    }
    const NSTimeInterval now = mainLoop()->now();
    if (_seekOwner != player->snapshot.owner) {
        _seekOwner = player->snapshot.owner;
        _seekInFlight = false;
        _pendingSeek.reset();
    }
    if (!_seekInFlight) {
        // Where the player really is: the base for a seek by offset.
        _sentTarget = player->position.estimate(now);
        _sentTime = now;
    }
    // Show the target at once, so that a dragged slider does not jump back.
    player->position.jumped(target, now);
    planPositionRead();
    _pendingSeek = target;
    if (!_seekInFlight) {
        sendSeek(_seekOwner);
    }
    return true;
}

bool MprisSession::refuseRequest() {
    _requestRefused = true;
    scheduleAnnouncement();
    return false;
}

void MprisSession::sendSeek(const std::string& owner) {
    const auto found = _players.find(owner);
    if (found == _players.end() || !_pendingSeek) {
        _seekInFlight = false;
        return;
    }
    const Player& player = found->second;
    const std::int64_t target = *_pendingSeek;
    _pendingSeek.reset();
    const NSTimeInterval now = mainLoop()->now();
    auto completion = NSWhileAlive(weakSelf<MprisSession>(), [owner](const Ptr<MprisSession>& alive, bool) {
        alive->seekFinished(owner);
    });
    const auto& metadata = player.snapshot.metadata;
    if (!metadata.trackId.empty() && metadata.lengthMicroseconds > 0) {
        _commands->setPosition(owner, metadata.trackId, target, completion);
    } else {
        // No usable track id (or no length, past which SetPosition is ignored): move
        // by the difference from where the player should be now.
        double current = static_cast<double>(_sentTarget);
        if (player.snapshot.status == MprisPlaybackStatus::playing) {
            current += player.snapshot.rate * (now - _sentTime) * 1e6;
        }
        _commands->seek(owner, target - static_cast<std::int64_t>(std::llround(current)), completion);
    }
    _sentTarget = target;
    _sentTime = now;
    _seekInFlight = true;
}

void MprisSession::seekFinished(const std::string& owner) {
    if (owner != _seekOwner) {
        return;
    }
    _seekInFlight = false;
    if (_pendingSeek) {
        sendSeek(owner);
    } else if (const auto found = _players.find(owner); found != _players.end()) {
        _commands->readPosition(owner);
        found->second.position.readSent(mainLoop()->now());
        planPositionRead();
    }
}

bool MprisSession::raisePlayer(const std::string& owner) {
    const auto found = _players.find(owner);
    if (found == _players.end() || !found->second.snapshot.canRaise) {
        return false;
    }
    _commands->raise(owner);
    return true;
}

double MprisSession::volume() const {
    const auto* player = followed();
    return player ? std::clamp(player->snapshot.volume, 0.0, 1.0) : 0.0;
}

bool MprisSession::setVolume(double volume) {
    auto* player = followed();
    if (!player || !std::isfinite(volume)) {
        return false;
    }
    volume = std::clamp(volume, 0.0, 1.0);
    // Kept at once; the player's own report follows. The caller announces it.
    player->snapshot.volume = volume;
    _announcedVolume = volume;
    _commands->setVolume(player->snapshot.owner, volume);
    return true;
}

void MprisSession::setPresented(bool presented) {
    if (presented == _presented) {
        return;
    }
    _presented = presented;
    if (presented) {
        readFollowedPosition();
    }
    planPositionRead();
}

void MprisSession::readFollowedPosition() {
    auto* player = followed();
    if (!player) {
        return;
    }
    if (!(_seekInFlight && _seekOwner == _followed)) {
        _commands->readPosition(_followed);
    }
    player->position.readSent(mainLoop()->now());
}

void MprisSession::planPositionRead() {
    mainLoop()->cancel(_positionReadTask);
    _positionReadTask = 0;
    const auto* player = followed();
    const auto due = player ? player->position.nextReadTime(_presented) : std::nullopt;
    if (!due) {
        return;
    }
    _positionReadTask =
        mainLoop()->scheduleAfter(std::max(0.0, *due - mainLoop()->now()),
                                  NSWhileAlive(weakSelf<MprisSession>(), &MprisSession::positionReadDue));
}

void MprisSession::positionReadDue() {
    _positionReadTask = 0;
    if (const auto* player = followed();
        player && player->position.isReadDue(_presented, mainLoop()->now())) {
        readFollowedPosition();
    }
    planPositionRead();
}

void MprisSession::refreshArtwork() {
    const auto* player = followed();
    std::optional<TrackKey> track;
    std::string url;
    if (player) {
        track = trackKey(player->snapshot.owner, player->snapshot.metadata);
        url = player->snapshot.metadata.artUrl;
    }
    // One stat, nothing read: a local file rewritten under the same name is loaded again.
    std::string stamp = url.empty() ? std::string() : mpris::artworkFileStamp(url);
    const bool sameTrack = track == _artworkTrack;
    _artworkTrack = track;
    if (url == _artworkUrl && stamp == _artworkStamp) {
        // The same picture, shown or on its way, goes with this track too.
        return;
    }
    _artworkUrl = url;
    _artworkStamp = std::move(stamp);
    // Outdates every load still on its way.
    const std::uint64_t request = ++_artworkRequest;
    // A new track never shows the previous track's picture; the same track keeps its
    // picture until the new one is decoded.
    if ((!sameTrack || url.empty()) && _artwork) {
        _artwork = UICairoSurface();
        ++_artworkSerial;
    }
    if (url.empty()) {
        return;
    }
    _artworkSource->load(url, NSWhileAlive(weakSelf<MprisSession>(),
                                           [request](const Ptr<MprisSession>& alive, UICairoSurface artwork) {
                                               alive->artworkLoaded(request, std::move(artwork));
                                           }));
}

void MprisSession::artworkLoaded(std::uint64_t request, UICairoSurface artwork) {
    if (request != _artworkRequest || (!artwork && !_artwork)) {
        return;
    }
    _artwork = std::move(artwork);
    ++_artworkSerial;
    scheduleAnnouncement();
}

void MprisSession::scheduleAnnouncement() {
    if (_announceTask != 0 && mainLoop()->isScheduled(_announceTask)) {
        return;
    }
    _announceTask =
        mainLoop()->performSoon(NSWhileAlive(weakSelf<MprisSession>(), [](const Ptr<MprisSession>& alive) {
            alive->_announceTask = 0;
            alive->announceIfChanged();
        }));
}

void MprisSession::announceIfChanged() {
    Shown shown;
    if (const auto* player = followed()) {
        shown.owner = player->snapshot.owner;
        shown.status = player->snapshot.status;
        shown.title = player->snapshot.metadata.title;
        shown.artist = player->snapshot.metadata.artist;
    }
    shown.artworkSerial = _artworkSerial;
    // A handler may release this session: keep it until both are called.
    const auto keepAlive = self<MprisSession>();
    if (const double currentVolume = volume(); currentVolume != _announcedVolume) {
        _announcedVolume = currentVolume;
        if (_volumeChanged) {
            auto handler = _volumeChanged;
            handler();
        }
    }
    ListedShown listedShown;
    listedShown.followed = _followed;
    for (const auto* player : listed()) {
        listedShown.players.emplace_back(player->snapshot.owner, player->snapshot.status);
    }
    if (listedShown != _announcedPlayers) {
        _announcedPlayers = std::move(listedShown);
        if (_playersChanged) {
            auto handler = _playersChanged;
            handler();
        }
    }
    const bool refused = std::exchange(_requestRefused, false);
    if (shown == _announced && !refused) {
        return;
    }
    _announced = std::move(shown);
    if (_nowPlayingChanged) {
        auto handler = _nowPlayingChanged;
        handler();
    }
}
