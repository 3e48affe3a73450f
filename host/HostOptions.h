#pragma once

#include <string>
#include <vector>

#include "CoreGraphics/CGGeometry.h"

namespace host {

// Where the widget's music comes from: the built-in demo player, or the MPRIS
// players of the session bus.
enum class PlayerKind { demo, mpris };

// Which MPRIS players take part, and which of them comes first. A name matches a
// player's bus-name suffix (with or without an instance suffix) or its Identity,
// case-insensitively.
struct PlayerPreference {
    // Names in priority order: the first present wins. "%any" stands for every
    // player not named, ranked among themselves by the rule. Empty: every player,
    // by the rule.
    std::vector<std::string> names;
    // Players that never take part.
    std::vector<std::string> ignored;
    bool operator==(const PlayerPreference&) const = default;
};

// How a session is set up. Front-ends fill it from their command line.
struct HostOptions {
    // Trillbox.bundle; empty: found next to the executable.
    std::string bundlePath;
    // Where device paths (the settings file) live; empty: the platform's default.
    std::string deviceRoot;
    // A playlist for the demo player; empty: the built-in one.
    std::string playlistPath;
    PlayerKind player = PlayerKind::demo;
    // With the MPRIS players: which of them take part, in what order.
    PlayerPreference players;
    // The volume slider turns the sound server's default output (as it always does
    // with the MPRIS players); false: the back-end's own volume (the demo's kept number).
    bool soundServerVolume = false;
    // Run the bundle as the older host does: the legacy controller in a 70-point strip.
    bool legacy = false;
    // Pixels per point of the main screen (and of bundle images).
    CGFloat scale = 2;
    // The host's width in points: the screen's, and the legacy strip's.
    CGFloat hostWidth = 320;
    // True: time moves only through wait() (headless runs); false: the system clock.
    bool manualClock = true;
    // True: alerts and share sheets are closed at the next pass, as by the cancel
    // button (headless); false: the front-end answers them.
    bool closePresentationsAutomatically = true;
};

} // namespace host
