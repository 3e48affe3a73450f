#include <cmath>

#include "Foundation/NSCollections.h"
#include "Foundation/NSNumber.h"
#include "widget/TrillboxViewControllerNew.h"

namespace {

// A value the file holds under a boolean or number key, or nil when the key is
// absent or holds a type that has no such reading (an array, a dictionary, a
// date, data): those count as absent.
Ptr<NSObject> scalarValue(const Ptr<NSDictionary>& settings, const char* key) {
    Ptr<NSObject> value = settings->objectForKey(key);
    if (as<NSNumber>(value) || as<NSString>(value)) {
        return value;
    }
    return nullptr;
}

} // namespace

void TrillboxViewControllerNew::getAndSetSettingsFromPlist() {
    const Ptr<NSDictionary> settings =
        NSDictionary::dictionaryWithContentsOfFile(NSStr(TrillboxPreferencesPath));
    if (!settings) {
        isVolume = NO;
        shareArtwork = YES;
        showSeperators = NO;
    } else {
        const Ptr<NSObject> startView = settings->objectForKey("startView");
        if (const auto name = as<NSString>(startView)) {
            // Any other string keeps the bottom row the user last chose.
            if (name->UTF8String() == "volume") {
                isVolume = YES;
            } else if (name->UTF8String() == "time") {
                isVolume = NO;
            }
        } else {
            // Absent, or a value that is no string at all.
            isVolume = NO;
        }

        const Ptr<NSObject> share = scalarValue(settings, "shareArtwork");
        shareArtwork = share ? NSBoolValue(share) : YES;

        const Ptr<NSObject> separators = scalarValue(settings, "showSeperators");
        showSeperators = separators ? NSBoolValue(separators) : NO;
    }

    roundedCover = YES;

    const float radius = settings ? NSFloatValue(scalarValue(settings, "roundedCornersValue")) : 0.0f;
    // A radius the layer cannot use (negative, infinite, not a number) gives
    // square corners.
    artworkCornerRadius = std::isfinite(radius) && radius > 0 ? static_cast<CGFloat>(radius) : 0;
}
