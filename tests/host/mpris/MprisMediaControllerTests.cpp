#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Foundation/NSLog.h"
#include "Foundation/NSRuntime.h"
#include "MprisHostServices.h"
#include "MprisMediaController.h"
#include "MprisSystemVolume.h"
#include "MprisTestSupport.h"

namespace {

using ::testing::ElementsAre;
using Status = MprisPlaybackStatus;

class ForeignApplication : public SBApplication {
public:
    BOOL isSystemApplication() const override { return YES; }
};

class MprisMediaControllerTest : public MprisSessionTest {
protected:
    void SetUp() override {
        MprisSessionTest::SetUp();
        _controller = alloc<MprisMediaController>()->initWithSession(_session);
        _token = NSNotificationCenter::defaultCenter()->addObserverForName(
            SBMediaNowPlayingChangedNotification, nullptr, [this](const Ptr<NSNotification>& notification) {
                ++_notifications;
                _sender = notification->object();
                _titleWhenNotified = NSStringText(_controller->nowPlayingTitle());
            });
    }
    void TearDown() override {
        _controller = nullptr;
        _sender = nullptr;
        MprisSessionTest::TearDown();
    }

    Ptr<MprisMediaController> _controller;
    Ptr<NSObject> _token;
    int _notifications = 0;
    Ptr<NSObject> _sender;
    std::string _titleWhenNotified;
};

TEST_F(MprisMediaControllerTest, NothingFollowedAnswersTheEmptyState) {
    EXPECT_FALSE(_controller->isPlaying());
    EXPECT_EQ(_controller->nowPlayingTitle(), nullptr);
    EXPECT_EQ(_controller->nowPlayingArtist(), nullptr);
    EXPECT_EQ(_controller->artwork(), nullptr);
    EXPECT_EQ(_controller->nowPlayingApplication(), nullptr);
    EXPECT_EQ(_controller->trackDuration(), 0);
    EXPECT_EQ(_controller->trackElapsedTime(), 0);
    EXPECT_FALSE(_controller->togglePlayPause());
    EXPECT_EQ(_controller->nowPlayingInfo()->count(), 0u);
}

TEST_F(MprisMediaControllerTest, ToggleLeavesTheStatusUntilThePlayerReportsIt) {
    auto player = makePlayer(":1.1", "alpha", Status::paused);
    _session->playerChanged(player);
    settle();
    _commands->take();

    EXPECT_TRUE(_controller->togglePlayPause());
    EXPECT_FALSE(_controller->isPlaying());
    advance(1);
    EXPECT_FALSE(_controller->isPlaying());
    player.status = Status::playing;
    _session->playerChanged(player);
    EXPECT_TRUE(_controller->isPlaying());
    EXPECT_TRUE(_controller->changeTrack(1));
    EXPECT_TRUE(_controller->changeTrack(-1));
    EXPECT_THAT(_commands->take(), ElementsAre("PlayPause :1.1", "Read :1.1", "Next :1.1", "Previous :1.1"));
}

TEST_F(MprisMediaControllerTest, ChangesPostTheNotificationWithFreshInfo) {
    auto player = makePlayer(":1.1", "alpha", Status::playing, "Windowlicker");
    player.metadata.artist = "Aphex Twin";
    _session->playerChanged(player);
    EXPECT_EQ(_notifications, 0);
    settle();
    EXPECT_EQ(_notifications, 1);
    EXPECT_EQ(_sender.get(), _controller.get());
    EXPECT_EQ(_titleWhenNotified, "Windowlicker");
    auto info = _controller->nowPlayingInfo();
    EXPECT_EQ(NSStringText(as<NSString>(info->objectForKey("title"))), "Windowlicker");
    EXPECT_EQ(NSStringText(as<NSString>(info->objectForKey("artist"))), "Aphex Twin");

    // The instance variable is found through the runtime, as the widget does.
    objc_registerClass(objc_describeClass<MprisMediaController>("MprisTestController"));
    auto description = *NSClassFromString("MprisTestController");
    description.ivars.emplace("_nowPlayingInfo", [](NSObject& instance) -> Ptr<NSObject> {
        return static_cast<MprisMediaController&>(instance).nowPlayingInfo();
    });
    objc_registerClass(description);
    const auto ivar = class_getInstanceVariable(NSClassFromString("MprisTestController"), "_nowPlayingInfo");
    EXPECT_EQ(object_getIvar(_controller.get(), ivar), info);
    objc_unregisterClass("MprisTestController");

    player.metadata.artist = "";
    _session->playerChanged(player);
    settle();
    EXPECT_EQ(_notifications, 2);
    EXPECT_EQ(_controller->nowPlayingInfo()->objectForKey("artist"), nullptr);
    EXPECT_EQ(_controller->nowPlayingArtist(), nullptr);
}

TEST_F(MprisMediaControllerTest, ArtworkIsOneImagePerDecodedPicture) {
    auto player = makePlayer(":1.1", "alpha");
    player.metadata.artUrl = "file:///art.png";
    _session->playerChanged(player);
    ASSERT_EQ(_artwork->loads.size(), 1u);
    EXPECT_EQ(_controller->artwork(), nullptr);
    _artwork->loads[0].completion(solidSurface(30, 20, 0, 0, 1));
    const auto image = _controller->artwork();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->size().width, 30);
    EXPECT_EQ(image->size().height, 20);
    EXPECT_EQ(_controller->artwork(), image);

    _session->playerRemoved(":1.1");
    EXPECT_EQ(_controller->artwork(), nullptr);
}

