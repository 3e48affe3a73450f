#pragma once

#include <optional>
#include <string>
#include <vector>

#include "UIKit/UIImage.h"

namespace host {

// One track of the demo player.
struct DemoTrack {
    std::string title;
    // nil: the track names no artist.
    std::optional<std::string> artist;
    // Seconds; 0 for a track of unknown length, which plays on until it is left.
    double duration = 0;
    // A PNG or JPEG file; empty: the track has no artwork.
    std::string artworkPath;
};

// The demo player's own playlist: a title long enough to scroll, a track without
// artwork, one without an artist, and artwork of our own drawing taken from
// `artworkDirectory` (tracks go without artwork when it is empty or lacks a file).
std::vector<DemoTrack> builtInPlaylist(const std::string& artworkDirectory);

// Reads a playlist: a property list (XML or binary) whose root is an array of
// dictionaries with "title" (a non-empty string, required), and optionally
// "artist" (a string), "duration" (a non-negative number of seconds) and
// "artwork" (a PNG or JPEG file, relative to the playlist's directory). Throws
// HostFailure naming the file, the entry and what is wrong with it, or why the
// file cannot be read (missing, a directory, a FIFO, no permission, over 64 MB)
// or is not a property list (nested too deeply, ...).
std::vector<DemoTrack> loadPlaylist(const std::string& path);

// The PNG or JPEG image at `path`; nil when the file is missing, unreadable,
// neither, or declares more pixels than an MPRIS player's artwork may have. A JPEG is decoded by the JPEG
// module, which is loaded the first time one is met; a PNG loads like any image file
// (UIImage::imageWithContentsOfFile).
Ptr<UIImage> loadArtwork(const std::string& path);

} // namespace host
