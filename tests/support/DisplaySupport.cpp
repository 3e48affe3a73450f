#include "support/DisplaySupport.h"

#include <cairo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <thread>

namespace {

using SteadyClock = std::chrono::steady_clock;

// How often a condition or a process is looked at while waiting for it.
constexpr auto kLookInterval = std::chrono::milliseconds(20);

std::optional<int> statusOf(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return -WTERMSIG(status);
    }
    return std::nullopt;
}

// Waits up to `seconds` for `pid` to end.
std::optional<int> reap(pid_t pid, double seconds) {
    const auto deadline = SteadyClock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            return statusOf(status);
        }
        if (done < 0 || SteadyClock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(kLookInterval);
    }
}

} // namespace

VirtualDisplay::VirtualDisplay() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        return;
    }
    _pid = ::fork();
    if (_pid == 0) {
        // The write end must survive exec: it is where Xvfb writes its number.
        const int writer = ::dup(ends[1]);
        const std::string fd = std::to_string(writer);
        const int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, 0);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-dpi", "96",
                 "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ends[1]);
    if (_pid < 0) {
        ::close(ends[0]);
        return;
    }
    // Xvfb writes the number once it accepts clients; the read ends at its newline
    // (or at its exit, when it could not start).
    std::string number;
    char byte = 0;
    while (::read(ends[0], &byte, 1) == 1 && byte != '\n') {
        number += byte;
    }
    ::close(ends[0]);
    if (!number.empty()) {
        _name = ":" + number;
    }
}

VirtualDisplay::~VirtualDisplay() {
    if (_pid > 0) {
        ::kill(_pid, SIGTERM);
        if (!reap(_pid, 10)) {
            ::kill(_pid, SIGKILL);
            reap(_pid, 10);
        }
    }
}

std::optional<Image> loadPng(const std::string& path) {
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return std::nullopt;
    }
    // Whatever the PNG's format, read it as ARGB32.
    Image image;
    image.width = cairo_image_surface_get_width(surface);
    image.height = cairo_image_surface_get_height(surface);
    cairo_surface_t* argb = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_t* context = cairo_create(argb);
    cairo_set_source_surface(context, surface, 0, 0);
    cairo_set_operator(context, CAIRO_OPERATOR_SOURCE);
    cairo_paint(context);
    cairo_destroy(context);
    cairo_surface_flush(argb);
    const int stride = cairo_image_surface_get_stride(argb);
    const unsigned char* data = cairo_image_surface_get_data(argb);
    image.pixels.resize(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < image.width; ++x) {
            image.pixels[static_cast<std::size_t>(y * image.width + x)] = row[x];
        }
    }
    cairo_surface_destroy(argb);
    cairo_surface_destroy(surface);
    return image;
}

double difference(const Image& a, PixelRect areaOfA, const Image& b, PixelRect areaOfB) {
    const auto fits = [](const Image& image, PixelRect area) {
        return area.x >= 0 && area.y >= 0 && area.width > 0 && area.height > 0 &&
               area.x + area.width <= image.width && area.y + area.height <= image.height;
    };
    if (!fits(a, areaOfA) || !fits(b, areaOfB) || areaOfA.width != areaOfB.width ||
        areaOfA.height != areaOfB.height) {
        return std::numeric_limits<double>::infinity();
    }
    double total = 0;
    for (int y = 0; y < areaOfA.height; ++y) {
        for (int x = 0; x < areaOfA.width; ++x) {
            const std::uint32_t p = a.at(areaOfA.x + x, areaOfA.y + y);
            const std::uint32_t q = b.at(areaOfB.x + x, areaOfB.y + y);
            for (int shift : {0, 8, 16}) {
                total +=
                    std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF));
            }
        }
    }
    return total / (3.0 * areaOfA.width * areaOfA.height);
}
