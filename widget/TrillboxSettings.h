#pragma once

#include <array>
#include <string_view>

// The widget's settings contract: the file it reads, each key, the type of value
// the widget reads under it and the value it uses when the file does not set it.
// Header-only, so that the host's settings command shares it without linking
// product code.

// The settings file the widget reads, a device path.
inline constexpr const char* TrillboxPreferencesIdentifier = "org.trillbox.TrillboxPrefs";
inline constexpr const char* TrillboxPreferencesPath =
    "/var/mobile/Library/Preferences/org.trillbox.TrillboxPrefs.plist";

namespace TrillboxSettings {

// How the widget reads a key's value.
enum class SettingType {
    // A string naming one of the bottom rows: StartViewVolume or StartViewTime.
    StartView,
    // A boolean, or a number read as one.
    Boolean,
    // A number of points, 0 or more.
    Points,
};

// Which bottom row the widget starts with.
inline constexpr std::string_view StartViewKey = "startView";
inline constexpr std::string_view StartViewVolume = "volume";
inline constexpr std::string_view StartViewTime = "time";
inline constexpr std::string_view StartViewDefault = StartViewTime;

// A shared message carries the artwork.
inline constexpr std::string_view ShareArtworkKey = "shareArtwork";
inline constexpr bool ShareArtworkDefault = true;

// Thin lines at the top and bottom.
inline constexpr std::string_view ShowSeperatorsKey = "showSeperators";
inline constexpr bool ShowSeperatorsDefault = false;

// The artwork's corner radius in points.
inline constexpr std::string_view RoundedCornersValueKey = "roundedCornersValue";
inline constexpr float RoundedCornersValueDefault = 0;

struct Setting {
    std::string_view key;
    SettingType type;
    // The default as the settings command prints it.
    std::string_view defaultText;
};

// Every setting the widget reads, in the order the settings command lists them.
inline constexpr std::array<Setting, 4> AllSettings = {{
    {StartViewKey, SettingType::StartView, StartViewDefault},
    {ShareArtworkKey, SettingType::Boolean, ShareArtworkDefault ? "true" : "false"},
    {ShowSeperatorsKey, SettingType::Boolean, ShowSeperatorsDefault ? "true" : "false"},
    {RoundedCornersValueKey, SettingType::Points, "0"},
}};
static_assert(RoundedCornersValueDefault == 0, "the printed default of roundedCornersValue is \"0\"");

// The setting under `key`, or nullptr when the widget reads no such key.
constexpr const Setting* findSetting(std::string_view key) {
    for (const Setting& setting : AllSettings) {
        if (setting.key == key) {
            return &setting;
        }
    }
    return nullptr;
}

} // namespace TrillboxSettings
