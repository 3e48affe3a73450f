#include "support/MprisBusTestSupport.h"

#include <cairo.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Foundation/NSRunLoop.h"

PrivateBus::PrivateBus(const std::filesystem::path& directory)
    : _socket(directory / "bus"), _address("unix:path=" + _socket.string()) {
    start();
}

bool PrivateBus::start() {
    if (isRunning()) {
        return true;
    }
    std::error_code ignored;
    std::filesystem::remove(_socket, ignored);
    _daemon = ChildProcess::start(
        {"dbus-daemon", "--session", "--nofork", "--print-address=1", "--address=" + _address});
    // The daemon prints its address once it listens.
    if (!_daemon || !waitUntil([&] { return _daemon.out().find('\n') != std::string::npos; }, 10)) {
        _daemon.stop();
        return false;
    }
    return true;
}

void PrivateBus::stop() {
    _daemon.stop();
}

void writeSolidPng(const std::filesystem::path& path, int width, int height, double red, double green,
                   double blue) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, red, green, blue);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
}

std::uint32_t pixelOf(const Ptr<UIImage>& image) {
    cairo_surface_t* surface = image->cairoSurface();
    cairo_surface_flush(surface);
    return *reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface));
}
