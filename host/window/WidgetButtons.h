#pragma once

#include <string>

#include "Foundation/NSObject.h"

class UIButton;
class UIView;

namespace host {

// The widget's transport buttons.
enum class WidgetButton { playPause, previousTrack, nextTrack };

// The button of the widget under `root` that plays that part, known by the bundle
// image it shows: "play" or "pause", "backward", "forward" (images of the bundle
// at `bundlePath`). nil when the widget shows no such button (the older host's
// strip has none).
Ptr<UIButton> findWidgetButton(const UIView& root, WidgetButton which, const std::string& bundlePath);

// Presses that button as a finger lifting inside it would: its touch-up-inside
// actions run. Answers false, doing nothing, when there is no such button or a finger
// could not press it (hidden, disabled or not taking touches).
bool pressWidgetButton(const UIView& root, WidgetButton which, const std::string& bundlePath);

} // namespace host
