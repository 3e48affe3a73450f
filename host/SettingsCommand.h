#pragma once

#include <ostream>
#include <string>

namespace host {

// The widget's settings file (a device path, read each time the widget builds its
// view), its keys, types and defaults are the product's, in widget/TrillboxSettings.h.

// Prints the settings file's path under the device root, then each of the four
// settings with its value, marked "(default)" where the file does not set it, and
// any other key the file holds. Throws HostFailure for a file that is not a
// property-list dictionary.
void printSettings(std::ostream& out);

// Sets one setting, typed as the widget reads it: "startView" the string
// "volume" or "time", "shareArtwork" and "showSeperators" booleans (true, false,
// yes, no, 1, 0), "roundedCornersValue" a number of points, 0 or more;
// "showSeparators" is taken for "showSeperators", the key the widget reads. The
// file and its directories are created under the device root as needed; the
// other keys are kept. Answers the key written. Throws UsageFailure for an
// unknown key or a bad value, HostFailure (with the system's reason) when the
// file cannot be read or written.
std::string writeSetting(const std::string& key, const std::string& value);

// Removes the settings file (a link there, not what it points to); answers
// whether there was one. Throws HostFailure when it cannot be removed or is a
// directory, which is left alone.
bool resetSettings();

// Writes one line to `errors` when the settings file is there but cannot be read
// or is not a property-list dictionary (the widget then uses its defaults),
// with the way to remove it. Device paths resolve under the current device root.
void warnAboutDamagedSettings(std::ostream& errors);

// The settings file's path on this machine.
std::string settingsFilePath();

} // namespace host
