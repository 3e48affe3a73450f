#include <gtest/gtest.h>

#include "host/DemoPlayer.h"
#include "host/HostSession.h"
#include "support/TestPaths.h"
#include "support/TestSupport.h"

namespace {

class HostSessionTest : public PlatformTest {
protected:
    host::HostOptions sessionOptions() {
        files.write("list.plist", R"(<plist version="1.0"><array><dict><key>title</key><string>Solo</string>
<key>duration</key><integer>30</integer></dict></array></plist>)");
        return {.bundlePath = TRILLBOX_BUNDLE_DIR,
                .deviceRoot = deviceRoot().path(),
                .playlistPath = files.file("list.plist")};
    }
    TemporaryDirectory files;
};

TEST_F(HostSessionTest, ASessionTakesItsPlayerAlongAndTheNextSessionsWidgetDrivesItsOwn) {
    WeakPtr<host::DemoPlayer> firstPlayer;
    {
        host::HostSession first(sessionOptions());
        first.present();
        first.wait(1.5);
        firstPlayer = first.mediaBackEnd().demoPlayer();
    }
    EXPECT_TRUE(firstPlayer.expired());

    host::HostSession second(sessionOptions());
    second.present();
    ASSERT_TRUE(second.mediaBackEnd().demoPlayer()->isPlaying());
    second.tap(CGPointMake(210, 52)); // the play/pause button
    EXPECT_FALSE(second.mediaBackEnd().demoPlayer()->isPlaying());
}

} // namespace
