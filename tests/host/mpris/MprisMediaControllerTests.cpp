#include <gmock/gmock.h>

#include "host/mpris/MprisTestSupport.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class MprisMediaControllerTest : public MprisSessionTest {};

TEST_F(MprisMediaControllerTest, ForwardsToTheFollowedPlayer) {
    const auto sendEveryRequest = [this] {
        _controller->togglePlayPause();
        _controller->changeTrack(1);
        _controller->changeTrack(-1);
        _controller->activateApplication(_controller->nowPlayingApplication());
        _volume->setVolume(1.7f);
        _controller->setPresented(!_session->isPresented());
        _controller->setCurrentTrackTime(12.5f);
    };
    sendEveryRequest();
    EXPECT_THAT(_commands->take(), IsEmpty());
    auto player = makePlayer(":1.1");
    player.identity = "VLC media player";
    player.canRaise = true;
    _session->playerChanged(player);
    _session->playerChanged(makePlayer(":1.2", MprisPlaybackStatus::paused));
    _session->setPresented(false);
    _commands->take();
    sendEveryRequest();
    EXPECT_THAT(_commands->take(),
                ElementsAre("PlayPause :1.1", "Next :1.1", "Previous :1.1", "Raise :1.1",
                            "Volume :1.1 1.000000", "Read :1.1", "SetPosition :1.1 /t/1 12500000"));
    // The cached status changes only when the player reports it.
    EXPECT_TRUE(_controller->isPlaying());
    EXPECT_DOUBLE_EQ(_controller->trackDuration(), 200.0);
    EXPECT_DOUBLE_EQ(_controller->trackElapsedTime(), 12.5);

    // The application reads the player as it is now (the slider takes touches if it can seek).
    const auto application = _controller->nowPlayingApplication();
    EXPECT_EQ(application->description(), "VLC media player");
    player.canSeek = player.canRaise = false;
    _session->playerChanged(player);
    EXPECT_FALSE(application->isSystemApplication());
    EXPECT_FALSE(_controller->activateApplication(application));
}

TEST_F(MprisMediaControllerTest, ChangesArePostedOncePerPassWithFreshInfo) {
    std::vector<std::string> posts;
    auto* center = NSNotificationCenter::defaultCenter();
    center->addObserverForName(
        SBMediaNowPlayingChangedNotification, _controller, [&](const Ptr<NSNotification>&) {
            posts.push_back(NSStringText(as<NSString>(_controller->nowPlayingInfo()->objectForKey("title"))));
        });
    center->addObserverForName(MPSystemVolumeDidChangeNotification, _volume, [&](const Ptr<NSNotification>&) {
        posts.push_back("volume " + std::to_string(_volume->volume()));
    });
    // Appearing and changing title and status in one pass: one post after it, and one for the volume.
    auto player = makePlayer(":1.1");
    player.metadata.artUrl = "file:///art.png";
    player.volume = 1.5;
    _session->playerChanged(player);
    player.metadata.title = "Other";
    player.status = MprisPlaybackStatus::paused;
    _session->playerChanged(player);
    EXPECT_THAT(posts, IsEmpty());
    settle();
    // Volume and position are not what plays; artwork is, one image per decoded picture.
    player.volume = 0.3;
    _session->playerChanged(player);
    _session->playerSeeked(":1.1", 4'000'000);
    settle();
    _artwork->loads.back().second(surfaceOfSize(30, 20));
    const auto image = _controller->artwork();
    EXPECT_EQ(image->size().width, 30);
    EXPECT_EQ(_controller->artwork(), image);
    settle();
    player.metadata.title = "";
    _session->playerChanged(player);
    settle();
    EXPECT_EQ(_controller->nowPlayingInfo()->objectForKey("title"), nullptr);
    // A volume set here is posted at once.
    _volume->setVolume(0.75f);
    _session->playerRemoved(":1.1");
    settle();
    EXPECT_THAT(posts, ElementsAre("volume 1.000000", "Other", "volume 0.300000", "Other", "",
                                   "volume 0.750000", "volume 0.000000", ""));
}

} // namespace
