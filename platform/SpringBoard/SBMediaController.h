#pragma once

#include <cstdint>

#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"
#include "SpringBoard/SBApplication.h"

class UIImage;

// The host's now-playing media controller. A host registers its implementation
// with the runtime registry under the name "SBMediaController", with the class
// operation `sharedInstance` and the instance variable "_nowPlayingInfo" (a
// dictionary with "title" and "artist" strings, either possibly missing).
//
// Every implementation applies a play/pause toggle at the next run-loop pass,
// never inside the call: `isPlaying` asked right after `togglePlayPause` still
// answers the state from before the toggle.
class SBMediaController : public NSObject {
public:
    virtual BOOL isPlaying() = 0;
    virtual BOOL togglePlayPause() = 0;
    // -1 previous track, 1 next track.
    virtual BOOL changeTrack(std::int32_t delta) = 0;
    // nil or empty when nothing plays.
    virtual Ptr<NSString> nowPlayingTitle() = 0;
    virtual Ptr<NSString> nowPlayingArtist() = 0;
    // The track's image, nil when there is none.
    virtual Ptr<UIImage> artwork() = 0;
    virtual double trackDuration() = 0;
    virtual double trackElapsedTime() = 0;
    virtual void setCurrentTrackTime(float seconds) = 0;
    // The playing application, or nil.
    virtual Ptr<SBApplication> nowPlayingApplication() = 0;
};

// The name of the notification a host posts (on the main thread) whenever what
// is playing changes.
inline constexpr const char* SBMediaNowPlayingChangedNotification = "SBMediaNowPlayingChangedNotification";
