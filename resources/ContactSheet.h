#pragma once

#include <filesystem>
#include <string>

// Draws every image on a dark panel at scale 2: each bundle image at both scales
// (scale 1 enlarged pixel for pixel), the images in place on a mock of the widget
// and of the older host's strip, with the slider track stretched to the slider
// widths, then the icons and the demo artwork. Returns an empty string on
// success, otherwise what failed.
std::string writeContactSheet(const std::filesystem::path& path);
