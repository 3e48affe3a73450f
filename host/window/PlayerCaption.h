#pragma once

#include <string>
#include <vector>

#include <cairo.h>

#include "CoreGraphics/CGGeometry.h"
#include "host/MediaBackEnd.h"

namespace host {

// The one line under the widget that names the followed player: its Identity and,
// when there are others to move to, its place among them ("VLC media player · 2 of 3").
// Empty when no player is followed, as with the demo player, which lists none.
std::string playerCaptionText(const std::vector<PlayerListing>& players);

// Draws `text` on one line centred in `rect` (in the context's user space, points),
// cut with an ellipsis when it does not fit.
void drawPlayerCaption(cairo_t* context, const std::string& text, CGRect rect);

} // namespace host