TEST_F(MprisMediaControllerTest, ApplicationDescribesThePlayerAndRaisesIt) {
    auto player = makePlayer(":1.1", "vlc");
    player.identity = "VLC media player";
    player.canRaise = true;
    player.canSeek = false;
    _session->playerChanged(player);
    _commands->take();

    const auto application = _controller->nowPlayingApplication();
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(NSString::stringWithFormat("%@", application)->UTF8String(), "VLC media player");
    EXPECT_FALSE(application->isSystemApplication());
    player.canSeek = true;
    _session->playerChanged(player);
    EXPECT_TRUE(application->isSystemApplication());
    EXPECT_EQ(_controller->nowPlayingApplication(), application);

    EXPECT_TRUE(_controller->activateApplication(application));
    EXPECT_FALSE(_controller->activateApplication(alloc<ForeignApplication>()));
    EXPECT_FALSE(_controller->activateApplication(nullptr));
    EXPECT_THAT(_commands->take(), ElementsAre("Raise :1.1"));

    // Once the player is gone its application answers NO and raises nothing.
    _session->playerRemoved(":1.1");
    EXPECT_FALSE(application->isSystemApplication());
    EXPECT_FALSE(_controller->activateApplication(application));
    EXPECT_EQ(_controller->nowPlayingApplication(), nullptr);
}

TEST_F(MprisMediaControllerTest, SystemVolumeIsTheFollowedPlayersVolume) {
    const auto systemVolume = alloc<MprisSystemVolume>()->initWithSession(_session);
    int changes = 0;
    const auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        MPSystemVolumeDidChangeNotification, systemVolume, [&](const Ptr<NSNotification>&) { ++changes; });
    EXPECT_EQ(systemVolume->volume(), 0.0f);
    auto player = makePlayer(":1.1", "alpha");
    player.volume = 0.4;
    _session->playerChanged(player);
    settle();
    EXPECT_FLOAT_EQ(systemVolume->volume(), 0.4f);
    EXPECT_EQ(changes, 1);
    _commands->take();

    // Set here: announced once, at once, and sent to the player.
    systemVolume->setVolume(0.75f);
    EXPECT_EQ(changes, 2);
    settle();
    EXPECT_EQ(changes, 2);
    EXPECT_FLOAT_EQ(systemVolume->volume(), 0.75f);
    EXPECT_THAT(_commands->take(), ElementsAre("Volume :1.1 0.750000"));

    // Changed by the player (above 1 reads as 1), or by following another player.
    player.volume = 1.5;
    _session->playerChanged(player);
    settle();
    EXPECT_FLOAT_EQ(systemVolume->volume(), 1.0f);
    EXPECT_EQ(changes, 3);
    auto beta = makePlayer(":1.2", "beta");
    beta.volume = 0.2;
    _session->playerChanged(beta);
    settle();
    EXPECT_FLOAT_EQ(systemVolume->volume(), 0.2f);
    EXPECT_EQ(changes, 4);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

TEST_F(MprisMediaControllerTest, TrackTimesComeFromTheFollowedPlayer) {
    _session->playerChanged(makePlayer(":1.1", "alpha"));
    _session->positionRead(":1.1", 61'000'000);
    advance(2);
    EXPECT_DOUBLE_EQ(_controller->trackDuration(), 200.0);
    EXPECT_DOUBLE_EQ(_controller->trackElapsedTime(), 63.0);
    _commands->take();
    _controller->setCurrentTrackTime(12.5f);
    EXPECT_THAT(_commands->take(), ElementsAre("SetPosition :1.1 /track/1 12500000"));
    EXPECT_DOUBLE_EQ(_controller->trackElapsedTime(), 12.5);
    _controller->setPresented(YES);
    EXPECT_TRUE(_session->isPresented());
}

TEST(MprisHostServicesTest, RegistersTheSharedControllerUnderTheHostName) {
    NSRunLoop::mainRunLoop()->reset();
    std::vector<std::string> log;
    NSLogSetSink([&](const std::string& message) { log.push_back(message); });
    // No bus at that address: the controller still answers, with nothing playing.
    const auto controller = registerMprisHostServices(
        MprisHostOptions{.playerName = "vlc", .busAddress = "unix:path=/nonexistent/trillbox-test-bus"});
    ASSERT_NE(controller, nullptr);
    const auto cls = NSClassFromString("SBMediaController");
    ASSERT_NE(cls, nullptr);
    ASSERT_TRUE(cls->sharedInstance);
    EXPECT_EQ(cls->sharedInstance(), controller);
    EXPECT_FALSE(cls->createInstance);
    const auto info = as<NSDictionary>(
        object_getIvar(cls->sharedInstance().get(), class_getInstanceVariable(cls, "_nowPlayingInfo")));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->count(), 0u);
    EXPECT_EQ(registeredMprisMediaController(), controller);
    EXPECT_NE(as<MprisSystemVolume>(MPSystemVolume::sharedService()), nullptr);
    EXPECT_FALSE(controller->isPlaying());
    EXPECT_EQ(controller->nowPlayingTitle(), nullptr);
    // The failure is logged once, from the main thread, however often the client retries.
    EXPECT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return !log.empty(); }, 5));

    unregisterMprisHostServices();
    EXPECT_EQ(NSClassFromString("SBMediaController"), nullptr);
    EXPECT_EQ(registeredMprisMediaController(), nullptr);
    EXPECT_EQ(MPSystemVolume::sharedService(), nullptr);
    NSLogSetSink(nullptr);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_THAT(log[0], ::testing::HasSubstr("cannot use the session bus"));
}

} // namespace
