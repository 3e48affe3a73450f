#include <gtest/gtest.h>

#include "window/PlayerCaption.h"

namespace {

using host::PlayerListing;

// The caption names the followed player, by its Identity (its bus name when it
// has none), and its place when there are others to move to.
TEST(PlayerCaption, NamesTheFollowedPlayerAndItsPlace) {
    const PlayerListing vlc{"org.mpris.MediaPlayer2.vlc", "VLC media player", "Playing", false};
    const PlayerListing mpv{"org.mpris.MediaPlayer2.mpv", "mpv", "Paused", false};
    PlayerListing followedMpv = mpv, followedNameless{"org.mpris.MediaPlayer2.x", "", "Stopped", true};
    followedMpv.followed = true;
    const std::vector<std::pair<std::vector<PlayerListing>, std::string>> cases = {
        {{}, ""},
        {{vlc, mpv}, ""},
        {{followedMpv}, "mpv"},
        {{vlc, followedMpv}, "mpv \u00B7 2 of 2"},
        {{followedMpv, vlc, vlc}, "mpv \u00B7 1 of 3"},
        {{vlc, followedNameless}, "org.mpris.MediaPlayer2.x \u00B7 2 of 2"},
    };
    for (const auto& [players, caption] : cases) {
        EXPECT_EQ(host::playerCaptionText(players), caption) << caption;
    }
}

} // namespace
