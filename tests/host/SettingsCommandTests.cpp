#include <gtest/gtest.h>

#include <sstream>

#include "Foundation/NSNumber.h"
#include "HostFailure.h"
#include "SettingsCommand.h"
#include "support/TestSupport.h"

namespace {

class SettingsCommandTest : public PlatformTest {
protected:
    Ptr<NSDictionary> stored() const {
        return NSDictionary::dictionaryWithContentsOfFile(NSStr(host::settingsFilePath()));
    }
    std::string printed() const {
        std::ostringstream out;
        host::printSettings(out);
        return out.str();
    }
};

TEST_F(SettingsCommandTest, TheFileLivesUnderTheDeviceRootAtTheWidgetsFixedPath) {
    EXPECT_EQ(host::settingsFilePath(),
              deviceRoot().path() + "/var/mobile/Library/Preferences/org.trillbox.TrillboxPrefs.plist");
    EXPECT_EQ(printed(), "settings file: " + host::settingsFilePath() +
                             " (none yet)\nstartView = time (default)\nshareArtwork = true (default)\n"
                             "showSeperators = false (default)\nroundedCornersValue = 0 (default)\n");
}

TEST_F(SettingsCommandTest, EachKeyIsWrittenWithItsTypeAndTheOthersAreKept) {
    host::writeSetting("startView", "volume");
    host::writeSetting("shareArtwork", "No");
    host::writeSetting("showSeperators", "yes");
    host::writeSetting("roundedCornersValue", "12");
    host::writeSetting("roundedCornersValue", "7.5");
    const auto settings = stored();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(NSStringText(as<NSString>(settings->objectForKey("startView"))), "volume");
    const auto share = as<NSNumber>(settings->objectForKey("shareArtwork"));
    ASSERT_NE(share, nullptr);
    EXPECT_TRUE(share->isBoolean());
    EXPECT_FALSE(share->boolValue());
    EXPECT_TRUE(as<NSNumber>(settings->objectForKey("showSeperators"))->boolValue());
    EXPECT_DOUBLE_EQ(as<NSNumber>(settings->objectForKey("roundedCornersValue"))->doubleValue(), 7.5);
    EXPECT_EQ(printed(), "settings file: " + host::settingsFilePath() +
                             "\nstartView = volume\nshareArtwork = false\nshowSeperators = true\n"
                             "roundedCornersValue = 7.5\n");
}

TEST_F(SettingsCommandTest, UnknownKeysAndBadValuesWriteNothing) {
    for (const auto& [key, value] :
         std::vector<std::pair<std::string, std::string>>{{"showSeparators", "true"},
                                                          {"startView", "Volume"},
                                                          {"shareArtwork", "maybe"},
                                                          {"roundedCornersValue", "-1"},
                                                          {"roundedCornersValue", "12pt"},
                                                          {"roundedCornersValue", "nan"}}) {
        EXPECT_THROW(host::writeSetting(key, value), host::UsageFailure) << key << " " << value;
    }
    EXPECT_FALSE(std::filesystem::exists(host::settingsFilePath()));
}

TEST_F(SettingsCommandTest, ACorruptFileIsReportedNeverOverwrittenAndResetRemovesIt) {
    const std::string path =
        deviceRoot().write("var/mobile/Library/Preferences/org.trillbox.TrillboxPrefs.plist", "garbage");
    EXPECT_THROW(printed(), host::HostFailure);
    EXPECT_THROW(host::writeSetting("startView", "time"), host::HostFailure);
    std::ifstream file(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "garbage");
    EXPECT_TRUE(host::resetSettings());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(host::resetSettings());
}

TEST_F(SettingsCommandTest, KeysTheWidgetDoesNotReadAreShownAsSuch) {
    const auto settings = NSDictionary::dictionaryWithEntries(
        {{"startView", NSNumber::numberWithInteger(3)}, {"showSeparators", NSNumber::numberWithBool(true)}});
    std::filesystem::create_directories(std::filesystem::path(host::settingsFilePath()).parent_path());
    ASSERT_TRUE(settings->writeToFile(NSStr(host::settingsFilePath()), YES));
    const std::string text = printed();
    EXPECT_NE(text.find("startView = 3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("showSeparators = true (not read by the widget)\n"), std::string::npos) << text;
}

} // namespace
