#include "MediaPlayer/MPVolumeView.h"
#include "host/HostSystemVolume.h"
#include "support/TestSupport.h"
#include "window/VolumeWheel.h"

namespace {

using VolumeWheelTest = PlatformTest;

TEST_F(VolumeWheelTest, NotchesOverTheVolumeRowTurnTheVolumeByFivePercentWithinItsRange) {
    const struct {
        const char* what;
        CGPoint point;
        int notches;
        bool rowHidden;
        float before;
        float after;
    } cases[] = {
        {"up", {140, 80}, 1, false, 0.5f, 0.55f},
        {"down two at the row's far end", {289, 94}, -2, false, 0.5f, 0.4f},
        {"up past full", {200, 85}, 3, false, 0.95f, 1},
        {"down past silence", {200, 85}, -1, false, 0.02f, 0},
        {"beside the row", {129, 80}, 1, false, 0.5f, 0.5f},
        {"below the row", {200, 96}, 1, false, 0.5f, 0.5f},
        {"over the hidden row", {200, 85}, 1, true, 0.5f, 0.5f},
    };
    for (const auto& each : cases) {
        const auto root = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 100));
        const auto row = alloc<UIView>()->initWithFrame(CGRectMake(100, 50, 220, 50));
        root->addSubview(row);
        row->addSubview(alloc<MPVolumeView>()->initWithFrame(CGRectMake(30, 25, 160, 20)));
        row->setHidden(each.rowHidden);
        const auto volume = alloc<host::HostSystemVolume>()->initWithVolume(each.before);
        MPSystemVolume::setSharedService(volume);
        EXPECT_EQ(host::turnVolumeWheel(*root, each.point, each.notches), each.after != each.before)
            << each.what;
        EXPECT_FLOAT_EQ(volume->volume(), each.after) << each.what;
    }
    MPSystemVolume::setSharedService(nullptr);
}

} // namespace
