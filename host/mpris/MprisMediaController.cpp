#include "mpris/MprisMediaController.h"

#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSWhileAlive.h"

Ptr<MprisMediaController> MprisMediaController::initWithSession(const Ptr<MprisSession>& session) {
    NSObject::init();
    _session = session;
    _nowPlayingInfo = NSDictionary::dictionary();
    _session->setNowPlayingChangedHandler(
        NSWhileAlive(weakSelf<MprisMediaController>(), &MprisMediaController::nowPlayingChanged));
    return self<MprisMediaController>();
}

MprisMediaController::~MprisMediaController() {
    if (_session) {
        _session->setNowPlayingChangedHandler(nullptr);
    }
}

BOOL MprisMediaController::isPlaying() {
    return _session->isPlaying();
}

BOOL MprisMediaController::togglePlayPause() {
    return _session->togglePlayPause();
}

BOOL MprisMediaController::changeTrack(std::int32_t delta) {
    return _session->changeTrack(delta);
}

Ptr<NSString> MprisMediaController::nowPlayingTitle() {
    const auto* player = _session->followedPlayer();
    return player && !player->metadata.title.empty() ? NSStr(player->metadata.title) : nullptr;
}

Ptr<NSString> MprisMediaController::nowPlayingArtist() {
    const auto* player = _session->followedPlayer();
    return player && !player->metadata.artist.empty() ? NSStr(player->metadata.artist) : nullptr;
}

Ptr<UIImage> MprisMediaController::artwork() {
    // One image object per decoded artwork, so that repeated calls answer the same image.
    if (_artworkSerial != _session->artworkSerial()) {
        _artworkSerial = _session->artworkSerial();
        _artwork = _session->artwork() ? UIImage::imageWithSurface(_session->artwork()) : nullptr;
    }
    return _artwork;
}

double MprisMediaController::trackDuration() {
    return _session->durationSeconds();
}

double MprisMediaController::trackElapsedTime() {
    return _session->elapsedSeconds();
}

void MprisMediaController::setCurrentTrackTime(float seconds) {
    _session->seekTo(static_cast<double>(seconds));
}

Ptr<SBApplication> MprisMediaController::nowPlayingApplication() {
    const auto* player = _session->followedPlayer();
    if (!player) {
        _application = nullptr;
        return nullptr;
    }
    if (!_application || _application->owner() != player->owner) {
        _application = alloc<MprisApplication>()->initWithPlayer(_session, *player);
    }
    return _application;
}

bool MprisMediaController::activateApplication(const Ptr<SBApplication>& application) {
    const auto ours = as<MprisApplication>(application);
    return ours && _session->raisePlayer(ours->owner());
}

void MprisMediaController::setPresented(bool presented) {
    _session->setPresented(presented);
}

void MprisMediaController::updateNowPlayingInfo() {
    auto info = NSMutableDictionary::dictionary();
    if (const auto title = nowPlayingTitle()) {
        info->setObject(title, "title");
    }
    if (const auto artist = nowPlayingArtist()) {
        info->setObject(artist, "artist");
    }
    _nowPlayingInfo = info;
}

void MprisMediaController::nowPlayingChanged() {
    // Keep ourselves alive: an observer may drop the last other reference.
    const auto keepAlive = self<MprisMediaController>();
    updateNowPlayingInfo();
    NSNotificationCenter::defaultCenter()->postNotificationName(SBMediaNowPlayingChangedNotification,
                                                                keepAlive);
}
