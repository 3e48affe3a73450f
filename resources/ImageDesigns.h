#pragma once

#include <cairo.h>

#include <string>
#include <vector>

// One image the program draws: a name, a size in whole points and a function that
// draws it onto a transparent context already scaled to points.
struct ImageDesign {
    std::string name;
    double width = 0;
    double height = 0;
    void (*draw)(cairo_t* cr, double width, double height) = nullptr;
};

// The images of Trillbox.bundle, each written at every scale of
// kBundleImageScales ("play.png", "play@2x.png", "play@3x.png"): "play", "pause",
// "backward", "forward", "not_playing", "no_cover", "volume_knob", "slider_bg",
// "slider_thumb" and "Background".
const std::vector<ImageDesign>& bundleImageDesigns();

// The scales the bundle images are written at; a window between two of them
// loads the larger one.
inline constexpr int kBundleImageScales[] = {1, 2, 3};

// Artwork for the built-in demo player: 300 x 300, written at scale 1 only.
const std::vector<ImageDesign>& demoArtworkDesigns();

// The application icon: a square of `size` points with a transparent margin.
void drawAppIcon(cairo_t* cr, double size);

// The pixel sizes at which the application icon is written.
inline constexpr int kAppIconSizes[] = {48, 128, 256};
