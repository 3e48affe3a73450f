#include <gtest/gtest.h>

#include "window/PlayerCaption.h"

namespace {

using host::PlayerListing;

// The caption names the followed player, by its Identity (its bus name when it
// has none), and its place when there are others to move to.
TEST(PlayerCaption, NamesTheFollowedPlayerAndItsPlace) {
    const PlayerListing vlc{"org.mpris.MediaPlayer2.vlc", "VLC media player", "Playing", false};
    const PlayerListing mpv{"org.mpris.MediaPlayer2.mpv", "mpv", "Paused", false};
    const PlayerListing nameless{"org.mpris.MediaPlayer2.x", "", "Stopped", false};
    const auto followed = [](PlayerListing player) {
        player.followed = true;
        return player;
    };
    const std::vector<std::pair<std::vector<PlayerListing>, std::string>> cases = {
        {{}, ""},
        {{vlc, mpv}, ""},
        {{followed(vlc)}, "VLC media player"},
        {{vlc, followed(mpv)}, "mpv \u00B7 2 of 2"},
        {{followed(vlc), mpv, nameless}, "VLC media player \u00B7 1 of 3"},
        {{vlc, followed(nameless)}, "org.mpris.MediaPlayer2.x \u00B7 2 of 2"},
    };
    for (const auto& [players, caption] : cases) {
        EXPECT_EQ(host::playerCaptionText(players), caption) << caption;
    }
}

} // namespace
