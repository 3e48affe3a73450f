#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <map>
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

// A program running in the background with its output in files.
class BackgroundProcess {
public:
    BackgroundProcess(const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment, const std::string& directory);
    // Kills it when it still runs.
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    pid_t pid() const { return _pid; }
    // Its exit status once it has ended by itself within `seconds`; nothing when
    // it still runs (or was killed by a signal: then -signal).
    std::optional<int> waitForExit(double seconds);
    // Sends SIGTERM and waits for it to end.
    std::optional<int> terminate(double seconds);
    std::string out() const;
    std::string err() const;

private:
    pid_t _pid = -1;
    std::optional<int> _status;
    std::string _outPath;
    std::string _errPath;
};

struct ToolResult {
    int status = -1;
    std::string out;
};

// Runs a program to its end (at most `seconds`, then it is killed) with
// `environment` added to this process's.
ToolResult runTool(const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment, double seconds = 30);

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

// Asks `condition` until it holds or `seconds` have passed; answers its last answer.
bool eventually(const std::function<bool()>& condition, double seconds);
