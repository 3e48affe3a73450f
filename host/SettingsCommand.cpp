#include "host/SettingsCommand.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "Foundation/NSCollections.h"
#include "Foundation/NSData.h"
#include "Foundation/NSFileDescriptor.h"
#include "Foundation/NSNumber.h"
#include "Foundation/NSPathUtilities.h"
#include "Foundation/NSPropertyListSerialization.h"
#include "host/HostFailure.h"
#include "host/Json.h"
#include "widget/TrillboxSettings.h"

namespace host {
namespace {

namespace fs = std::filesystem;
using TrillboxSettings::SettingType;

constexpr const char* kSettingsPath = TrillboxPreferencesPath;
// The usual spelling of the separator key, taken for the one the widget reads.
constexpr std::string_view kShowSeparatorsSpelling = "showSeparators";

// Why the last file operation failed, as the system says it.
std::string systemReason() {
    return std::strerror(errno != 0 ? errno : EIO);
}

// Whether the settings file exists. Throws HostFailure when its path cannot be
// followed (a loop of symbolic links, a folder that may not be read).
bool fileExists() {
    std::error_code error;
    const fs::file_status status = fs::status(settingsFilePath(), error);
    if (error && error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory) {
        throw HostFailure("cannot read the settings file " + settingsFilePath() + ": " + error.message());
    }
    return fs::exists(status);
}

// The file's dictionary; nil when there is no file. Throws HostFailure for one
// that cannot be read or is not a property-list dictionary.
Ptr<NSDictionary> readSettings() {
    if (!fileExists()) {
        return nullptr;
    }
    const std::string path = settingsFilePath();
    NSFileContents contents = NSReadWholeFile(path);
    if (!contents.bytes) {
        throw HostFailure(
            "cannot read the settings file " + path + ": " +
            (contents.error == EINVAL ? "it is not a regular file" : std::strerror(contents.error)));
    }
    std::string problem;
    const Ptr<NSObject> root = NSPropertyListSerialization::propertyListWithData(
        NSData::dataWithVector(std::move(*contents.bytes)), nullptr, &problem);
    const auto settings = as<NSDictionary>(root);
    if (!settings) {
        throw HostFailure("the settings file " + path + " " +
                          (root ? "is not a property-list dictionary" : problem));
    }
    return settings;
}

constexpr const char* kSettingsResetHint = "; 'trillbox settings --reset' removes it";

std::string displayValue(const Ptr<NSObject>& value) {
    if (const auto number = as<NSNumber>(value)) {
        if (number->isBoolean()) {
            return number->boolValue() ? "true" : "false";
        }
        std::string text;
        appendJsonNumber(text, number->doubleValue());
        return text;
    }
    return value ? value->description() : std::string("(null)");
}

std::string lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

Ptr<NSObject> parseValue(const std::string& key, const std::string& value) {
    const TrillboxSettings::Setting* setting = TrillboxSettings::findSetting(key);
    if (!setting) {
        std::string known;
        for (const auto& each : TrillboxSettings::AllSettings) {
            known += known.empty() ? "" : (&each == &TrillboxSettings::AllSettings.back() ? " and " : ", ");
            known += each.key;
        }
        throw UsageFailure("unknown setting \"" + key + "\"; the settings are " + known);
    }
    switch (setting->type) {
    case SettingType::StartView:
        if (value != TrillboxSettings::StartViewVolume && value != TrillboxSettings::StartViewTime) {
            throw UsageFailure(key + " is \"" + std::string(TrillboxSettings::StartViewVolume) + "\" or \"" +
                               std::string(TrillboxSettings::StartViewTime) + "\", not \"" + value + "\"");
        }
        return NSStr(value);
    case SettingType::Boolean: {
        const std::string word = lowercase(value);
        if (word == "true" || word == "yes" || word == "1") {
            return NSNumber::numberWithBool(true);
        }
        if (word == "false" || word == "no" || word == "0") {
            return NSNumber::numberWithBool(false);
        }
        throw UsageFailure(key + " is true or false, not \"" + value + "\"");
    }
    case SettingType::Points: {
        double points = 0;
        const auto result = std::from_chars(value.data(), value.data() + value.size(), points);
        if (value.empty() || result.ec != std::errc() || result.ptr != value.data() + value.size() ||
            !std::isfinite(points) || points < 0) {
            throw UsageFailure(key + " is a number of points, 0 or more, not \"" + value + "\"");
        }
        if (points == std::floor(points) && points < 1e15) {
            return NSNumber::numberWithInteger(static_cast<NSInteger>(points));
        }
        return NSNumber::numberWithDouble(points);
    }
    }
    return nullptr;
}

} // namespace

std::string settingsFilePath() {
    return NSResolveDevicePath(std::string_view(kSettingsPath));
}

void printSettings(std::ostream& out) {
    Ptr<NSDictionary> settings;
    try {
        settings = readSettings();
    } catch (const HostFailure& failure) {
        throw HostFailure(failure.what() + std::string(kSettingsResetHint));
    }
    out << "settings file: " << settingsFilePath() << (settings ? "" : " (none yet)") << '\n';
    for (const auto& setting : TrillboxSettings::AllSettings) {
        const Ptr<NSObject> value = settings ? settings->objectForKey(setting.key) : nullptr;
        out << setting.key << " = " << (value ? displayValue(value) : std::string(setting.defaultText))
            << (value ? "" : " (default)") << '\n';
    }
    if (!settings) {
        return;
    }
    for (const auto& [key, value] : settings->entries()) {
        if (!TrillboxSettings::findSetting(key)) {
            out << key << " = " << displayValue(value) << " (not read by the widget)\n";
        }
    }
}

std::string writeSetting(const std::string& spelledKey, const std::string& value) {
    const std::string key =
        spelledKey == kShowSeparatorsSpelling ? std::string(TrillboxSettings::ShowSeperatorsKey) : spelledKey;
    const Ptr<NSObject> typed = parseValue(key, value);
    Ptr<NSDictionary> existing;
    try {
        existing = readSettings();
    } catch (const HostFailure& failure) {
        throw HostFailure(failure.what() + std::string(kSettingsResetHint));
    }
    const auto settings = NSMutableDictionary::dictionaryWithDictionary(existing);
    settings->setObject(typed, key);

    const std::string directory = fs::path(settingsFilePath()).parent_path().string();
    std::error_code error;
    fs::create_directories(directory, error);
    if (error) {
        throw HostFailure("cannot create the directory " + directory + ": " + error.message());
    }
    errno = 0;
    if (!settings->writeToFile(NSStr(kSettingsPath), true)) {
        throw HostFailure("cannot write the settings file " + settingsFilePath() + ": " + systemReason());
    }
    return key;
}

bool resetSettings() {
    const std::string path = settingsFilePath();
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (!fs::exists(status)) {
        return false;
    }
    // Only a file (or a link, not what it points to) is removed, never a folder's contents.
    if (fs::is_directory(status)) {
        throw HostFailure("the settings path " + path + " is a directory, not a file; nothing was removed");
    }
    if (!fs::remove(path, error) && error) {
        throw HostFailure("cannot remove the settings file " + path + ": " + error.message());
    }
    return true;
}

void warnAboutDamagedSettings(std::ostream& errors) {
    try {
        readSettings();
    } catch (const HostFailure& failure) {
        errors << "trillbox: " << failure.what() << "; the widget uses its defaults" << kSettingsResetHint
               << '\n';
    }
}

} // namespace host
