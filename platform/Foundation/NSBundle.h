#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSCollections.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSRuntime.h"
#include "Foundation/NSString.h"

// A directory of code and resources described by its Info.plist.
class NSBundle : public NSObject {
public:
    // The bundle at `path` (device paths resolve), or nil when it is not a directory.
    // A directory without a readable Info.plist is a bundle with an empty info
    // dictionary.
    static Ptr<NSBundle> bundleWithPath(const Ptr<NSString>& path);
    // The directory of the running executable.
    static Ptr<NSBundle> mainBundle();
    // The bundle whose directory holds the shared object (or the executable) that
    // registered `cls`. When that directory has no Info.plist (product code linked
    // into a test program), the bundle path override is used if one is set;
    // otherwise that directory. A nil class gives the main bundle.
    static Ptr<NSBundle> bundleForClass(Class cls);

    // The bundle that bundleForClass falls back to; empty clears it. Tests set it.
    static void setBundlePathOverride(std::string_view path);
    // The screen scale that resource lookups prefer (the UIKit layer and the host
    // set it from the main screen); 1 until set.
    static void setPreferredImageScale(CGFloat scale);
    static CGFloat preferredImageScale();

    // The image scales a resource comes in (1, 2 and 3) in the order a screen of
    // `scale` prefers them: first the smallest one at or above `scale` (3 above 3),
    // so that an image is never enlarged when a sharper file exists, then the
    // smaller ones from the largest down, then the larger ones. A scale that is
    // not positive and finite counts as 1.
    static std::vector<int> imageScalesPreferredAt(CGFloat scale);

    // The path of the file `name`.`type` in the bundle directory, or nil when there
    // is no such file. `type` may be nil or empty when `name` carries its extension.
    // The files name.type, name@2x.type and name@3x.type are tried in the order
    // imageScalesPreferredAt gives for the preferred image scale. Callers that need
    // the scale read it from the "@2x"/"@3x" suffix of the answer.
    Ptr<NSString> pathForResource(const Ptr<NSString>& name, const Ptr<NSString>& type) const;

    // The parsed Info.plist, an empty dictionary when it is missing or unreadable.
    Ptr<NSDictionary> infoDictionary() const { return _infoDictionary; }
    Ptr<NSObject> objectForInfoDictionaryKey(std::string_view key) const;
    // The bundle directory, absolute and without a trailing slash.
    Ptr<NSString> bundlePath() const { return NSStr(_path); }

    // "NSBundle </path/to/Trillbox.bundle>".
    std::string description() const override;

private:
    static Ptr<NSBundle> bundleAtDirectory(const std::string& directory);

    std::string _path;
    Ptr<NSDictionary> _infoDictionary;
};
