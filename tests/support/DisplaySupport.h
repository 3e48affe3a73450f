#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An X server of the test's own (Xvfb, display number chosen by the server), so
// that tests run side by side. Stopped by its pid when the object goes.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // False when Xvfb is missing or did not start.
    bool isRunning() const { return !_name.empty(); }
    // ":N".
    const std::string& name() const { return _name; }

private:
    pid_t _pid = -1;
    std::string _name;
};

// An ARGB image read from a PNG.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};
std::optional<Image> loadPng(const std::string& path);

// A rectangle of pixels.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The mean difference of the colour channels (0 to 255) of two equally large
// areas; infinite when an area lies outside its image.
double difference(const Image& a, PixelRect areaOfA, const Image& b, PixelRect areaOfB);
