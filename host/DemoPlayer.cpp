#include "host/DemoPlayer.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "Foundation/NSNotificationCenter.h"
#include "Foundation/NSWhileAlive.h"

namespace host {

Ptr<DemoPlayer> DemoPlayer::initWithTracks(std::vector<DemoTrack> tracks) {
    assert(!tracks.empty());
    NSObject::init();
    _tracks = std::move(tracks);
    _application = alloc<DemoApplication>();
    _application->init();
    moveToTrack(0);
    setPlaying(true);
    return self<DemoPlayer>();
}

double DemoPlayer::position() const {
    if (_stopped) {
        return 0;
    }
    double seconds = _anchorPosition + (_playing ? now() - _anchorTime : 0);
    if (track().duration > 0) {
        seconds = std::min(seconds, track().duration);
    }
    return std::max(seconds, 0.0);
}

void DemoPlayer::setPosition(double seconds) {
    _anchorPosition = seconds;
    _anchorTime = now();
    scheduleEndOfTrack();
}

void DemoPlayer::scheduleEndOfTrack() {
    auto* runLoop = NSRunLoop::mainRunLoop();
    runLoop->cancel(std::exchange(_endOfTrack, 0));
    if (!_playing || _stopped || track().duration <= 0) {
        return;
    }
    const double remaining = std::max(track().duration - _anchorPosition, 0.0);
    _endOfTrack = runLoop->scheduleAfter(
        remaining, NSWhileAlive(weakSelf<DemoPlayer>(), [](const Ptr<DemoPlayer>& player) {
            player->_endOfTrack = 0;
            player->trackDidEnd();
        }));
}

void DemoPlayer::trackDidEnd() {
    moveToTrack((_index + 1) % _tracks.size());
    nowPlayingChanged();
}

void DemoPlayer::moveToTrack(std::size_t index) {
    _index = index;
    const DemoTrack& current = track();
    NSDictionary::Entries info;
    info.emplace_back("title", NSStr(current.title));
    if (current.artist) {
        info.emplace_back("artist", NSStr(*current.artist));
    }
    _nowPlayingInfo =
        _stopped ? NSDictionary::dictionary() : NSDictionary::dictionaryWithEntries(std::move(info));
    setPosition(0);
}

void DemoPlayer::setPlaying(bool playing) {
    const bool wasStopped = std::exchange(_stopped, false);
    if (!wasStopped && playing == _playing) {
        return;
    }
    const double seconds = wasStopped ? 0 : position();
    _playing = playing;
    if (wasStopped) {
        // The now-playing info was emptied by the stop.
        moveToTrack(_index);
    }
    setPosition(seconds);
    nowPlayingChanged();
}

void DemoPlayer::nowPlayingChanged() {
    auto* runLoop = NSRunLoop::mainRunLoop();
    if (runLoop->isScheduled(_pendingPost)) {
        return;
    }
    // Posted from the run loop as the host posts it, never inside a widget's call.
    _pendingPost =
        runLoop->performSoon(NSWhileAlive(weakSelf<DemoPlayer>(), [](const Ptr<DemoPlayer>& player) {
            player->_pendingPost = 0;
            NSNotificationCenter::defaultCenter()->postNotificationName(SBMediaNowPlayingChangedNotification,
                                                                        player);
        }));
}

BOOL DemoPlayer::togglePlayPause() {
    NSRunLoop::mainRunLoop()->performSoon(
        NSWhileAlive(weakSelf<DemoPlayer>(), [](const Ptr<DemoPlayer>& player) {
            player->setPlaying(player->_stopped || !player->_playing);
        }));
    return YES;
}

BOOL DemoPlayer::changeTrack(std::int32_t delta) {
    if (delta == 0) {
        return NO;
    }
    skip(delta);
    return YES;
}

void DemoPlayer::skip(std::int32_t delta) {
    const auto count = static_cast<std::int64_t>(_tracks.size());
    const std::int64_t moved = (static_cast<std::int64_t>(_index) + delta % count + count) % count;
    moveToTrack(static_cast<std::size_t>(moved));
    nowPlayingChanged();
}

void DemoPlayer::play() {
    setPlaying(true);
}

void DemoPlayer::pause() {
    if (!_stopped) {
        setPlaying(false);
    }
}

void DemoPlayer::stop() {
    if (_stopped) {
        return;
    }
    _playing = false;
    _stopped = true;
    _nowPlayingInfo = NSDictionary::dictionary();
    setPosition(0);
    nowPlayingChanged();
}

void DemoPlayer::seek(double seconds) {
    if (_stopped || std::isnan(seconds)) {
        return;
    }
    seconds = std::max(seconds, 0.0);
    if (track().duration > 0) {
        seconds = std::min(seconds, track().duration);
    }
    setPosition(seconds);
}

void DemoPlayer::setCurrentTrackTime(float seconds) {
    seek(static_cast<double>(seconds));
}

Ptr<NSString> DemoPlayer::nowPlayingTitle() {
    return _stopped ? nullptr : NSStr(track().title);
}

Ptr<NSString> DemoPlayer::nowPlayingArtist() {
    return _stopped || !track().artist ? nullptr : NSStr(*track().artist);
}

Ptr<UIImage> DemoPlayer::artwork() {
    if (_stopped || track().artworkPath.empty()) {
        return nullptr;
    }
    // Only the current track's picture is kept: a long playlist would otherwise hold
    // every picture it ever showed.
    if (_artworkIndex != _index) {
        _artworkIndex = _index;
        _artwork = loadArtwork(track().artworkPath);
    }
    return _artwork;
}

double DemoPlayer::trackDuration() {
    return _stopped ? 0 : track().duration;
}

double DemoPlayer::trackElapsedTime() {
    return position();
}

Ptr<SBApplication> DemoPlayer::nowPlayingApplication() {
    return _stopped ? nullptr : _application;
}

} // namespace host
