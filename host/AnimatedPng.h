#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace host {

// An animated PNG of `frames` (each a complete PNG file of the same size and
// pixel format), shown `framesPerSecond` frames a second, looping forever.
// Viewers without animation support show the first frame. Empty when there are
// no frames, a frame is not a PNG, or the frames do not match.
std::vector<std::uint8_t> assembleAnimatedPng(const std::vector<std::vector<std::uint8_t>>& frames,
                                              int framesPerSecond);

// Writes an animated PNG a frame at a time, so that a long recording holds one
// frame, not all of them. Looping forever, `framesPerSecond` frames a second.
class AnimatedPngWriter {
public:
    // Receives the file's bytes in order; answers whether it kept them.
    using Sink = std::function<bool(const std::uint8_t* bytes, std::size_t length)>;
    AnimatedPngWriter(std::uint32_t frameCount, int framesPerSecond, Sink sink);
    AnimatedPngWriter(const AnimatedPngWriter&) = delete;
    AnimatedPngWriter& operator=(const AnimatedPngWriter&) = delete;

    // Adds the next frame: a complete PNG file of the first frame's size and pixel
    // format. False, and every later call false, when it is not, when it is one
    // frame too many, or when the sink failed.
    bool addFrame(const std::vector<std::uint8_t>& png);
    // Ends the file; false unless all `frameCount` frames were added.
    bool finish();

private:
    bool emit(const std::vector<std::uint8_t>& bytes);

    std::uint32_t _frameCount;
    int _framesPerSecond;
    Sink _sink;
    std::vector<std::uint8_t> _header;
    std::uint32_t _added = 0;
    std::uint32_t _sequence = 0;
    bool _failed = false;
};

} // namespace host
