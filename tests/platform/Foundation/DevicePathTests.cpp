#include <gtest/gtest.h>

#include "Foundation/NSCollections.h"
#include "Foundation/NSData.h"
#include "Foundation/NSFileManager.h"
#include "Foundation/NSPathUtilities.h"
#include "support/TestSupport.h"

namespace {

constexpr char kSettingsPath[] = "/var/mobile/Library/Preferences/org.trillbox.TrillboxPrefs.plist";
constexpr char kSettings[] = "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>startView</key>"
                             "<string>volume</string></dict></plist>";

class DevicePathTest : public PlatformTest {};

TEST_F(DevicePathTest, MobilePathsResolveUnderTheRoot) {
    const std::string root = deviceRoot().path();
    EXPECT_EQ(NSDeviceRoot(), root);
    EXPECT_EQ(NSResolveDevicePath(kSettingsPath), root + kSettingsPath);
    EXPECT_EQ(NSResolveDevicePath("/private/var/mobile/Library/x"), root + "/var/mobile/Library/x");
    EXPECT_EQ(NSResolveDevicePath("/var/mobile"), root + "/var/mobile");
    EXPECT_EQ(NSResolveDevicePath("/var/mobile/./Library/../Media"), root + "/var/mobile/Media");
    // Not device paths: left alone.
    EXPECT_EQ(NSResolveDevicePath("/var/mobileX/a"), "/var/mobileX/a");
    EXPECT_EQ(NSResolveDevicePath("/var/log/syslog"), "/var/log/syslog");
    EXPECT_EQ(NSResolveDevicePath("var/mobile/a"), "var/mobile/a");
    EXPECT_EQ(NSResolveDevicePath("/var/mobile/../../etc/passwd"), "/var/mobile/../../etc/passwd");
    EXPECT_EQ(NSResolveDevicePath(""), "");
    EXPECT_FALSE(NSIsDevicePath("/var/mob"));
    EXPECT_TRUE(NSIsDevicePath("/private/var/mobile/"));
}

TEST_F(DevicePathTest, FileReadsAndWritesGoThroughTheRoot) {
    EXPECT_EQ(NSDictionary::dictionaryWithContentsOfFile(NSStr(kSettingsPath)), nullptr);
    deviceRoot().write(std::string("var/mobile/Library/Preferences/org.trillbox.TrillboxPrefs.plist"),
                       kSettings);
    const auto settings = NSDictionary::dictionaryWithContentsOfFile(NSStr(kSettingsPath));
    ASSERT_TRUE(settings);
    EXPECT_TRUE(NSObjectsEqual(settings->objectForKey("startView"), NSStr("volume")));
    EXPECT_TRUE(NSData::dataWithContentsOfFile(NSStr(std::string("/private") + kSettingsPath)));

    auto* manager = NSFileManager::defaultManager();
    ASSERT_TRUE(manager->createDirectoryAtPath(NSStr("/var/mobile/Library/Other"), YES));
    ASSERT_TRUE(NSDictionary::dictionary()->writeToFile(NSStr("/var/mobile/Library/Other/x.plist"), YES));
    EXPECT_TRUE(std::filesystem::exists(deviceRoot().file("var/mobile/Library/Other/x.plist")));
    EXPECT_TRUE(manager->fileExistsAtPath(NSStr("/var/mobile/Library/Other/x.plist")));
}

TEST_F(DevicePathTest, ClearingTheRootFallsBackToTheUserDataDirectory) {
    NSSetDeviceRoot("");
    EXPECT_EQ(NSDeviceRoot(), NSDefaultDeviceRoot());
    EXPECT_NE(NSDefaultDeviceRoot().find("trillbox/device"), std::string::npos);
    NSSetDeviceRoot(deviceRoot().path() + "///");
    EXPECT_EQ(NSDeviceRoot(), deviceRoot().path());
}

} // namespace
