#include <cmath>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNumber.h"
#include "widget/TrillboxSettings.h"
#include "widget/TrillboxViewControllerNew.h"

namespace {

// A value the file holds under a boolean or number key, or nil when the key is
// absent or holds a type that has no such reading (an array, a dictionary, a
// date, data): those count as absent.
Ptr<NSObject> scalarValue(const Ptr<NSDictionary>& settings, std::string_view key) {
    Ptr<NSObject> value = settings->objectForKey(key);
    if (as<NSNumber>(value) || as<NSString>(value)) {
        return value;
    }
    return nullptr;
}

} // namespace

void TrillboxViewControllerNew::getAndSetSettingsFromPlist() {
    using namespace TrillboxSettings;
    const Ptr<NSDictionary> settings =
        NSDictionary::dictionaryWithContentsOfFile(NSStr(TrillboxPreferencesPath));
    const BOOL startsWithVolume = StartViewDefault == StartViewVolume ? YES : NO;
    if (!settings) {
        isVolume = startsWithVolume;
        shareArtwork = ShareArtworkDefault ? YES : NO;
        showSeperators = ShowSeperatorsDefault ? YES : NO;
    } else {
        const Ptr<NSObject> startView = settings->objectForKey(StartViewKey);
        if (const auto name = as<NSString>(startView)) {
            // Any other string keeps the bottom row the user last chose.
            if (name->UTF8String() == StartViewVolume) {
                isVolume = YES;
            } else if (name->UTF8String() == StartViewTime) {
                isVolume = NO;
            }
        } else {
            // Absent, or a value that is no string at all.
            isVolume = startsWithVolume;
        }

        const Ptr<NSObject> share = scalarValue(settings, ShareArtworkKey);
        shareArtwork = share ? NSBoolValue(share) : (ShareArtworkDefault ? YES : NO);

        const Ptr<NSObject> separators = scalarValue(settings, ShowSeperatorsKey);
        showSeperators = separators ? NSBoolValue(separators) : (ShowSeperatorsDefault ? YES : NO);
    }

    roundedCover = YES;

    const Ptr<NSObject> corners = settings ? scalarValue(settings, RoundedCornersValueKey) : nullptr;
    const float radius = corners ? NSFloatValue(corners) : RoundedCornersValueDefault;
    // A radius the layer cannot use (negative, infinite, not a number) gives
    // square corners.
    artworkCornerRadius = std::isfinite(radius) && radius > 0 ? static_cast<CGFloat>(radius) : 0;
}
