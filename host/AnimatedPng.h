#pragma once

#include <cstdint>
#include <vector>

namespace host {

// An animated PNG of `frames` (each a complete PNG file of the same size and
// pixel format), shown `framesPerSecond` frames a second, looping forever.
// Viewers without animation support show the first frame. Empty when there are
// no frames, a frame is not a PNG, or the frames do not match.
std::vector<std::uint8_t> assembleAnimatedPng(const std::vector<std::vector<std::uint8_t>>& frames,
                                              int framesPerSecond);

} // namespace host
