#pragma once

#include <cstdint>
#include <string>

// How a player says it plays; anything it sends that is not "Playing" or
// "Paused" reads as stopped.
enum class MprisPlaybackStatus { stopped, paused, playing };

// One track as a player describes it, checked and cleaned: every text is valid
// UTF-8 of bounded length.
struct MprisMetadata {
    // "" when missing.
    std::string title;
    // "" when missing; several artists are joined with ", ".
    std::string artist;
    // 0 when unknown.
    std::int64_t lengthMicroseconds = 0;
    // An object path that SetPosition accepts; "" when the player sent none usable.
    std::string trackId;
    std::string artUrl;
    std::string url;
    // "" when missing.
    std::string album;

    bool operator==(const MprisMetadata&) const = default;
};

// What is known of one player from its cached properties.
struct MprisPlayerSnapshot {
    // The unique bus name of the player's connection: the key of a player.
    std::string owner;
    // The player's well-known name, "org.mpris.MediaPlayer2.<name>".
    std::string busName;
    // The player's own name for itself; the bus-name suffix when it sends none.
    std::string identity;
    bool canRaise = false;

    MprisPlaybackStatus status = MprisPlaybackStatus::stopped;
    MprisMetadata metadata;
    // Always finite and positive: a missing or nonsensical rate reads as 1.
    double rate = 1.0;
    // 0 to 1 in practice; some players go above 1.
    double volume = 1.0;
    // A player that does not say what it can do is asked all the same, except to seek.
    bool canSeek = false;
    bool canGoNext = true;
    bool canGoPrevious = true;
    bool canPlay = true;
    bool canPause = true;
    bool canControl = true;

    bool operator==(const MprisPlayerSnapshot&) const = default;
};

// The prefix of every player's bus name.
inline constexpr const char* kMprisBusNamePrefix = "org.mpris.MediaPlayer2.";
inline constexpr const char* kMprisObjectPath = "/org/mpris/MediaPlayer2";
inline constexpr const char* kMprisRootInterface = "org.mpris.MediaPlayer2";
inline constexpr const char* kMprisPlayerInterface = "org.mpris.MediaPlayer2.Player";
