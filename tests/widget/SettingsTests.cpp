#include "Foundation/NSNumber.h"
#include "UIKit/UIImageView.h"
#include "WidgetTestSupport.h"

namespace widget_test {
namespace {

struct Settings {
    BOOL isVolume;
    BOOL shareArtwork;
    BOOL showSeperators;
    CGFloat radius;
};
const Settings kDefaults{NO, YES, NO, 0};

Ptr<NSDictionary> dictionary(NSDictionary::Entries entries) {
    return NSDictionary::dictionaryWithEntries(std::move(entries));
}
Ptr<NSObject> number(double value) {
    return NSNumber::numberWithDouble(value);
}
Ptr<NSObject> boolean(bool value) {
    return NSNumber::numberWithBool(value);
}

struct SettingsCase {
    const char* name;
    std::function<Ptr<NSObject>()> root;
    Settings expected;
};

class SettingsFileTest : public WidgetTest {
protected:
    void expectSettings(const Settings& expected, const char* name) {
        SCOPED_TRACE(name);
        EXPECT_EQ(controller->isVolume, expected.isVolume);
        EXPECT_EQ(controller->shareArtwork, expected.shareArtwork);
        EXPECT_EQ(controller->showSeperators, expected.showSeperators);
        EXPECT_DOUBLE_EQ(controller->artworkCornerRadius, expected.radius);
        EXPECT_TRUE(controller->roundedCover);
    }
};

class SettingsTest : public SettingsFileTest, public ::testing::WithParamInterface<NSPropertyListFormat> {};

TEST_P(SettingsTest, EveryKeyReadsAsDocumentedInBothEncodings) {
    const std::vector<SettingsCase> cases{
        {"empty dictionary", [] { return dictionary({}); }, kDefaults},
        {"root array", [] { return NSArray::arrayWithObjects({NSStr("volume")}); }, kDefaults},
        {"volume",
         [] {
             return dictionary({{"startView", NSStr("volume")}});
         },
         {YES, YES, NO, 0}},
        {"time",
         [] {
             return dictionary({{"startView", NSStr("time")}});
         },
         kDefaults},
        {"capital Volume",
         [] {
             return dictionary({{"startView", NSStr("Volume")}});
         },
         kDefaults},
        {"no artwork",
         [] {
             return dictionary({{"shareArtwork", boolean(false)}});
         },
         {NO, NO, NO, 0}},
        {"artwork",
         [] {
             return dictionary({{"shareArtwork", boolean(true)}});
         },
         kDefaults},
        {"separators",
         [] {
             return dictionary({{"showSeperators", boolean(true)}});
         },
         {NO, YES, YES, 0}},
        {"corrected spelling",
         [] {
             return dictionary({{"showSeparators", boolean(true)}});
         },
         kDefaults},
        {"radius 12",
         [] {
             return dictionary({{"roundedCornersValue", number(12)}});
         },
         {NO, YES, NO, 12}},
        {"radius 12.5",
         [] {
             return dictionary({{"roundedCornersValue", number(12.5)}});
         },
         {NO, YES, NO, 12.5}},
        {"number as switch",
         [] {
             return dictionary({{"showSeperators", number(2)}});
         },
         {NO, YES, YES, 0}},
        {"strings",
         [] {
             return dictionary({{"shareArtwork", NSStr("NO")},
                                {"showSeperators", NSStr("YES")},
                                {"roundedCornersValue", NSStr("7.5")}});
         },
         {NO, NO, YES, 7.5}},
        {"wrong types",
         [] {
             return dictionary({{"startView", number(1)},
                                {"shareArtwork", NSArray::arrayWithObjects({boolean(false)})},
                                {"showSeperators", dictionary({{"on", boolean(true)}})},
                                {"roundedCornersValue", NSArray::array()}});
         },
         kDefaults},
        {"unusable radius",
         [] {
             return dictionary({{"roundedCornersValue", number(-4)}});
         },
         kDefaults},
        {"everything",
         [] {
             return dictionary({{"startView", NSStr("volume")},
                                {"shareArtwork", boolean(false)},
                                {"showSeperators", boolean(true)},
                                {"roundedCornersValue", number(10)}});
         },
         {YES, NO, YES, 10}},
    };
    makeController();
    for (const SettingsCase& settingsCase : cases) {
        writeSettings(settingsCase.root(), GetParam());
        controller->isVolume = NO;
        controller->getAndSetSettingsFromPlist();
        expectSettings(settingsCase.expected, settingsCase.name);
    }
}

INSTANTIATE_TEST_SUITE_P(Encodings, SettingsTest,
                         ::testing::Values(NSPropertyListXMLFormat_v1_0, NSPropertyListBinaryFormat_v1_0));

TEST_F(SettingsFileTest, NoFileACorruptFileAndATruncatedOneGiveTheDefaults) {
    makeController();
    expectSettings(kDefaults, "no file");

    const std::string garbage = "<?xml version=\"1.0\"?><plist><dict><key>startView</key>";
    writeSettingsBytes(NSData::dataWithBytes(garbage.data(), garbage.size()));
    controller->getAndSetSettingsFromPlist();
    expectSettings(kDefaults, "corrupt");

    const Ptr<NSData> binary = NSPropertyListSerialization::dataWithPropertyList(
        dictionary({{"startView", NSStr("volume")}}), NSPropertyListBinaryFormat_v1_0);
    writeSettingsBytes(NSData::dataWithBytes(binary->bytes(), binary->length() / 2));
    controller->getAndSetSettingsFromPlist();
    expectSettings(kDefaults, "truncated");
}

TEST_F(SettingsFileTest, AnUnknownStartViewKeepsTheRowTheUserLastChose) {
    writeSettings(dictionary({{"startView", NSStr("both")}}));
    makeController();
    EXPECT_FALSE(controller->isVolume);
    controller->isVolume = YES;
    controller->getAndSetSettingsFromPlist();
    EXPECT_TRUE(controller->isVolume);
}

TEST_F(SettingsFileTest, TheFileIsReadAtEachViewBuildOnly) {
    makeController();
    writeSettings(dictionary({{"startView", NSStr("volume")}, {"roundedCornersValue", number(8)}}));
    EXPECT_FALSE(controller->isVolume);
    EXPECT_DOUBLE_EQ(controller->artworkImageView()->layer()->cornerRadius(), 0);

    controller->setView(nullptr);
    controller->view();
    EXPECT_TRUE(controller->isVolume);
    EXPECT_DOUBLE_EQ(controller->artworkImageView()->layer()->cornerRadius(), 8);
}

TEST_F(SettingsFileTest, TheSettingsLiveAtTheFixedDevicePath) {
    EXPECT_STREQ(TrillboxPreferencesPath, "/var/mobile/Library/Preferences/org.trillbox.TrillboxPrefs.plist");
    writeSettings(dictionary({{"startView", NSStr("volume")}}));
    EXPECT_TRUE(std::filesystem::exists(
        deviceRoot().file("var/mobile/Library/Preferences/org.trillbox.TrillboxPrefs.plist")));
    makeController();
    EXPECT_TRUE(controller->isVolume);
}

} // namespace
} // namespace widget_test
