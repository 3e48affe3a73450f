#pragma once

#include <functional>
#include <string>

#include "UIKit/UIImage.h"

// Where artwork comes from, for the session; results arrive on the main thread.
class MprisArtworkSource {
public:
    using Completion = std::function<void(UICairoSurface artwork)>;
    virtual ~MprisArtworkSource() = default;
    // Loads `url` and calls `completion` on the main run loop with the image or
    // an empty surface. Completions may come in any order.
    virtual void load(std::string url, Completion completion) = 0;
};
