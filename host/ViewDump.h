#pragma once

#include <string>

#include "Foundation/NSObject.h"
#include "host/Json.h"

class UIImage;
class UIView;

namespace host {

// How a dump names an image: the resource name (file name without scale suffix
// and extension) for an image loaded from the bundle at `bundlePath`, otherwise
// the file's path; nil for no image and for an image that was never a file.
Ptr<NSObject> imageNameForDump(const Ptr<UIImage>& image, const std::string& bundlePath);

// Writes `view` and its subtree: {"class", "frame", "presentationFrame",
// "hidden", "alpha", "tag", "userInteractionEnabled", "subviews"} and, where they
// apply, "text" (labels), "image" (image views, buttons), "value",
// "minimumValue", "maximumValue" (sliders), "cornerRadius" and "masksToBounds"
// (layers that round or clip).
void writeViewJson(JsonWriter& json, const UIView& view, const std::string& bundlePath);

} // namespace host
