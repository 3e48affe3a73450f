#pragma once

#include <cstdint>
#include <span>

#include "UIKit/UIGraphicsHandles.h"

namespace host {

// The JPEG `bytes` decoded by the JPEG module, loaded the first time one is
// decoded: an ARGB32 image surface whose longer side the decoder brought down
// towards `fitSide` (not below it), or an empty surface for data that is not a
// JPEG it can decode, an image with a side over 65535 pixels or more than
// `maxPixels` pixels, or when the module cannot be loaded (said once on standard
// error). Thread-safe.
UICairoSurface decodeJpegImage(std::span<const unsigned char> bytes, int fitSide, std::int64_t maxPixels);

} // namespace host
