#include "Foundation/NSNumber.h"
#include "MediaPlayer/MPVolumeView.h"
#include "UIKit/UIImageView.h"
#include "widget/WidgetTestSupport.h"

namespace widget_test {
namespace {

using SettingsTest = WidgetTest;

Ptr<NSDictionary> dictionary(NSDictionary::Entries entries) {
    return NSDictionary::dictionaryWithEntries(std::move(entries));
}

// What the widget took from the file; the start view is 'v'olume, 't'ime or 'k'ept
// as the user last chose.
struct Settings {
    char startView;
    BOOL shareArtwork, showSeperators;
    CGFloat radius;
};
const Settings kDefaults{'t', YES, NO, 0};

// Reads the file as a controller whose user last chose either row.
void expectReads(TrillboxViewControllerNew& controller, const Settings& expected) {
    for (const BOOL before : {NO, YES}) {
        controller.isVolume = before;
        controller.getAndSetSettingsFromPlist();
        EXPECT_EQ(controller.isVolume, expected.startView == 'k' ? before : expected.startView == 'v')
            << before;
        EXPECT_EQ(controller.shareArtwork, expected.shareArtwork);
        EXPECT_EQ(controller.showSeperators, expected.showSeperators);
        EXPECT_DOUBLE_EQ(controller.artworkCornerRadius, expected.radius);
    }
}

TEST_F(SettingsTest, EveryKeyIsReadInBothEncodingsAndAnUnusableValueOrFileCountsAsAbsent) {
    const auto number = [](double value) { return NSNumber::numberWithDouble(value); };
    const auto yes = NSNumber::numberWithBool(true), no = NSNumber::numberWithBool(false);
    const struct {
        Ptr<NSObject> root;
        Settings expected;
    } cases[]{
        {dictionary({}), kDefaults},
        {NSArray::arrayWithObjects({NSStr("volume")}), kDefaults},
        {dictionary({{"startView", NSStr("volume")}}), {'v', YES, NO, 0}},
        {dictionary({{"startView", NSStr("time")}}), kDefaults},
        {dictionary({{"startView", NSStr("Volume")}}), {'k', YES, NO, 0}},
        {dictionary({{"shareArtwork", no}}), {'t', NO, NO, 0}},
        {dictionary({{"showSeperators", yes}}), {'t', YES, YES, 0}},
        {dictionary({{"showSeparators", yes}}), kDefaults},
        {dictionary({{"roundedCornersValue", number(12.5)}}), {'t', YES, NO, 12.5}},
        {dictionary({{"showSeperators", number(2)}}), {'t', YES, YES, 0}},
        {dictionary({{"shareArtwork", NSStr("NO")},
                     {"showSeperators", NSStr("YES")},
                     {"roundedCornersValue", NSStr("7.5")}}),
         {'t', NO, YES, 7.5}},
        {dictionary({{"startView", number(1)},
                     {"shareArtwork", NSArray::arrayWithObjects({no})},
                     {"showSeperators", dictionary({{"on", yes}})},
                     {"roundedCornersValue", NSArray::array()}}),
         kDefaults},
        {dictionary({{"roundedCornersValue", number(-4)}}), kDefaults},
    };
    makeController();
    expectReads(*controller, kDefaults); // no file
    // A broken or truncated file gives the defaults.
    for (const char* bytes :
         {"<?xml version=\"1.0\"?><plist><dict><key>startView</key>", "bplist00\xd1\x01\x02"}) {
        writeSettings(bytes);
        expectReads(*controller, kDefaults);
    }
    for (const auto format : {NSPropertyListXMLFormat_v1_0, NSPropertyListBinaryFormat_v1_0}) {
        for (std::size_t row = 0; row < std::size(cases); ++row) {
            SCOPED_TRACE(testing::Message() << "row " << row << " format " << format);
            writeSettings(cases[row].root, format);
            expectReads(*controller, cases[row].expected);
        }
    }
}

TEST_F(SettingsTest, TheFileShapesTheViewAtEachBuildOnly) {
    makeController();
    const std::size_t plain = controller->view()->subviews().size();
    writeSettings(dictionary({{"startView", NSStr("volume")},
                              {"showSeperators", NSNumber::numberWithBool(true)},
                              {"roundedCornersValue", NSNumber::numberWithInteger(8)}}));
    EXPECT_TRUE(controller->myVolumeView()->isHidden());
    controller->setView(nullptr);
    controller->view();
    EXPECT_FALSE(controller->myVolumeView()->isHidden());
    EXPECT_DOUBLE_EQ(controller->artworkImageView()->layer()->cornerRadius(), 8);
    EXPECT_EQ(controller->view()->subviews().size(), plain + 2); // a line above and one below
}

} // namespace
} // namespace widget_test
