#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Foundation/NSCollections.h"
#include "Foundation/NSRunLoop.h"
#include "SpringBoard/SBMediaController.h"
#include "UIKit/UIImage.h"
#include "host/DemoApplication.h"
#include "host/DemoPlaylist.h"

namespace host {

// The built-in player: a playlist played on the main run loop's clock.
//
// It starts playing the first track when created. While playing, the elapsed time
// grows with the run loop's time; at the end of a track it goes on to the next
// (after the last, the first). A toggle of play/pause takes effect at the next
// run-loop pass, so `isPlaying` asked right after `togglePlayPause` answers the
// state from before. It posts SBMediaNowPlayingChangedNotification at the next
// pass (once per pass) whenever the track, the play state or whether anything
// plays changes. Stopped, it plays nothing: no title, no artist, no artwork, no
// application, times 0. The work it schedules holds it weakly, so a player that
// goes away leaves nothing behind to run.
class DemoPlayer : public SBMediaController {
public:
    // `tracks` must not be empty.
    Ptr<DemoPlayer> initWithTracks(std::vector<DemoTrack> tracks);

    // --- What the widget calls ---------------------------------------------------

    BOOL isPlaying() override { return _playing; }
    BOOL togglePlayPause() override;
    // Wraps around the playlist; the play state is kept and the new track starts at 0.
    BOOL changeTrack(std::int32_t delta) override;
    Ptr<NSString> nowPlayingTitle() override;
    Ptr<NSString> nowPlayingArtist() override;
    Ptr<UIImage> artwork() override;
    double trackDuration() override;
    double trackElapsedTime() override;
    // Clamped to the track; NaN is ignored. Seeking to the end goes on to the next track.
    void setCurrentTrackTime(float seconds) override;
    Ptr<SBApplication> nowPlayingApplication() override;

    // The "_nowPlayingInfo" dictionary: "title" and, when the track names one,
    // "artist"; empty while stopped.
    const Ptr<NSDictionary>& nowPlayingInfo() const { return _nowPlayingInfo; }

    // --- What the player application itself does --------------------------------

    // Plays (from the current track's position, or its start after a stop).
    void play();
    void pause();
    // Stops: nothing plays until the next play, which starts the current track over.
    void stop();
    // Moves `delta` tracks, wrapping, as changeTrack.
    void skip(std::int32_t delta);
    // Moves the play position, as setCurrentTrackTime but at full precision.
    void seek(double seconds);

    bool isStopped() const { return _stopped; }
    std::size_t currentTrackIndex() const { return _index; }
    const std::vector<DemoTrack>& tracks() const { return _tracks; }

private:
    const DemoTrack& track() const { return _tracks[_index]; }
    double now() const { return NSRunLoop::mainRunLoop()->now(); }
    // The position now, whatever the play state.
    double position() const;
    void setPlaying(bool playing);
    void moveToTrack(std::size_t index);
    // Re-anchors the position at `seconds` from now on and reschedules the track's end.
    void setPosition(double seconds);
    void scheduleEndOfTrack();
    void trackDidEnd();
    void nowPlayingChanged();

    std::vector<DemoTrack> _tracks;
    // The picture of track _artworkIndex, decoded when that track first asked for it.
    std::optional<std::size_t> _artworkIndex;
    Ptr<UIImage> _artwork;
    std::size_t _index = 0;
    bool _playing = false;
    bool _stopped = false;
    // The position is _anchorPosition at _anchorTime, growing from then while playing.
    double _anchorPosition = 0;
    double _anchorTime = 0;
    NSRunLoop::TaskId _endOfTrack = 0;
    NSRunLoop::TaskId _pendingPost = 0;
    Ptr<NSDictionary> _nowPlayingInfo;
    Ptr<DemoApplication> _application;
};

} // namespace host
