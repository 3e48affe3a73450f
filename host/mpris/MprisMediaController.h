#pragma once

#include <cstdint>

#include "Foundation/NSCollections.h"
#include "SpringBoard/SBMediaController.h"
#include "UIKit/UIImage.h"
#include "mpris/MprisApplication.h"
#include "mpris/MprisSession.h"

// The host's media controller backed by the MPRIS players of a session bus.
//
// It answers for the followed player (see MprisSession): `isPlaying` is its
// status "Playing"; `togglePlayPause` sends PlayPause and leaves the cached status
// alone until the player reports the change, so `isPlaying` asked right after it
// still answers the state from before; `changeTrack` -1 / 1 send Previous / Next;
// title, artist, duration and artwork come from its metadata; the elapsed time is
// its extrapolated position; `setCurrentTrackTime` sets the position (SetPosition
// with the track id, or Seek by the difference). It posts
// "SBMediaNowPlayingChangedNotification" on the main run loop whenever the
// followed player, its status, title, artist or artwork change.
class MprisMediaController : public SBMediaController {
public:
    Ptr<MprisMediaController> initWithSession(const Ptr<MprisSession>& session);
    ~MprisMediaController() override;

    BOOL isPlaying() override;
    BOOL togglePlayPause() override;
    BOOL changeTrack(std::int32_t delta) override;
    Ptr<NSString> nowPlayingTitle() override;
    Ptr<NSString> nowPlayingArtist() override;
    Ptr<UIImage> artwork() override;
    double trackDuration() override;
    double trackElapsedTime() override;
    void setCurrentTrackTime(float seconds) override;
    Ptr<SBApplication> nowPlayingApplication() override;

    // For the host's UI controller: raises the application's player when it is
    // one of this controller's players and it can be raised; answers whether the
    // request was sent.
    bool activateApplication(const Ptr<SBApplication>& application);
    // The host tells whether the widget is presented: the position is only read
    // again periodically while it is.
    void setPresented(bool presented);

    // The "_nowPlayingInfo" dictionary: "title" and "artist" strings, each
    // present only when the followed player has one.
    const Ptr<NSDictionary>& nowPlayingInfo() const { return _nowPlayingInfo; }
    const Ptr<MprisSession>& session() const { return _session; }

private:
    void nowPlayingChanged();
    void updateNowPlayingInfo();

    Ptr<MprisSession> _session;
    Ptr<NSDictionary> _nowPlayingInfo;
    Ptr<MprisApplication> _application;
    Ptr<UIImage> _artwork;
    std::uint64_t _artworkSerial = 0;
};
