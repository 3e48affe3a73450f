#pragma once

#include <string>

#include "Foundation/NSObject.h"
#include "host/Json.h"

class UIImage;
class UIView;

namespace host {

class MediaBackEnd;

// How a dump names an image: the resource name (file name without scale suffix
// and extension) for an image loaded from the bundle at `bundlePath`, the file's
// path for another file, and its size in pixels ("artwork 600x600") for an image
// that was never a file, such as a player's artwork; nil only for no image.
Ptr<NSObject> imageNameForDump(const Ptr<UIImage>& image, const std::string& bundlePath);

// Writes `view` and its subtree: {"class", "frame", "presentationFrame",
// "hidden", "alpha", "tag", "userInteractionEnabled", "subviews"} and, where they
// apply, "text" (labels), "image" (image views, buttons), "value",
// "minimumValue", "maximumValue" (sliders), "cornerRadius" and "masksToBounds"
// (layers that round or clip).
void writeViewJson(JsonWriter& json, const UIView& view, const std::string& bundlePath);

// Writes "players": [{"name", "identity", "status", "followed"}], the players
// `backEnd` can follow, when its music comes from outside the process; nothing
// for the demo player.
void writePlayersJson(JsonWriter& json, const MediaBackEnd& backEnd);

} // namespace host
