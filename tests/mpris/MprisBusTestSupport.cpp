#include "MprisBusTestSupport.h"

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

extern char** environ;

namespace {

using SteadyClock = std::chrono::steady_clock;

int millisecondsLeft(SteadyClock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return static_cast<int>(std::max<long long>(0, left));
}

SteadyClock::time_point deadlineIn(double seconds) {
    return SteadyClock::now() + std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
}

std::vector<std::string> mergedEnvironment(const std::vector<std::string>& overrides) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text = *entry;
        variables[text.substr(0, text.find('='))] = text;
    }
    for (const auto& text : overrides) {
        variables[text.substr(0, text.find('='))] = text;
    }
    std::vector<std::string> merged;
    for (auto& [name, text] : variables) {
        merged.push_back(std::move(text));
    }
    return merged;
}

} // namespace

ChildProcess ChildProcess::start(const std::vector<std::string>& argv,
                                 const std::vector<std::string>& environment, bool captureOutput,
                                 bool discardErrors) {
    ChildProcess child;
    int pipeFds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (captureOutput) {
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
            posix_spawn_file_actions_destroy(&actions);
            return child;
        }
        posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    }
    if (discardErrors) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    std::vector<char*> arguments;
    for (const auto& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    const auto merged = mergedEnvironment(environment);
    std::vector<char*> variables;
    for (const auto& variable : merged) {
        variables.push_back(const_cast<char*>(variable.c_str()));
    }
    variables.push_back(nullptr);
    pid_t pid = -1;
    const int failed =
        ::posix_spawnp(&pid, arguments[0], &actions, nullptr, arguments.data(), variables.data());
    posix_spawn_file_actions_destroy(&actions);
    if (captureOutput) {
        ::close(pipeFds[1]);
    }
    if (failed != 0) {
        if (captureOutput) {
            ::close(pipeFds[0]);
        }
        return child;
    }
    child._pid = pid;
    child._pidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    child._output = captureOutput ? pipeFds[0] : -1;
    return child;
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept {
    *this = std::move(other);
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        stop();
        _pid = std::exchange(other._pid, -1);
        _pidFd = std::exchange(other._pidFd, -1);
        _output = std::exchange(other._output, -1);
        _buffered = std::move(other._buffered);
    }
    return *this;
}

ChildProcess::~ChildProcess() {
    stop();
}

std::optional<std::string> ChildProcess::readLine(double seconds) {
    const auto deadline = deadlineIn(seconds);
    for (;;) {
        if (const auto newline = _buffered.find('\n'); newline != std::string::npos) {
            auto line = _buffered.substr(0, newline);
            _buffered.erase(0, newline + 1);
            return line;
        }
        pollfd fd{_output, POLLIN, 0};
        if (_output < 0 || ::poll(&fd, 1, millisecondsLeft(deadline)) <= 0) {
            return std::nullopt;
        }
        char chunk[4096];
        const auto got = ::read(_output, chunk, sizeof chunk);
        if (got <= 0) {
            return std::nullopt;
        }
        _buffered.append(chunk, static_cast<std::size_t>(got));
    }
}

std::string ChildProcess::readAll(double seconds) {
    const auto deadline = deadlineIn(seconds);
    while (_output >= 0) {
        pollfd fd{_output, POLLIN, 0};
        if (::poll(&fd, 1, millisecondsLeft(deadline)) <= 0) {
            break;
        }
        char chunk[4096];
        const auto got = ::read(_output, chunk, sizeof chunk);
        if (got <= 0) {
            break;
        }
        _buffered.append(chunk, static_cast<std::size_t>(got));
    }
    return std::exchange(_buffered, {});
}

std::optional<int> ChildProcess::wait(double seconds) {
    if (_pid <= 0) {
        return std::nullopt;
    }
    if (_pidFd >= 0) {
        pollfd fd{_pidFd, POLLIN, 0};
        if (::poll(&fd, 1, static_cast<int>(seconds * 1000)) <= 0) {
            return std::nullopt;
        }
    }
    int status = 0;
    if (::waitpid(_pid, &status, _pidFd >= 0 ? 0 : WNOHANG) != _pid) {
        return std::nullopt;
    }
    _pid = -1;
    if (_pidFd >= 0) {
        ::close(_pidFd);
        _pidFd = -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void ChildProcess::stop() {
    if (_pid > 0) {
        ::kill(_pid, SIGTERM);
        if (!wait(2)) {
            ::kill(_pid, SIGKILL);
            int status = 0;
            ::waitpid(_pid, &status, 0);
            _pid = -1;
        }
    }
    if (_pidFd >= 0) {
        ::close(_pidFd);
        _pidFd = -1;
    }
    if (_output >= 0) {
        ::close(_output);
        _output = -1;
    }
}

CommandResult runCommand(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                         double seconds) {
    CommandResult result;
    auto child = ChildProcess::start(argv, environment, true);
    if (!child) {
        return result;
    }
    result.output = child.readAll(seconds);
    result.status = child.wait(seconds).value_or(-1);
    return result;
}

PrivateBus::PrivateBus(const std::filesystem::path& directory)
    : _socket(directory / "bus"), _address("unix:path=" + _socket.string()) {
    start();
}

bool PrivateBus::start() {
    if (_daemon) {
        return true;
    }
    std::error_code ignored;
    std::filesystem::remove(_socket, ignored);
    _daemon = ChildProcess::start(
        {"dbus-daemon", "--session", "--nofork", "--print-address=1", "--address=" + _address}, {}, true,
        true);
    // The daemon prints its address once it listens.
    if (!_daemon || !_daemon.readLine(10)) {
        _daemon.stop();
        return false;
    }
    return true;
}

void PrivateBus::stop() {
    _daemon.stop();
}

TemporaryDirectory::TemporaryDirectory() {
    char pattern[] = "/tmp/trillbox-mpris-XXXXXX";
    if (::mkdtemp(pattern)) {
        _path = pattern;
    }
}

TemporaryDirectory::~TemporaryDirectory() {
    std::error_code ignored;
    if (!_path.empty()) {
        std::filesystem::remove_all(_path, ignored);
    }
}

bool waitFor(const std::function<bool()>& predicate, double seconds) {
    // Some conditions change outside this process (another program's state), with
    // nothing to wake the run loop: look again every 20 ms until the deadline.
    auto* loop = NSRunLoop::mainRunLoop();
    NSRunLoop::TaskId tick = 0;
    std::function<void()> scheduleTick = [&] { tick = loop->scheduleAfter(0.02, [&] { scheduleTick(); }); };
    scheduleTick();
    const bool held = loop->runUntil(predicate, seconds);
    loop->cancel(tick);
    return held;
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
