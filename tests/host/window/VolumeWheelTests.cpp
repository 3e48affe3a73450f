#include "MediaPlayer/MPVolumeView.h"
#include "host/HostSystemVolume.h"
#include "support/TestSupport.h"
#include "window/VolumeWheel.h"

namespace {

using VolumeWheelTest = PlatformTest;

TEST_F(VolumeWheelTest, NotchesOverTheVolumeRowTurnTheVolumeByFivePercentWithinItsRange) {
    // The row at (100, 50) in the widget; its slider at (130, 75) to (290, 95).
    const auto root = alloc<UIView>()->initWithFrame(CGRectMake(0, 0, 320, 100));
    const auto row = alloc<UIView>()->initWithFrame(CGRectMake(100, 50, 220, 50));
    root->addSubview(row);
    row->addSubview(alloc<MPVolumeView>()->initWithFrame(CGRectMake(30, 25, 160, 20)));
    // Where, how many notches, whether the row is hidden, the volume before and after.
    const std::tuple<CGPoint, int, bool, float, float> cases[] = {
        {{140, 80}, 1, false, 0.5f, 0.55f}, {{289, 94}, -2, false, 0.5f, 0.4f},
        {{200, 85}, 3, false, 0.95f, 1},    {{200, 85}, -1, false, 0.02f, 0},
        {{129, 80}, 1, false, 0.5f, 0.5f},  {{200, 96}, 1, false, 0.5f, 0.5f},
        {{200, 85}, 1, true, 0.5f, 0.5f},
    };
    for (const auto& [point, notches, rowHidden, before, after] : cases) {
        row->setHidden(rowHidden);
        const auto volume = alloc<host::HostSystemVolume>()->initWithVolume(before);
        MPSystemVolume::setSharedService(volume);
        EXPECT_EQ(host::turnVolumeWheel(*root, point, notches), after != before) << point.x << "," << point.y;
        EXPECT_FLOAT_EQ(volume->volume(), after) << point.x << "," << point.y;
    }
    MPSystemVolume::setSharedService(nullptr);
}

} // namespace
